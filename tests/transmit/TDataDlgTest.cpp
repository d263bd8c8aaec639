// The transmit frame dialog on its real widgets: what it opens with, how it reacts, what OK returns or refuses.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <string>
#include <vector>

#include "config/CIdentifierEditorCtrl.h"
#include "resources/StringTable.h"
#include "support/WidgetDriving.h"
#include "transmit/CTDataDlg.h"

namespace {

TData Frame(uint32_t bStandardID, uint32_t bDataFrame, uint32_t bHexFormat, uint8_t byLength, uint32_t dwID,
            uint32_t dwBytes0to3, uint32_t dwBytes4to7, uint16_t wPeriodMs = 0) {
  return {.bStandardID = bStandardID, .bDataFrame = bDataFrame, .bHexFormat = bHexFormat, .byLength = byLength,
          .wPeriodMs = wPeriodMs, .dwID = dwID, .dwBytes0to3 = dwBytes0to3, .dwBytes4to7 = dwBytes4to7};
}

QLineEdit* DataBox(CTDataDlg& d, int i) { return Find<QLineEdit>(d, QStringLiteral("data%1").arg(i).toLatin1().constData()); }
QString Current(CTDataDlg& d, const char* pszList) { return Find<QComboBox>(d, pszList)->currentText(); }

// The data boxes as "41|42|00|-|-|-|-|-": "-" emptied and disabled, "(text)" disabled but holding text.
std::string DataBoxes(CTDataDlg& d) {
  std::string shown;
  for (int i = 0; i < 8; ++i) {
    const QLineEdit* pBox = DataBox(d, i);
    const std::string text = pBox->text().toStdString();
    shown += (i ? "|" : "") + (pBox->isEnabled() ? text : text.empty() ? "-" : "(" + text + ")");
  }
  return shown;
}

std::vector<int> MaxLengths(CTDataDlg& d) {
  std::vector<int> lengths;
  for (int i = 0; i < 8; ++i) lengths.push_back(DataBox(d, i)->maxLength());
  return lengths;
}

void ExpectSameValues(const TData& actual, const TData& expected) {
  EXPECT_TRUE(IsSameFrame(actual, expected) && actual.bHexFormat == expected.bHexFormat && !actual.pOwner &&
              actual.wPeriodMs == expected.wPeriodMs)
      << std::hex << actual.bStandardID << " " << actual.bDataFrame << " " << actual.bHexFormat << " "
      << int{actual.byLength} << " " << actual.dwID << " " << actual.dwBytes0to3 << " " << actual.dwBytes4to7 << " "
      << std::dec << actual.wPeriodMs;
}

struct CDlgCase {
  const char* m_pszName;
  TData m_in;
  std::function<void(CTDataDlg&)> m_fnUser;  // what the user does (and sees) before OK
  bool m_bRefused = false;
  TData m_expected = {};                      // the result when not refused
};

const std::vector<int> HEX_LIMITS(8, 2), ASCII_LIMITS(8, 1);

}  // namespace

TEST(TDataDlg, OpensFromTheRecordReactsToTheUserAndChecksOnOk) {
  const TData hexAB = Frame(0, 1, 1, 3, 0x123, 0x41FF0000, 0);  // FF: a character above U+007F
  const TData cyclic = Frame(1, 1, 1, 2, 0x100, 0x01020000, 0, 250);
  const std::vector<CDlgCase> cases = {
      {"a new frame", CTDataDlg::NewFrame(), [](CTDataDlg& d) {
         EXPECT_EQ(Current(d, "protocol") + Current(d, "frameType") + Current(d, "format") + Current(d, "length"),
                   "CAN2.0BData FrameHex8");
         EXPECT_EQ(DataBoxes(d), "00|00|00|00|00|00|00|00");
         EXPECT_EQ(MaxLengths(d), HEX_LIMITS);
         auto* pId = Find<CIdentifierEditorCtrl>(d, "id");
         for (int nBox = 1; nBox <= 4; ++nBox) EXPECT_EQ(pId->Box(nBox)->text(), "00");
         for (int nTick = 0; nTick < 29; ++nTick) EXPECT_TRUE(!pId->Tick(nTick)->isChecked() && pId->Tick(nTick)->isEnabled());
         EXPECT_EQ(d.focusWidget(), Find<QComboBox>(d, "protocol"));
         QTest::keyClick(DataBox(d, 0), Qt::Key_Return);  // Enter never confirms
         QTest::keyClick(d.OkButton(), Qt::Key_Enter);
         EXPECT_TRUE(d.isVisible());
       },
       false, Frame(0, 1, 1, 8, 0, 0, 0)},
      {"CAN2.0A empties boxes 1 and 2 and locks ID11..ID28", Frame(0, 1, 1, 8, 0x1FFFFFFF, 0, 0), [](CTDataDlg& d) {
         Choose(Find<QComboBox>(d, "protocol"), 0);
         auto* pId = Find<CIdentifierEditorCtrl>(d, "id");
         for (int nBox : {1, 2}) EXPECT_TRUE(pId->Box(nBox)->text().isEmpty() && !pId->Box(nBox)->isEnabled());
         for (int nTick = 0; nTick < 29; ++nTick)
           EXPECT_EQ(std::pair(pId->Tick(nTick)->isChecked(), pId->Tick(nTick)->isEnabled()), std::pair(nTick <= 10, nTick <= 10)) << nTick;
       },
       false, Frame(1, 1, 1, 8, 0x7FF, 0, 0)},
      {"a remote frame has no data", Frame(0, 1, 1, 8, 5, 0x01020304, 0x05060708), [](CTDataDlg& d) {
         Choose(Find<QComboBox>(d, "frameType"), 1);
         EXPECT_EQ(Current(d, "length"), "0");
         EXPECT_FALSE(Find<QComboBox>(d, "length")->isEnabled());
         EXPECT_EQ(DataBoxes(d), "-|-|-|-|-|-|-|-");
       },
       false, Frame(0, 0, 1, 0, 5, 0, 0)},
      {"length 3 keeps boxes 1 to 3", Frame(0, 1, 1, 8, 0, 0x11223344, 0x55667788), [](CTDataDlg& d) {
         for (int n = 8; n > 3; --n) QTest::keyClick(Find<QComboBox>(d, "length"), Qt::Key_Up);  // never through 0
         EXPECT_EQ(DataBoxes(d), "11|22|33|-|-|-|-|-");
       },
       false, Frame(0, 1, 1, 3, 0, 0x11223300, 0)},
      {"Hex to Ascii and back, code 0 and FF included", hexAB, [](CTDataDlg& d) {
         Choose(Find<QComboBox>(d, "format"), 1);
         EXPECT_EQ(DataBoxes(d), std::string("A|\xC3\xBF|") + '\0' + "|-|-|-|-|-");  // code 0 shows as an empty box
         EXPECT_EQ(MaxLengths(d), ASCII_LIMITS);
         DataBox(d, 2)->clear();  // an empty box is 00 as well
         Choose(Find<QComboBox>(d, "format"), 0);
         EXPECT_EQ(DataBoxes(d), "41|FF|00|(00)|(00)|(00)|(00)|(00)");
         EXPECT_EQ(MaxLengths(d), HEX_LIMITS);
       },
       false, hexAB},
      {"Ascii boxes take any ASCII character but no upper half", Frame(0, 1, 0, 4, 0, 0, 0), [](CTDataDlg& d) {
         for (int i = 0; i < 3; ++i) Type(DataBox(d, i), i == 0 ? "G" : i == 1 ? "z" : "A");
         DataBox(d, 3)->selectAll();
         QTest::sendKeyEvent(QTest::Click, DataBox(d, 3), Qt::Key_Eacute, QStringLiteral("\u00E9"), Qt::NoModifier);
         EXPECT_EQ(DataBox(d, 3)->text(), QString(QChar(0)));
       },
       false, Frame(0, 1, 0, 4, 0, 0x477A4100, 0)},
      {"Hex boxes take hexadecimal digits only", CTDataDlg::NewFrame(), [](CTDataDlg& d) {
         Type(DataBox(d, 0), "Gz");
         Type(DataBox(d, 1), "a g-F");
         EXPECT_EQ(DataBoxes(d), "00|aF|00|00|00|00|00|00");
       },
       false, Frame(0, 1, 1, 8, 0, 0x00AF0000, 0)},
      {"pasted non-hexadecimal identifier byte", CTDataDlg::NewFrame(),
       [](CTDataDlg& d) { Find<CIdentifierEditorCtrl>(d, "id")->Box(4)->setText("GZ"); }, true},
      {"pasted non-hexadecimal Hex data", CTDataDlg::NewFrame(), [](CTDataDlg& d) { DataBox(d, 7)->setText("GZ"); },
       true},
      {"a file record with flags 2 and length 200", Frame(2, 2, 2, 200, 0xFFFFFFFF, 0x01020304, 0x05060708),
       [](CTDataDlg& d) { EXPECT_EQ(Current(d, "length") + Current(d, "protocol"), "8CAN2.0A"); }, false,
       Frame(1, 1, 1, 8, 0x7FF, 0x01020304, 0x05060708)},
      {"the period shown and changed", cyclic, [](CTDataDlg& d) {
         EXPECT_EQ(Find<QLineEdit>(d, "period")->text(), "250");
         Find<QLineEdit>(d, "period")->setText("10");
       },
       false, Frame(1, 1, 1, 2, 0x100, 0x01020000, 0, 10)},
      {"a period above 60000", cyclic, [](CTDataDlg& d) { Find<QLineEdit>(d, "period")->setText("60001"); }, true},
      {"unchanged remote frame", Frame(1, 0, 1, 0, 0x7FF, 0, 0), nullptr, false, Frame(1, 0, 1, 0, 0x7FF, 0, 0)},
      {"unchanged 2.0B record", Frame(0, 1, 1, 5, 0x1ABCDEF0, 0xDEADBEEF, 0x7F000000), nullptr, false,
       Frame(0, 1, 1, 5, 0x1ABCDEF0, 0xDEADBEEF, 0x7F000000)},
  };
  for (const CDlgCase& c : cases) {
    SCOPED_TRACE(c.m_pszName);
    CRecordingSink sink;
    CTDataDlg dialog(c.m_in);
    dialog.show();
    if (c.m_fnUser) c.m_fnUser(dialog);
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_EQ(std::tuple(sink.m_ids, sink.m_icons, dialog.isVisible(), dialog.result()),
              c.m_bRefused ? std::tuple(std::vector{IDS_DATA_INPUT_WRONG}, std::vector{EMessageIcon::ERROR}, true, 0)
                           : std::tuple(std::vector<unsigned>{}, std::vector<EMessageIcon>{}, false, 1));
    if (!c.m_bRefused) ExpectSameValues(dialog.Result(), c.m_expected);
  }
}
