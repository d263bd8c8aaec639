// The transmit list in the frame: rows, the frame dialog (driven only through its controls'
// names), the enable rules of menu bar and context menu, sending, the Delete key, column widths
// and the transmit files.
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "CFrameTestBed.h"
#include "app/CommandCatalog.h"
#include "resources/CommandIds.h"
#include "resources/StringTable.h"
#include "support/WidgetDriving.h"
#include "transmit/CLeftView.h"
#include "transmit/CTDataObject.h"

namespace {

// What the user enters in the frame dialog. The identifier is typed into the byte boxes in use
// (two for CAN 2.0A, four for 2.0B), the data as pairs of hexadecimal digits.
struct CFrameInput {
  int m_nProtocol = 1;  // 0 CAN2.0A, 1 CAN2.0B
  const char* m_pszId = "00000000";
  int m_nLength = 0;
  const char* m_pszData = "";
  bool m_bRemote = false;
};

std::string Name(const char* pszPrefix, int n) { return pszPrefix + std::to_string(n); }

void Fill(QDialog& dialog, const CFrameInput& input) {
  Choose(Find<QComboBox>(dialog, "protocol"), input.m_nProtocol);
  const int nBoxes = static_cast<int>(std::strlen(input.m_pszId)) / 2;
  for (int n = 0; n < nBoxes; ++n)
    Type(Find<QLineEdit>(dialog, Name("box", 5 - nBoxes + n).c_str()), std::string(input.m_pszId + 2 * n, 2).c_str());
  if (input.m_bRemote) {
    Choose(Find<QComboBox>(dialog, "frameType"), 1);
    return;
  }
  Choose(Find<QComboBox>(dialog, "frameType"), 0);
  Choose(Find<QComboBox>(dialog, "length"), input.m_nLength);
  for (int n = 0; n < input.m_nLength; ++n)
    Type(Find<QLineEdit>(dialog, Name("data", n).c_str()), std::string(input.m_pszData + 2 * n, 2).c_str());
}

const CFrameInput ID_7FF_2_BYTES{0, "07FF", 2, "1122"};
const CFrameInput ID_1FFFFFFF_EMPTY{1, "1FFFFFFF", 0};
const CFrameInput ID_123_5_BYTES{1, "00000123", 5, "0102030405"};

}  // namespace

class TransmitList : public CFrameTestBed {
protected:
  EMessageAnswer Show(const CMessageRequest& request) override {
    m_shown.push_back(request);
    return request.m_eButtons == EMessageButtons::YES_NO ? m_eAnswer : EMessageAnswer::OK;
  }

  CLeftView& View() const { return *m_pFrame->TransmitView(); }
  QStringList Row(int nRow) const {
    QStringList texts;
    for (int nColumn = 0; nColumn < CLeftView::COLUMN_COUNT; ++nColumn) {
      const QTableWidgetItem* pItem = View().item(nRow, nColumn);
      texts << (pItem ? pItem->text() : QStringLiteral("<no item>"));
    }
    return texts;
  }
  QList<QStringList> Rows() const {
    QList<QStringList> rows;
    for (int nRow = 0; nRow < View().rowCount(); ++nRow) rows << Row(nRow);
    return rows;
  }
  // A command from the menu bar with the dialog filled in and confirmed.
  void RunWithDialog(unsigned nId, const CFrameInput& input) {
    CDialogFiller filler([&input](QDialog& dialog) { Fill(dialog, input); });
    m_pFrame->Action(nId)->trigger();
    EXPECT_EQ(filler.m_nRuns, 1);
  }
  QPoint RowPoint(int nRow) const { return View().visualRect(View().model()->index(nRow, 1)).center(); }
  void ClickRow(int nRow) const { QTest::mouseClick(View().viewport(), Qt::LeftButton, {}, RowPoint(nRow)); }
  // The first click of a double click is a click; QTest sends only the second.
  void DoubleClickRow(int nRow) const {
    ClickRow(nRow);
    QTest::mouseDClick(View().viewport(), Qt::LeftButton, {}, RowPoint(nRow));
  }
  // The file dialog picks the path and is accepted; an empty path cancels it.
  void RunWithFile(unsigned nId, const std::string& path) {
    const ModalRunner previous = SetModalRunner([&path](QDialog& dialog) {
      auto& fileDialog = dynamic_cast<QFileDialog&>(dialog);
      if (path.empty()) return false;
      fileDialog.selectFile(QString::fromStdString(path));
      dialog.accept();  // QFileDialog's own accept, as its open or save button runs it
      return dialog.result() == QDialog::Accepted;
    });
    m_pFrame->Action(nId)->trigger();
    SetModalRunner(previous);
  }
  QMenu& OpenContextMenu(QPoint point = QPoint(5, 5)) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, point, View().viewport()->mapToGlobal(point));
    QApplication::sendEvent(View().viewport(), &event);
    EXPECT_TRUE(m_pFrame->TransmitMenu()->isVisible());
    return *m_pFrame->TransmitMenu();
  }
  // Exactly one box was shown: its id, its icon, and a text its detail holds.
  void ExpectOneBox(unsigned nId, EMessageIcon eIcon, const std::string& detailPart = {}) {
    ASSERT_EQ(m_shown.size(), 1u);
    EXPECT_EQ(m_shown[0].m_nStringId, nId);
    EXPECT_EQ(m_shown[0].m_eIcon, eIcon);
    EXPECT_NE(m_shown[0].m_strDetail.find(detailPart), std::string::npos) << m_shown[0].m_strDetail;
  }
  std::optional<std::string> StoredDirectory() const {
    return m_store.GetString(SETTINGS_SECTION, SETTING_TDATA_FILE_DIR);
  }

  EMessageAnswer m_eAnswer = EMessageAnswer::NO;
};

TEST_F(TransmitList, RowsShowTheFrameADuplicateIsRefusedAndModifyTakesCopies) {
  MakeFrame();
  AnswerStartup();
  RunWithDialog(ID_ADD_TDATA, ID_7FF_2_BYTES);
  RunWithDialog(ID_ADD_TDATA, ID_1FFFFFFF_EMPTY);
  RunWithDialog(ID_ADD_TDATA, ID_123_5_BYTES);
  RunWithDialog(ID_ADD_TDATA, {1, "00000005", 0, "", true});
  const QList<QStringList> expected = {
      {"CAN2.0A", "Data Frame", "07 FF", "2", "11 22"},
      {"CAN2.0B", "Data Frame", "1F FF FF FF", "0", ""},
      {"CAN2.0B", "Data Frame", "00 00 01 23", "5", "01 02 03 04 05"},
      {"CAN2.0B", "Remote Frame", "00 00 00 05", "0", ""},
  };
  EXPECT_EQ(Rows(), expected);
  EXPECT_TRUE(m_shown.empty());
  EXPECT_FALSE(View().item(0, 0)->icon().isNull());
  EXPECT_EQ(View().SelectedRow(), -1);  // adding selects nothing

  RunWithDialog(ID_ADD_TDATA, ID_123_5_BYTES);
  ExpectOneBox(IDS_DUPLICATE_TDATA, EMessageIcon::INFORMATION);
  EXPECT_EQ(Rows(), expected);
  EXPECT_EQ(View().Frames().Count(), 4u);

  m_shown.clear();
  {
    CDialogFiller filler;  // nothing selected: no dialog, no change
    m_pFrame->Action(ID_MODIFY_TDATA)->trigger();
    EXPECT_EQ(filler.m_nRuns, 0);
  }
  ClickRow(2);
  RunWithDialog(ID_MODIFY_TDATA, ID_7FF_2_BYTES);  // into a copy of row 0: no duplicate test
  EXPECT_TRUE(m_shown.empty());
  EXPECT_EQ(Row(2), Row(0));
  RunWithDialog(ID_MODIFY_TDATA, {1, "00000010", 0, "", true});
  EXPECT_EQ(Row(2), (QStringList{"CAN2.0B", "Remote Frame", "00 00 00 10", "0", ""}));
  EXPECT_EQ(View().SelectedRow(), 2);
  EXPECT_EQ(View().Frames().Count(), 4u);
}

// The context menu holds the menu bar's own actions (MainFrameTests); a right click runs the
// idle update, as opening a menu does.
TEST_F(TransmitList, CommandsFollowRowsSelectionAndPortsButADoubleClickAlwaysSends) {
  struct CStateCase {
    const char* m_pszName;
    bool m_bPorts;
    int m_nRows;
    bool m_bSelect;
    std::vector<unsigned> m_enabled;
  };
  const std::vector<CStateCase> cases = {
      {"empty list", true, 0, false, {ID_OPEN_TFILE, ID_ADD_TDATA}},
      {"rows, no selection", true, 2, false, {ID_OPEN_TFILE, ID_ADD_TDATA, ID_SAVE_TFILE, ID_DELETE_ALL_TDATA}},
      {"row selected", true, 2, true,
       {ID_OPEN_TFILE, ID_ADD_TDATA, ID_SAVE_TFILE, ID_DELETE_ALL_TDATA, ID_MODIFY_TDATA, ID_DELETE_TDATA,
        ID_SEND_TDATA}},
      {"row selected, no port found", false, 2, true,
       {ID_OPEN_TFILE, ID_ADD_TDATA, ID_SAVE_TFILE, ID_DELETE_ALL_TDATA, ID_MODIFY_TDATA, ID_DELETE_TDATA}},
  };
  for (const CStateCase& c : cases) {
    SCOPED_TRACE(c.m_pszName);
    m_pFrame.reset();
    m_pSerial->Forget();
    m_ports = CPortLists();
    if (c.m_bPorts) m_ports.m_serialPorts = {{"ttyS1", "/dev/ttyS1", "ttyS1", 0}};
    MakeFrame();
    for (int n = 0; n < c.m_nRows; ++n) RunWithDialog(ID_ADD_TDATA, {1, Name("000000", 10 + n).c_str()});
    if (c.m_bSelect) ClickRow(1);

    QMenu& menu = OpenContextMenu(RowPoint(1) + QPoint(0, 200));  // below the rows: the selection stays
    for (unsigned nId : TDataMenuLayout()) {
      if (nId == ID_SEPARATOR) continue;
      EXPECT_EQ(Enabled(nId), std::ranges::count(c.m_enabled, nId) == 1) << nId;
    }
    menu.hide();
  }
  // Still without a port: the send command is off, but a double click sends, and says why it cannot.
  m_shown.clear();
  DoubleClickRow(0);
  ExpectOneBox(IDS_PORT_OPEN_FAILED, EMessageIcon::ERROR);
}

TEST_F(TransmitList, SendAndDeleteComeFromShortcutsClicksAndTheContextMenu) {
  MakeFrame();
  AnswerStartup();
  m_pFrame->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(m_pFrame.get()));
  RunWithDialog(ID_ADD_TDATA, ID_7FF_2_BYTES);
  RunWithDialog(ID_ADD_TDATA, ID_123_5_BYTES);
  RunWithDialog(ID_ADD_TDATA, ID_1FFFFFFF_EMPTY);
  QTest::keyClick(&View(), Qt::Key_Delete);  // nothing selected
  EXPECT_EQ(View().rowCount(), 3);

  m_pSerial->m_writes.clear();
  ClickRow(1);
  QTest::keyClick(&View(), Qt::Key_W, Qt::ControlModifier);
  DoubleClickRow(0);
  EXPECT_EQ(m_pSerial->m_writes, (std::vector<std::string>{Line(":W25000001230102030405"), Line(":W0207FF1122")}));
  EXPECT_EQ(View().rowCount(), 3);

  ClickRow(2);
  QMenu& menu = OpenContextMenu(RowPoint(2));
  QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(m_pFrame->Action(ID_DELETE_TDATA)).center());
  EXPECT_FALSE(menu.isVisible());
  ClickRow(0);
  QTest::keyClick(&View(), Qt::Key_D, Qt::ControlModifier);
  ASSERT_EQ(View().rowCount(), 1);
  EXPECT_EQ(Row(0)[2], "00 00 01 23");
  ClickRow(0);
  QTest::keyClick(&View(), Qt::Key_Delete);
  EXPECT_EQ(View().rowCount(), 0);
  EXPECT_EQ(View().Frames().Count(), 0u);
  {
    CDialogFiller filler([](QDialog& dialog) { Fill(dialog, ID_7FF_2_BYTES); });
    QTest::keyClick(&View(), Qt::Key_A, Qt::ControlModifier);  // the add dialog, not "select all"
    EXPECT_EQ(filler.m_nRuns, 1);
  }
  EXPECT_EQ(View().rowCount(), 1);
  EXPECT_TRUE(m_shown.empty());

  // A record as a hostile file may hold it: flags above 1, length 200, every identifier bit.
  const std::string header("\x2A\x3F\x00\x00\x0ATDataArray\x01\x00", 17);
  const std::string record("\x07\0\0\0\x02\0\0\0\x01\0\0\0\xC8\xFF\xFF\xFF\xFF\x04\x03\x02\x01\x08\x07\x06\x05", 25);
  RunWithFile(ID_OPEN_TFILE, m_scratch.Write("odd.ctd", header + record));
  EXPECT_EQ(Rows(), (QList<QStringList>{{"CAN2.0A", "Data Frame", "07 FF", "200", ""}}));
  ClickRow(0);
  m_pFrame->Action(ID_SEND_TDATA)->trigger();
  EXPECT_EQ(m_pSerial->m_writes.back(), Line(":W0807FF0102030405060708"));  // never more than 8 bytes
  EXPECT_TRUE(m_shown.empty());
}

TEST_F(TransmitList, ColumnWidthsComeBackAtTheNextStartAndOddStoredWidthsAreIgnored) {
  MakeFrame();
  for (int nColumn = 0; nColumn < CLeftView::COLUMN_COUNT; ++nColumn)
    EXPECT_EQ(View().columnWidth(nColumn), CLeftView::DEFAULT_WIDTHS[static_cast<size_t>(nColumn)]);
  View().horizontalHeader()->resizeSection(0, 123);
  View().horizontalHeader()->resizeSection(4, 210);
  m_pFrame->close();  // the settings are written here, not later
  EXPECT_EQ(m_store.GetInt(LEFT_LIST_SECTION, "LeftCol 0"), 123);
  EXPECT_EQ(m_store.GetInt(LEFT_LIST_SECTION, "LeftCol 1"), 80);
  EXPECT_EQ(m_store.GetInt(LEFT_LIST_SECTION, "LeftCol 4"), 210);

  for (const char* pszStored : {"-5", "0", "wide", "99999999999"}) {
    SCOPED_TRACE(pszStored);
    m_store.SetString(LEFT_LIST_SECTION, "LeftCol 1", pszStored);
    m_pFrame.reset();
    m_pSerial->Forget();
    MakeFrame();
    EXPECT_EQ(View().columnWidth(0), 123);
    EXPECT_EQ(View().columnWidth(1), 80);
    EXPECT_EQ(View().columnWidth(4), 210);
  }
}

TEST_F(TransmitList, FilesReplaceTheRowsRefuseHostileInputAndAskBeforeOverwriting) {
  MakeFrame();
  AnswerStartup();
  RunWithDialog(ID_ADD_TDATA, ID_7FF_2_BYTES);
  RunWithDialog(ID_ADD_TDATA, ID_123_5_BYTES);
  const QList<QStringList> listed = Rows();

  for (const char* pszName : {"wrong_signature.ctd", "name_case.ctd", "cut_in_record.ctd", "huge_count.ctd"}) {
    SCOPED_TRACE(pszName);
    m_shown.clear();
    const std::string path = std::string(KORVEX_TRANSMIT_DATA "/") + pszName;
    RunWithFile(ID_OPEN_TFILE, path);
    ExpectOneBox(IDS_TFILE_OPEN_FAILED, EMessageIcon::ERROR, path);
    EXPECT_EQ(Rows(), listed);
  }
  EXPECT_FALSE(StoredDirectory());

  m_shown.clear();
  const std::string directory = m_scratch.MakeDir("lists");
  const std::string path = directory + "/two.ctd";
  RunWithFile(ID_SAVE_TFILE, directory + "/two");  // the extension is added
  EXPECT_TRUE(m_shown.empty());
  ASSERT_EQ(std::filesystem::file_size(path), 17u + 2 * 25u);
  EXPECT_EQ(StoredDirectory(), directory);

  const QList<QStringList> oneRecord = {{"CAN2.0A", "Data Frame", "01 23", "2", "11 22"}};
  RunWithFile(ID_OPEN_TFILE, KORVEX_TRANSMIT_DATA "/one_record.ctd");  // replaces the rows, asks nothing
  EXPECT_EQ(Rows(), oneRecord);
  EXPECT_EQ(StoredDirectory(), KORVEX_TRANSMIT_DATA);
  RunWithFile(ID_OPEN_TFILE, path);
  EXPECT_EQ(Rows(), listed);
  EXPECT_TRUE(m_shown.empty());

  RunWithFile(ID_OPEN_TFILE, KORVEX_TRANSMIT_DATA "/one_record.ctd");
  for (const EMessageAnswer eAnswer : {EMessageAnswer::NO, EMessageAnswer::YES}) {
    m_shown.clear();
    m_eAnswer = eAnswer;
    RunWithFile(ID_SAVE_TFILE, path);
    ASSERT_EQ(m_shown.size(), 1u);
    EXPECT_EQ(m_shown[0].m_nStringId, IDS_TFILE_OVERWRITE);
    EXPECT_EQ(m_shown[0].m_eIcon, EMessageIcon::QUESTION);
    EXPECT_EQ(m_shown[0].m_eButtons, EMessageButtons::YES_NO);
    EXPECT_EQ(m_shown[0].m_strText, path + " 파일이 이미 있읍니다\n파일을 덮어 쓰시겠읍니까?");
    EXPECT_EQ(std::filesystem::file_size(path), eAnswer == EMessageAnswer::NO ? 67u : 42u);
    EXPECT_EQ(StoredDirectory(), eAnswer == EMessageAnswer::NO ? KORVEX_TRANSMIT_DATA : directory);
  }

  m_shown.clear();
  const std::string unwritable = directory + "/gone/three.ctd";
  RunWithFile(ID_SAVE_TFILE, unwritable);
  ExpectOneBox(IDS_TFILE_SAVE_FAILED, EMessageIcon::ERROR, unwritable);
  EXPECT_EQ(StoredDirectory(), directory);
  EXPECT_EQ(Rows(), oneRecord);

  m_shown.clear();
  RunWithFile(ID_OPEN_TFILE, "");  // cancelled
  EXPECT_TRUE(m_shown.empty());
  EXPECT_EQ(Rows(), oneRecord);
}
