// Writing the configuration (32772) and setting the log paths (32787) through the frame on
// scripted transports; the dialogs are filled in and closed by the modal runner.
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <filesystem>
#include <functional>

#include "CFrameTestBed.h"
#include "resources/CommandIds.h"
#include "config/CModuleConfigDlg.h"
#include "receive/CLogPathDlg.h"
#include "resources/StringTable.h"

namespace {

// The user picks the USB radio and the 500K preset.
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
  // The second module reports a bit time with a reserved bit set; the dialog shows it as 250K.
  for (const auto& [pszReport, wReported] : {std::pair{":Y1C0F34000001231FFFFFFF", 0x0F34},
                                             std::pair{":Y1C8F34000001231FFFFFFF", 0x8F34}}) {
    SCOPED_TRACE(pszReport);
    m_pFrame.reset();
    m_pSerial->Forget();
    MakeFrame();
    Receive(Line(pszReport) + Line(":G00"));
    EXPECT_TRUE(Enabled(ID_WRITE_CONFIG) && Enabled(ID_LOG_PATHS));
    const ModuleSettings before = m_pFrame->Settings();
    EXPECT_EQ(before.m_wBitTime, wReported);
    m_pSerial->m_writes.clear();
    CDialogFiller filler;
    m_pFrame->Action(ID_WRITE_CONFIG)->trigger();
    EXPECT_EQ(filler.m_nRuns, 1);
    EXPECT_TRUE(m_pSerial->m_writes.empty());
    EXPECT_EQ(m_pFrame->Settings(), before);
  }
  EXPECT_TRUE(m_shown.empty());
  m_pFrame.reset();
  m_pSerial->Forget();
  m_pSerial->m_bOpenSucceeds = false;
  MakeFrame();
  m_shown.clear();
  m_pSerial->m_bOpenSucceeds = true;
  CDialogFiller filler;
  m_pFrame->Action(ID_WRITE_CONFIG)->trigger();
  EXPECT_TRUE(m_pFrame->IsPortOpen());
  EXPECT_EQ(m_pSerial->m_openedName, "ttyS1");
  EXPECT_EQ(m_pSerial->m_dwOpenedRate, 921600u);
  EXPECT_TRUE(std::ranges::any_of(m_pSerial->m_writes, [](const std::string& write) {
    return write.starts_with(":Z1C0F340000000000000000");
  }));
  EXPECT_TRUE(m_shown.empty());
}

TEST_F(WriteConfig, AFailedOpenLeavesTheSettingsAndSwitchingToUsbKeepsTheSerialChoice) {
  MakeFrame();
  AnswerStartup();
  const ModuleSettings before = m_pFrame->Settings();
  m_pUsb->m_bOpenSucceeds = false;
  CDialogFiller filler(ChooseUsbAt500K);
  m_pFrame->Action(ID_WRITE_CONFIG)->trigger();
  ASSERT_EQ(m_shown.size(), 1u);
  EXPECT_EQ(m_shown[0].m_nStringId, IDS_PORT_OPEN_FAILED);
  EXPECT_EQ(m_shown[0].m_eIcon, EMessageIcon::ERROR);
  EXPECT_EQ(m_pFrame->Settings(), before);
  EXPECT_TRUE(m_pUsb->m_writes.empty());

  m_pUsb->m_bOpenSucceeds = true;
  m_pFrame->Action(ID_WRITE_CONFIG)->trigger();
  const ModuleSettings& settings = m_pFrame->Settings();
  EXPECT_EQ(m_pUsb->m_openedName, "KX000123");
  EXPECT_EQ(settings.m_nPortMode, PORT_MODE_USB);
  EXPECT_EQ(settings.m_nSerialPortIndex, 0);
  EXPECT_EQ(settings.m_nBaudRate, 921600);
  EXPECT_EQ(settings.m_wBitTime, 0x0734);
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
  EXPECT_EQ(logs.Path(LOG_EVENT), newDir + "/Events.txt");
  EXPECT_EQ(logs.Path(LOG_RDATA), newDir + "/Frames.txt");
  EXPECT_TRUE(logs.IsLogging(LOG_EVENT) && logs.IsOpen(LOG_EVENT));
  EXPECT_FALSE(logs.IsLogging(LOG_RDATA) || logs.IsOpen(LOG_RDATA));
  EXPECT_TRUE(std::filesystem::exists(newDir + "/Events.txt"));
  EXPECT_FALSE(std::filesystem::exists(newDir + "/Frames.txt"));
}
