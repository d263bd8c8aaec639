// The configuration and log path dialogs on their real widgets, offscreen.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <functional>
#include <string>
#include <vector>

#include "uisupport/MessageBox.h"
#include "config/CIdentifierEditorCtrl.h"
#include "config/CModuleConfigDlg.h"
#include "link/SerialPortDiscovery.h"
#include "receive/CLogPathDlg.h"
#include "resources/StringTable.h"
#include "support/ScratchDir.h"
#include "support/WidgetDriving.h"

namespace {

CPortLists Ports(std::vector<CSerialPortItem> serial, std::vector<std::string> usb) {
  CPortLists ports{.m_serialPorts = std::move(serial), .m_usbSerialNumbers = std::move(usb)};
  ports.FixPortsAvailable();
  return ports;
}

const CSerialPortItem PLAIN_PORT{"ttyS0", "/dev/ttyS0", "ttyS0", 0};
const CSerialPortItem MODULE_PORT{"ttyUSB0", "/dev/ttyUSB0", "Ostwind USB Korvex Analyzer Device (ttyUSB0)", 1};

// dwIds nonzero: CAN 2.0A with that mask and ID stored.
ModuleSettings Serial(int nIndex, int nBaud, uint16_t wBitTime = 0x0F34, uint32_t dwIds = 0) {
  return {.m_nPortMode = PORT_MODE_SERIAL, .m_nSerialPortIndex = nIndex, .m_nBaudRate = nBaud,
          .m_byMode = static_cast<uint8_t>(dwIds ? 0x0C : 0x1C), .m_wBitTime = wBitTime,
          .m_dwMaskId = dwIds, .m_dwId = dwIds};
}

struct CConfigCase {
  const char* m_pszName;
  ModuleSettings m_in;
  CPortLists m_ports;
  std::function<void(CModuleConfigDlg&)> m_fnUser;  // what the user does (and sees) before OK
  unsigned m_nRefusal;                               // 0: OK closes the dialog
  std::function<void(const ModuleSettings&)> m_fnCheck = nullptr;
};

}  // namespace

// How the dialog shows the settings and what OK gives back or refuses (rules: ModuleConfigRules).
TEST(ModuleConfigDlg, OpensFromTheSettingsAndChecksOnOk) {
  const CPortLists twoPorts = Ports({PLAIN_PORT, MODULE_PORT}, {});
  const std::vector<CConfigCase> cases = {
      {"a bit time outside the presets opens custom", Serial(0, 38400, 0x0745), twoPorts, [](CModuleConfigDlg& d) {
         EXPECT_TRUE(Find<QCheckBox>(d, "custom")->isChecked() && !Find<QComboBox>(d, "presets")->isEnabled());
         EXPECT_EQ(Find<QComboBox>(d, "brp")->currentText() + Find<QComboBox>(d, "tseg1")->currentText() +
                       Find<QComboBox>(d, "tseg2")->currentText(), "754");
       },
       0, [](const ModuleSettings& s) { EXPECT_EQ(s.m_wBitTime, 0x0745); }},
      // (How the editor shows CAN 2.0A, ticks included, is checked with the transmit dialog.)
      {"stored CAN 2.0A: both editors open under it, upper boxes empty", Serial(0, 38400, 0x0F34, 0x1FFFFFFF),
       twoPorts,
       [](CModuleConfigDlg& d) {
         EXPECT_EQ(Find<QComboBox>(d, "protocol")->currentText(), "CAN2.0A");
         for (const char* pszEditor : {"maskId", "id"}) {
           auto* pEditor = Find<CIdentifierEditorCtrl>(d, pszEditor);
           EXPECT_EQ(pEditor->Box(1)->text() + pEditor->Box(2)->text() + "|" + pEditor->Box(3)->text(), "|07");
         }
       },
       0, [](const ModuleSettings& s) { EXPECT_EQ(s.m_dwMaskId, 0x7FFu); }},
      {"custom fields show their rate; 1.25M BPS is refused", Serial(0, 38400, 0x0745), twoPorts,
       [](CModuleConfigDlg& d) {
         for (const char* pszList : {"brp", "tseg1", "tseg2"}) Choose(Find<QComboBox>(d, pszList), 0);
         EXPECT_EQ(Find<QLineEdit>(d, "computedRate")->text(), "1.25M BPS");
       },
       IDS_BIT_TIME_WRONG},
      {"unticking custom gives the 250K word, whatever the rate box shows", Serial(0, 38400, 0x0745), twoPorts,
       [](CModuleConfigDlg& d) {
         Press(Find<QCheckBox>(d, "custom"));
         EXPECT_EQ(Find<QComboBox>(d, "presets")->currentText(), "250K");
         EXPECT_EQ(Find<QLineEdit>(d, "computedRate")->text(), "416.67K BPS");
       },
       0, [](const ModuleSettings& s) { EXPECT_EQ(s.m_wBitTime, 0x0F34); }},
      {"the module's port runs at 921600 whatever the baud list showed", Serial(0, 38400), twoPorts,
       [](CModuleConfigDlg& d) {
         Choose(Find<QComboBox>(d, "serialPorts"), 1);
         EXPECT_EQ(Find<QComboBox>(d, "serialPorts")->currentText(), "ttyUSB0 (USB VCOMM)");
         Choose(Find<QComboBox>(d, "baudRates"), 0);
       },
       0, [](const ModuleSettings& s) { EXPECT_EQ(s.m_nSerialPortIndex, 1); EXPECT_EQ(s.m_nBaudRate, 921600); }},
      {"USB radio with no module", Serial(0, 921600), Ports({PLAIN_PORT}, {}), [](CModuleConfigDlg& d) {
         EXPECT_FALSE(Find<QComboBox>(d, "usbModules")->isEnabled());
         Press(Find<QRadioButton>(d, "usbRadio"));
         EXPECT_FALSE(Find<QComboBox>(d, "serialPorts")->isEnabled());
         EXPECT_TRUE(Find<QComboBox>(d, "usbModules")->isEnabled());
       },
       0,
       [](const ModuleSettings& s) {
         EXPECT_EQ(s, (ModuleSettings{.m_nPortMode = PORT_MODE_USB, .m_nUsbPortIndex = -1, .m_nBaudRate = 921600}));
       }},
      {"a bad receive ID", Serial(0, 38400), twoPorts,
       [](CModuleConfigDlg& d) { Find<CIdentifierEditorCtrl>(d, "id")->Box(1)->setText("G1"); },  // pasted
       IDS_ID_WRONG},
  };
  for (const CConfigCase& c : cases) {
    SCOPED_TRACE(c.m_pszName);
    CRecordingSink sink;
    CModuleConfigDlg dialog(c.m_in, c.m_ports);
    dialog.show();
    if (c.m_fnUser) c.m_fnUser(dialog);
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_EQ(std::tuple(sink.m_ids, sink.m_icons, dialog.isVisible(), dialog.result()),
              c.m_nRefusal ? std::tuple(std::vector{c.m_nRefusal}, std::vector{EMessageIcon::ERROR}, true, 0)
                           : std::tuple(std::vector<unsigned>{}, std::vector<EMessageIcon>{}, false, 1));
    if (!c.m_nRefusal && c.m_fnCheck) c.m_fnCheck(dialog.Result());
  }
}

TEST(IdentifierEditorCtrl, KeysTicksAndTheProtocolSwitchReachTheModel) {
  CIdentifierEditorCtrl editor;
  editor.Load(0, CIdentifierEditor::CAN_20B);
  editor.show();
  editor.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));  // focus moves only in the active window
  Type(editor.Box(1), "fF");
  EXPECT_EQ(editor.Box(1)->text(), "1F");  // capitals, cut to bits 28..24
  for (int nTick = 24; nTick <= 28; ++nTick) EXPECT_TRUE(editor.Tick(nTick)->isChecked()) << nTick;
  Type(editor.Box(2), "g 3");
  EXPECT_EQ(editor.Box(2)->text(), "3");
  QTest::keyClick(editor.Box(2), Qt::Key_V, Qt::ControlModifier);  // no paste shortcut here
  EXPECT_EQ(editor.Box(2)->text(), "3");
  EXPECT_TRUE(editor.Tick(16)->isChecked() && editor.Tick(17)->isChecked());
  Press(editor.Tick(7));
  EXPECT_EQ(editor.Box(4)->text(), "80");

  // Typed and not yet taken in: it survives the switch to CAN 2.0A.
  Type(editor.Box(3), "5");
  editor.SwitchProtocol(CIdentifierEditor::CAN_20A);
  EXPECT_EQ(std::tuple(editor.Box(3)->text(), editor.Editor().Read()), std::tuple("5", 0x580u));
  // A single digit left in box 3 under CAN 2.0A is cut to 3 bits when the focus moves on.
  Type(editor.Box(3), "9");
  editor.Box(4)->setFocus();
  EXPECT_EQ(editor.Box(3)->text(), "01");
  QTest::keyClick(editor.Box(4), Qt::Key_Tab);  // Tab still leaves a byte box
  EXPECT_FALSE(editor.Box(4)->hasFocus());
}

// The form dialogs share these keys; shown on the one whose byte boxes take keys of their own.
TEST(FormDialogs, EnterNeverConfirmsAndEscapeCancels) {
  CRecordingSink sink;
  const CPortLists ports = Ports({PLAIN_PORT}, {});
  CModuleConfigDlg config(Serial(0, 38400), ports);
  for (QWidget* pFocus : std::initializer_list<QWidget*>{Find<CIdentifierEditorCtrl>(config, "id")->Box(4), config.OkButton()}) {
    config.show();
    pFocus->setFocus();
    QTest::keyClick(pFocus, Qt::Key_Return);
    QTest::keyClick(pFocus, Qt::Key_Enter);
    EXPECT_TRUE(config.isVisible()) << pFocus->objectName().toStdString();
    QTest::keyClick(pFocus, Qt::Key_Escape);
    EXPECT_FALSE(config.isVisible());
    EXPECT_EQ(config.result(), QDialog::Rejected);
  }
  EXPECT_TRUE(sink.m_ids.empty());
}

// An untouched box gives back the current path's bytes, even if not UTF-8; a refused path keeps the dialog open.
TEST(LogPathDlg, GivesBackTheSystemsBytesAndRefusesABadPath) {
  ScratchDir scratch;
  const std::string oddDir = scratch.MakeDir("w\xF6rk");
  CRecordingSink sink;
  CLogPathDlg dialog(oddDir + "/RDataLog.txt", oddDir + "/EventLog.txt");
  dialog.show();
  dialog.EventBox()->setText(QString::fromStdString(scratch / "gone/E.txt"));
  QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
  EXPECT_EQ(sink.m_ids, std::vector<unsigned>{IDS_EVENT_LOG_PATH_WRONG});
  EXPECT_TRUE(dialog.isVisible() && dialog.EventLogPath().empty());
  dialog.EventBox()->setText(QString::fromStdString(scratch / "E.txt"));
  QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
  EXPECT_EQ(std::tuple(dialog.result(), dialog.EventLogPath(), dialog.RDataLogPath()),
            std::tuple(QDialog::Accepted, scratch / "E.txt", oddDir + "/RDataLog.txt"));
}

TEST(LogPathDlg, BrowsingStartsWhereTheBoxOrTheCurrentPathPoints) {
  ScratchDir scratch;
  const std::string logDir = scratch.MakeDir("Log");
  const std::string otherDir = scratch.MakeDir("other");
  std::vector<std::string> calls;
  QString answer;
  CLogPathDlg dialog(logDir + "/RDataLog.txt", logDir + "/EventLog.txt",
                     [&](QWidget*, const QString& title, const QString& directory, const QString& filter) {
                       calls.push_back((title + "|" + directory + "|" + filter).toStdString());
                       return answer;
                     });
  dialog.show();
  dialog.RDataBox()->setText(QString::fromStdString(otherDir + "/gone/R.txt"));
  answer = QString::fromStdString(otherDir + "/R.txt");
  QTest::mouseClick(dialog.RDataBrowseButton(), Qt::LeftButton);
  EXPECT_EQ(dialog.RDataBox()->text().toStdString(), otherDir + "/R.txt");
  dialog.EventBox()->setText(QString::fromStdString(otherDir + "/E.txt"));
  answer.clear();  // cancelled
  QTest::mouseClick(dialog.EventBrowseButton(), Qt::LeftButton);
  EXPECT_EQ(dialog.EventBox()->text().toStdString(), otherDir + "/E.txt");
  EXPECT_EQ(calls, (std::vector<std::string>{
                       "수신 데이터 로그 파일 설정|" + logDir + "|수신 데이터 로그 파일(*.txt)",
                       "이벤트 로그 파일 설정|" + otherDir + "|이벤트 로그 파일(*.txt)",
                   }));
}
