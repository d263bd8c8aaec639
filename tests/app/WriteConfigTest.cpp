// Writing the configuration and setting the log paths through the frame on scripted transports.
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <filesystem>

#include "CFrameTestBed.h"
#include "resources/CommandIds.h"
#include "config/CModuleConfigDlg.h"
#include "receive/CLogPathDlg.h"
#include "resources/StringTable.h"

namespace {

void ChooseUsbAt500K(QDialog& dialog) {
  QTest::keyClick(dialog.findChild<QRadioButton*>(QStringLiteral("usbRadio")), Qt::Key_Space);
  auto* pPresets = dialog.findChild<QComboBox*>(QStringLiteral("presets"));
  QTest::keyClick(pPresets, Qt::Key_Home);
  QTest::keyClick(pPresets, Qt::Key_Down);
}

}  // namespace

class WriteConfig : public CFrameTestBed {
protected:
  WriteConfig() {
    m_ports.m_serialPorts[0].m_byModulePort = 1;  // so the stored 921600 is what the dialog gives back
    m_ports.m_usbSerialNumbers = {"KX000123"};
  }
};

TEST_F(WriteConfig, UnchangedValuesSendNothingWhileConnectedAndOpenAndSendOtherwise) {
  // The second module reports a reserved bit in its bit time; the dialog still shows 250K.
  for (const auto& [pszReport, wReported] : {std::pair{":Y1C0F34000001231FFFFFFF", 0x0F34},
                                             std::pair{":Y1C8F34000001231FFFFFFF", 0x8F34}}) {
    SCOPED_TRACE(pszReport);
    RemakeFrame();
    Receive(Line(pszReport) + Line(":G00"));
    EXPECT_TRUE(Enabled(ID_WRITE_CONFIG) && Enabled(ID_LOG_PATHS));
    const ModuleSettings before = m_pFrame->Settings();
    EXPECT_EQ(before.m_wBitTime, wReported);
    m_pSerial->m_writes.clear();
    CDialogFiller filler;
    m_pFrame->Action(ID_WRITE_CONFIG)->trigger();
    EXPECT_EQ(std::tuple(filler.m_nRuns, m_pSerial->m_writes.size(), m_pFrame->Settings()), std::tuple(1, 0u, before));
  }
  EXPECT_TRUE(m_shown.empty());
  RemakeFrame([this] { m_pSerial->m_bOpenSucceeds = false; });
  m_shown.clear();
  m_pSerial->m_bOpenSucceeds = true;
  CDialogFiller filler;
  m_pFrame->Action(ID_WRITE_CONFIG)->trigger();
  EXPECT_EQ(std::tuple(m_pFrame->IsPortOpen(), m_pSerial->m_openedName, m_pSerial->m_dwOpenedRate),
            std::tuple(true, "ttyS1", 921600u));
  EXPECT_TRUE(std::ranges::any_of(m_pSerial->m_writes, [](const std::string& write) {
    return write.starts_with(":Z1C0F340000000000000000");
  }));
  EXPECT_TRUE(m_shown.empty());
}

TEST_F(WriteConfig, AFailedOpenLeavesTheSettingsAndSwitchingToUsbKeepsTheSerialChoice) {
  MakeReadyFrame();
  const ModuleSettings before = m_pFrame->Settings();
  m_pUsb->m_bOpenSucceeds = false;
  CDialogFiller filler(ChooseUsbAt500K);
  m_pFrame->Action(ID_WRITE_CONFIG)->trigger();
  ASSERT_EQ(m_shown.size(), 1u);
  EXPECT_EQ(std::tuple(m_shown[0].m_nStringId, m_shown[0].m_eIcon), std::tuple(IDS_PORT_OPEN_FAILED, EMessageIcon::ERROR));
  EXPECT_EQ(std::tuple(m_pFrame->Settings(), m_pUsb->m_writes.size()), std::tuple(before, 0u));

  m_pUsb->m_bOpenSucceeds = true;
  m_pFrame->Action(ID_WRITE_CONFIG)->trigger();
  const ModuleSettings& settings = m_pFrame->Settings();
  EXPECT_EQ(m_pUsb->m_openedName, "KX000123");
  EXPECT_EQ(std::tuple(settings.m_nPortMode, settings.m_nSerialPortIndex, settings.m_nBaudRate, settings.m_wBitTime),
            std::tuple(PORT_MODE_USB, 0, 921600, 0x0734));
  ASSERT_FALSE(m_pUsb->m_writes.empty());
  EXPECT_EQ(m_pUsb->m_writes.back().substr(0, 24), ":Z1C0734000001231FFFFFFF");
  EXPECT_EQ(PaneText(IDS_PANE_PORT_MODE), "USB Port");
}

TEST_F(WriteConfig, ANewLogPathMovesAnOpenLogAndAnIdleOneIsOnlyStored) {
  MakeFrame();
  m_pFrame->Action(ID_START_EVENT_LOG)->trigger();
  ASSERT_TRUE(m_pFrame->LogFiles().IsLogging(LOG_EVENT));
  const std::string newDir = m_scratch.MakeDir("logs2");
  CDialogFiller filler([&](QDialog& dialog) {
    auto& paths = static_cast<CLogPathDlg&>(dialog);
    paths.EventBox()->setText(QString::fromStdString(" " + newDir + "/Events.txt "));
    paths.RDataBox()->setText(QString::fromStdString(newDir + "/Frames.txt"));
  });
  m_pFrame->Action(ID_LOG_PATHS)->trigger();
  CLogFiles& logs = m_pFrame->LogFiles();
  EXPECT_EQ(logs.Path(LOG_EVENT) + "|" + logs.Path(LOG_RDATA), newDir + "/Events.txt|" + newDir + "/Frames.txt");
  EXPECT_TRUE(logs.IsLogging(LOG_EVENT) && logs.IsOpen(LOG_EVENT));
  EXPECT_FALSE(logs.IsLogging(LOG_RDATA) || logs.IsOpen(LOG_RDATA));
  EXPECT_TRUE(std::filesystem::exists(newDir + "/Events.txt") && !std::filesystem::exists(newDir + "/Frames.txt"));
}
