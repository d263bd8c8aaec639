// The transmit list in the frame, driven through its widgets; its rules are tested on the core.
#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <unistd.h>

#include <filesystem>

#include "CFrameTestBed.h"
#include "resources/CommandIds.h"
#include "resources/StringTable.h"
#include "support/AddressSpaceLimit.h"
#include "support/WidgetDriving.h"
#include "transmit/CLeftView.h"
#include "transmit/CTDataObject.h"
#include "transmit/TransmitFile.h"

namespace {

// What the user types in the frame dialog: identifier and data as hexadecimal digit pairs.
struct CFrameInput {
  int m_nProtocol = 1;  // 0 CAN2.0A, 1 CAN2.0B
  const char* m_pszId = "00000000";
  int m_nLength = 0;
  const char* m_pszData = "";
  bool m_bRemote = false;
  const char* m_pszPeriod = "";
};

void Fill(QDialog& dialog, const CFrameInput& input) {
  Choose(Find<QComboBox>(dialog, "protocol"), input.m_nProtocol);
  Find<QLineEdit>(dialog, "period")->setText(QString::fromUtf8(input.m_pszPeriod));
  const int nBoxes = static_cast<int>(std::strlen(input.m_pszId)) / 2;
  for (int n = 0; n < nBoxes; ++n)
    Type(Find<QLineEdit>(dialog, ("box" + std::to_string(5 - nBoxes + n)).c_str()), std::string(input.m_pszId + 2 * n, 2).c_str());
  Choose(Find<QComboBox>(dialog, "frameType"), input.m_bRemote ? 1 : 0);
  if (input.m_bRemote) return;
  Choose(Find<QComboBox>(dialog, "length"), input.m_nLength);
  for (int n = 0; n < input.m_nLength; ++n)
    Type(Find<QLineEdit>(dialog, ("data" + std::to_string(n)).c_str()), std::string(input.m_pszData + 2 * n, 2).c_str());
}

const CFrameInput ID_7FF_2_BYTES{0, "07FF", 2, "1122"};
const CFrameInput ID_1FFFFFFF_EMPTY{1, "1FFFFFFF", 0};
const CFrameInput ID_123_5_BYTES{1, "00000123", 5, "0102030405"};

const QList<QStringList> ONE_RECORD = {{"CAN2.0A", "Data Frame", "01 23", "2", "11 22"}};
const char* const ONE_RECORD_FILE = KORVEX_TRANSMIT_DATA "/one_record.ctd";

}  // namespace

class TransmitList : public CFrameTestBed {
protected:
  EMessageAnswer Show(const CMessageRequest& request) override {
    m_shown.push_back(request);
    switch (request.m_eButtons) {
      case EMessageButtons::YES_NO: return m_eOverwriteAnswer;
      case EMessageButtons::YES_NO_CANCEL: return m_eChangedAnswer;
      default: return EMessageAnswer::OK;
    }
  }

  CLeftView& View() const { return *m_pFrame->TransmitView(); }
  // The frame's columns; the period's has a test of its own.
  QStringList Row(int nRow) const {
    QStringList texts;
    for (int nColumn = 0; nColumn < TRANSMIT_PERIOD_COLUMN; ++nColumn)
      texts << View().model()->index(nRow, nColumn).data().toString();
    return texts;
  }
  QList<QStringList> Rows() const {
    QList<QStringList> rows;
    for (int nRow = 0; nRow < View().RowCount(); ++nRow) rows << Row(nRow);
    return rows;
  }
  // The command nId (or fnOpen, when given) opens the frame dialog once, and the user fills it in.
  void RunWithDialog(unsigned nId, const CFrameInput& input, const std::function<void()>& fnOpen = nullptr) {
    CDialogFiller filler([&input](QDialog& dialog) { Fill(dialog, input); });
    fnOpen ? fnOpen() : m_pFrame->Action(nId)->trigger();
    EXPECT_EQ(filler.m_nRuns, 1);
  }
  void Add(std::initializer_list<CFrameInput> inputs) {
    for (const CFrameInput& input : inputs) RunWithDialog(ID_ADD_TDATA, input);
  }
  QPoint RowPoint(int nRow) const { return View().visualRect(View().model()->index(nRow, 1)).center(); }
  void ClickRow(int nRow) const { QTest::mouseClick(View().viewport(), Qt::LeftButton, {}, RowPoint(nRow)); }
  void DoubleClickRow(int nRow) const {
    ClickRow(nRow);
    QTest::mouseDClick(View().viewport(), Qt::LeftButton, {}, RowPoint(nRow));
  }
  QMenu& OpenContextMenu(QPoint point) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, point, View().viewport()->mapToGlobal(point));
    QApplication::sendEvent(View().viewport(), &event);
    EXPECT_TRUE(m_pFrame->TransmitMenu()->isVisible());
    return *m_pFrame->TransmitMenu();
  }
  std::optional<std::string> StoredDirectory() const {
    return m_store.GetString(SETTINGS_SECTION, SETTING_TDATA_FILE_DIR);
  }

  EMessageAnswer m_eOverwriteAnswer = EMessageAnswer::NO;
  EMessageAnswer m_eChangedAnswer = EMessageAnswer::CANCEL;
};

TEST_F(TransmitList, RowsShowTheFrameADuplicateIsRefusedAndModifyTakesCopies) {
  MakeReadyFrame();
  QAbstractItemModelTester tester(View().model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
  Add({ID_7FF_2_BYTES, ID_1FFFFFFF_EMPTY, ID_123_5_BYTES, {1, "00000005", 0, "", true}});
  const QList<QStringList> expected = {
      {"CAN2.0A", "Data Frame", "07 FF", "2", "11 22"},
      {"CAN2.0B", "Data Frame", "1F FF FF FF", "0", ""},
      {"CAN2.0B", "Data Frame", "00 00 01 23", "5", "01 02 03 04 05"},
      {"CAN2.0B", "Remote Frame", "00 00 00 05", "0", ""},
  };
  EXPECT_EQ(Rows(), expected);
  EXPECT_FALSE(View().model()->index(0, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
  EXPECT_TRUE(m_shown.empty() && View().SelectedRow() == -1);  // adding selects nothing

  RunWithDialog(ID_ADD_TDATA, ID_123_5_BYTES);
  EXPECT_EQ(std::tuple(ShownIds(), m_shown.at(0).m_eIcon, Rows()),
            std::tuple(std::vector<unsigned>{IDS_DUPLICATE_TDATA}, EMessageIcon::INFORMATION, expected));

  m_shown.clear();
  ClickRow(2);
  RunWithDialog(ID_MODIFY_TDATA, ID_7FF_2_BYTES);  // into a copy of row 0: no duplicate test
  EXPECT_TRUE(m_shown.empty());
  EXPECT_EQ(Row(2), Row(0));
  RunWithDialog(ID_MODIFY_TDATA, {1, "00000010", 0, "", true});
  EXPECT_EQ(Row(2), (QStringList{"CAN2.0B", "Remote Frame", "00 00 00 10", "0", ""}));
  EXPECT_TRUE(View().SelectedRow() == 2 && View().Frames().Count() == 4u);
}

// A delete leaves nothing selected, so a held Delete key removes nothing the user did not choose.
TEST_F(TransmitList, SendAndDeleteFromKeysClicksAndMenusAndNothingSelectedAfterADelete) {
  MakeReadyFrame();
  m_pFrame->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(m_pFrame.get()));
  Add({ID_7FF_2_BYTES, ID_123_5_BYTES, ID_1FFFFFFF_EMPTY, {1, "00000005", 0, "", true}, {1, "00000006", 0, "", true}});
  QTest::keyClick(&View(), Qt::Key_Delete);  // nothing selected
  EXPECT_EQ(View().RowCount(), 5);
  m_pSerial->m_writes.clear();
  ClickRow(1);
  QTest::keyClick(&View(), Qt::Key_W, Qt::ControlModifier);
  DoubleClickRow(0);
  EXPECT_EQ(m_pSerial->m_writes, (std::vector<std::string>{Line(":W25000001230102030405"), Line(":W0207FF1122")}));

  const std::tuple<const char*, std::function<void()>> kDeletes[] = {
      {"Delete key", [this] { QTest::keyClick(&View(), Qt::Key_Delete); }},
      {"Ctrl+D", [this] { QTest::keyClick(&View(), Qt::Key_D, Qt::ControlModifier); }},
      {"context menu", [this] {
         QMenu& menu = OpenContextMenu(RowPoint(1));
         QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(m_pFrame->Action(ID_DELETE_TDATA)).center());
         EXPECT_FALSE(menu.isVisible());
       }},
  };
  for (const auto& [pszHow, fnDelete] : kDeletes) {
    SCOPED_TRACE(pszHow);
    const int nRows = View().RowCount();
    const QStringList following = Row(2);
    ClickRow(1);
    fnDelete();
    ASSERT_EQ(std::tuple(View().RowCount(), Row(1), View().SelectedRow()), std::tuple(nRows - 1, following, -1));
    EXPECT_FALSE(Enabled(ID_MODIFY_TDATA) || Enabled(ID_DELETE_TDATA) || Enabled(ID_SEND_TDATA));
    QTest::keyClick(&View(), Qt::Key_Delete);  // the key again, or held
    EXPECT_EQ(View().RowCount(), nRows - 1);
  }
  EXPECT_TRUE(m_shown.empty());
  // Ctrl+A opens the add dialog, not "select all".
  RunWithDialog(ID_ADD_TDATA, ID_123_5_BYTES, [this] { QTest::keyClick(&View(), Qt::Key_A, Qt::ControlModifier); });
  EXPECT_EQ(View().RowCount(), 3);
}

// Cycles run on the channel's clock (the test runs them); stop, delete, modify, stop-all, port loss, silence.
TEST_F(TransmitList, CyclesStartStopAndShowWhileTheyRun) {
  MakeReadyFrame();
  m_pFrame->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(m_pFrame.get()));
  Add({{0, "07FF", 2, "1122", false, "100"}, {1, "00000123", 1, "01", false, "20"}, ID_1FFFFFFF_EMPTY});
  auto period = [this](int nRow) { return View().model()->index(nRow, TRANSMIT_PERIOD_COLUMN).data().toString(); };
  EXPECT_EQ(QStringList({period(0), period(1), period(2)}), QStringList({"100", "20", ""}));
  ClickRow(2);
  EXPECT_FALSE(Enabled(ID_START_CYCLE));
  QTest::keyClick(&View(), Qt::Key_F5);  // no period: nothing starts

  const std::string row0 = Line(":W0207FF1122"), row1 = Line(":W210000012301");
  auto runCycles = [this](int64_t nMs) {
    m_pSerial->m_writes.clear();
    m_pChannel->RunCyclesAt(nMs * 1'000'000);
    return m_pSerial->m_writes;
  };
  ClickRow(0);
  QTest::keyClick(&View(), Qt::Key_F5);
  ClickRow(1);
  QMenu& menu = OpenContextMenu(RowPoint(1));
  QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(m_pFrame->Action(ID_START_CYCLE)).center());
  EXPECT_EQ(QStringList({period(0), period(1)}), QStringList({"\u25B6 100", "\u25B6 20"}));
  EXPECT_TRUE(Enabled(ID_STOP_CYCLE) && Enabled(ID_STOP_ALL_CYCLES) && !Enabled(ID_START_CYCLE));
  EXPECT_EQ(runCycles(0), (std::vector<std::string>{row0, row1}));  // at once
  EXPECT_EQ(runCycles(20), std::vector<std::string>{row1});
  EXPECT_EQ(runCycles(100), (std::vector<std::string>{row0, row1}));

  ClickRow(0);
  RunWithDialog(ID_MODIFY_TDATA, {0, "07FF", 1, "33", false, "50"});  // restarts: due at once
  EXPECT_EQ(std::tuple(runCycles(100), period(0)), std::tuple(std::vector<std::string>{Line(":W0107FF33")}, "\u25B6 50"));
  QTest::keyClick(&View(), Qt::Key_Delete);
  EXPECT_EQ(period(0), "\u25B6 20");  // the next row keeps its cycle
  EXPECT_TRUE(m_pChannel->AnyCycling());
  ClickRow(0);
  QTest::keyClick(&View(), Qt::Key_F5, Qt::ShiftModifier);
  EXPECT_FALSE(period(0) != "20" || m_pChannel->AnyCycling() || Enabled(ID_STOP_ALL_CYCLES));

  RunWithDialog(ID_ADD_TDATA, {0, "07FF", 2, "1122", false, "100"});
  const std::tuple<const char*, std::function<void()>> kStopsAll[] = {
      {"stop all", [this] { QTest::keyClick(&View(), Qt::Key_F5, Qt::ControlModifier | Qt::ShiftModifier); }},
      {"port lost", [this] { m_pSerial->HangUp(); m_loop.RunPending(); }},
      {"no answer", [this] { m_loop.Advance(1500); }},
  };
  for (const auto& [pszHow, fnStop] : kStopsAll) {
    SCOPED_TRACE(pszHow);
    for (const int nRow : {0, 2}) {
      ClickRow(nRow);
      QTest::keyClick(&View(), Qt::Key_F5);
    }
    ASSERT_EQ(QStringList({period(0), period(2)}), QStringList({"\u25B6 20", "\u25B6 100"}));
    fnStop();
    EXPECT_EQ(QStringList({period(0), period(2)}), QStringList({"20", "100"}));
    EXPECT_FALSE(m_pChannel->AnyCycling() || Enabled(ID_STOP_ALL_CYCLES));
  }
}

// "로그 재생" sends a candump log, skipping error frames, and reports; the stop command ends a waiting replay.
TEST_F(TransmitList, LogReplayFromTheWindowAndItsStop) {
  MakeReadyFrame();
  auto* pProgress = m_pFrame->findChild<QWidget*>(QStringLiteral("ReplayProgress"));
  ASSERT_TRUE(pProgress);
  const std::string now = m_scratch.Write("now.log",
      "(1700000000.000000) can0 123#1122\n(1700000000.000000) can0 20000080#0000000000000000\n"
      "(1700000000.000000) vcan-rig 18FEF100#R\n");
  const std::string later = m_scratch.Write("later.log", "(1700000000.000000) can0 7FF#01\n(1700003600.000000) can0 7FF#02\n");
  auto lastEvent = [this] { return m_pFrame->EventLog()->EntryText(m_pFrame->EventLog()->EntryCount() - 1).toStdString(); };

  m_pSerial->m_writes.clear();
  EXPECT_FALSE(Enabled(ID_STOP_REPLAY));
  RunWithFiles(ID_REPLAY_LOG, {now});
  EXPECT_EQ(m_pSerial->m_writes, (std::vector<std::string>{Line(":W0201231122"), Line(":W3018FEF100")}));
  EXPECT_NE(lastEvent().find("완료: 보낸 프레임 2, 건너뛴 프레임 1"), std::string::npos) << lastEvent();
  EXPECT_FALSE(pProgress->isVisible() || Enabled(ID_STOP_REPLAY));

  m_pSerial->m_writes.clear();
  RunWithFiles(ID_REPLAY_LOG, {later});
  EXPECT_EQ(m_pSerial->m_writes, std::vector<std::string>{Line(":W0107FF01")});
  EXPECT_TRUE(pProgress->isVisible() && Enabled(ID_STOP_REPLAY) && !Enabled(ID_REPLAY_LOG));
  m_pFrame->Action(ID_STOP_REPLAY)->trigger();
  EXPECT_NE(lastEvent().find("중지: 보낸 프레임 1, 건너뛴 프레임 0"), std::string::npos) << lastEvent();
  EXPECT_FALSE(pProgress->isVisible() || Enabled(ID_STOP_REPLAY));
  EXPECT_EQ(m_pSerial->m_writes.size(), 1u);
}

// With no port found the send command is off, but a double click tries and says why it cannot.
TEST_F(TransmitList, WithoutPortsADoubleClickStillSends) {
  m_ports = CPortLists();
  MakeFrame();
  m_shown.clear();
  RunWithDialog(ID_ADD_TDATA, ID_7FF_2_BYTES);
  ClickRow(0);
  EXPECT_FALSE(Enabled(ID_SEND_TDATA));
  DoubleClickRow(0);
  EXPECT_EQ(std::tuple(ShownIds(), m_shown.at(0).m_eIcon), std::tuple(std::vector<unsigned>{IDS_PORT_OPEN_FAILED}, EMessageIcon::ERROR));
}

// Default widths fit the widest texts at any font; stored widths come back, odd ones are ignored.
TEST_F(TransmitList, ColumnWidthsFitTheTextsAtTheFontAndStoredWidthsWin) {
  const TData widest[] = {
      {.bStandardID = 0, .bDataFrame = 0, .dwID = 0x1DDDDDDD},
      {.bStandardID = 0, .byLength = 8, .dwID = 0x1ABCDEF0, .dwBytes0to3 = 0xDDDDDDDD, .dwBytes4to7 = 0xDDDDDDDD}};
  const std::string path = m_scratch / "widest.ctd";
  ASSERT_TRUE(WriteTransmitFile(path, CTDataObject(widest)).m_bOk);
  const QFont usual = QApplication::font();
  for (const int nPixels : {0, 20}) {
    SCOPED_TRACE(nPixels);
    QFont font = usual;
    if (nPixels) font.setPixelSize(nPixels);
    QApplication::setFont(font);
    RemakeFrame([this] {
      for (int nColumn = 0; nColumn < CLeftView::COLUMN_COUNT; ++nColumn)  // as if never stored
        m_store.SetString(LEFT_LIST_SECTION, "LeftCol " + std::to_string(nColumn), "");
    });
    ASSERT_TRUE(View().OpenFile(path));
    for (int nColumn = 0; nColumn < CLeftView::COLUMN_COUNT; ++nColumn) {
      EXPECT_EQ(View().columnWidth(nColumn), View().DefaultWidth(nColumn));
      EXPECT_LE(static_cast<const QAbstractItemView&>(View()).sizeHintForColumn(nColumn), View().columnWidth(nColumn)) << nColumn;
    }
  }
  QApplication::setFont(usual);

  View().horizontalHeader()->resizeSection(0, 123);
  View().horizontalHeader()->resizeSection(4, 210);
  CloseFrame();  // the settings are written here, not later
  EXPECT_EQ(std::tuple(m_store.GetInt(LEFT_LIST_SECTION, "LeftCol 0"), m_store.GetInt(LEFT_LIST_SECTION, "LeftCol 4")), std::tuple(123, 210));
  for (const char* pszStored : {"-5", "0", "wide", "99999999999"}) {
    SCOPED_TRACE(pszStored);
    RemakeFrame([&] { m_store.SetString(LEFT_LIST_SECTION, "LeftCol 1", pszStored); });  // after the close stores it
    EXPECT_EQ(std::vector({View().columnWidth(0), View().columnWidth(1), View().columnWidth(4)}),
              std::vector({123, View().DefaultWidth(1), 210}));
  }
}

TEST_F(TransmitList, FilesReplaceTheRowsAndSavingAsksBeforeOverwriting) {
  MakeReadyFrame();
  Add({ID_7FF_2_BYTES, ID_123_5_BYTES});
  const QList<QStringList> listed = Rows();

  const std::string directory = m_scratch.MakeDir("lists");
  const std::string path = directory + "/two.ctd";
  RunWithFiles(ID_SAVE_TFILE, {directory + "/two"});  // the extension is added
  ASSERT_EQ(std::tuple(m_shown.size(), std::filesystem::file_size(path), StoredDirectory()), std::tuple(0u, 17u + 2 * 25u, directory));

  RunWithFiles(ID_OPEN_TFILE, {ONE_RECORD_FILE});  // saved: replaces the rows, asks nothing
  EXPECT_EQ(std::tuple(Rows(), StoredDirectory()), std::tuple(ONE_RECORD, std::string(KORVEX_TRANSMIT_DATA)));
  EXPECT_TRUE(View().OpenFile(path) && Rows() == listed && m_shown.empty());  // the entry point for a file named at start-up

  RunWithFiles(ID_OPEN_TFILE, {ONE_RECORD_FILE});
  for (const EMessageAnswer eAnswer : {EMessageAnswer::NO, EMessageAnswer::YES}) {
    m_shown.clear();
    m_eOverwriteAnswer = eAnswer;
    RunWithFiles(ID_SAVE_TFILE, {path});
    ASSERT_EQ(ShownIds(), std::vector<unsigned>{IDS_TFILE_OVERWRITE});
    EXPECT_EQ(std::tuple(m_shown[0].m_eIcon, m_shown[0].m_eButtons, m_shown[0].m_strText),
              std::tuple(EMessageIcon::QUESTION, EMessageButtons::YES_NO, path + " 파일이 이미 있읍니다\n파일을 덮어 쓰시겠읍니까?"));
    const bool bKept = eAnswer == EMessageAnswer::NO;
    EXPECT_EQ(std::tuple(std::filesystem::file_size(path), StoredDirectory()), std::tuple(bKept ? 67u : 42u, bKept ? KORVEX_TRANSMIT_DATA : directory));
  }

  const std::string wrong = KORVEX_TRANSMIT_DATA "/wrong_signature.ctd";
  const std::string unwritable = directory + "/gone/three.ctd";
  for (const auto& [nId, failing, nBox] : {std::tuple(ID_OPEN_TFILE, wrong, IDS_TFILE_OPEN_FAILED),
                                           std::tuple(ID_SAVE_TFILE, unwritable, IDS_TFILE_SAVE_FAILED)}) {
    m_shown.clear();
    RunWithFiles(nId, {failing});
    ASSERT_EQ(ShownIds(), std::vector<unsigned>{nBox});
    EXPECT_EQ(std::tuple(m_shown[0].m_eIcon, m_shown[0].m_strDetail.rfind(failing + ": ", 0)), std::tuple(EMessageIcon::ERROR, 0u))
        << m_shown[0].m_strDetail;
    EXPECT_TRUE(StoredDirectory() == directory && Rows() == ONE_RECORD);
  }

  m_shown.clear();
  RunWithFiles(ID_OPEN_TFILE, {""});  // cancelled
  EXPECT_EQ(std::tuple(m_shown.size(), Rows()), std::tuple(0u, ONE_RECORD));
}

// Unsaved changes are not dropped, by an open or a close, without the question.
TEST_F(TransmitList, UnsavedChangesAreOfferedForSavingBeforeTheyAreDropped) {
  // The answer, the save dialog's choice after Yes ("" cancels it), whether the changes go.
  const std::tuple<EMessageAnswer, const char*, bool> kCases[] = {{EMessageAnswer::CANCEL, nullptr, false},
                                                                  {EMessageAnswer::NO, nullptr, true},
                                                                  {EMessageAnswer::YES, "saved.ctd", true},
                                                                  {EMessageAnswer::YES, "", false}};
  const QList<QStringList> changed = {ONE_RECORD[0], {"CAN2.0B", "Data Frame", "00 00 01 23", "5", "01 02 03 04 05"}};
  for (const bool bClose : {false, true}) {
    for (const auto& [eAnswer, pszSaveAs, bDropped] : kCases) {
      SCOPED_TRACE(testing::Message() << bClose << static_cast<int>(eAnswer) << (pszSaveAs ? pszSaveAs : "-"));
      RemakeFrame();
      ASSERT_TRUE(View().OpenFile(ONE_RECORD_FILE));
      RunWithDialog(ID_ADD_TDATA, ID_123_5_BYTES);
      m_shown.clear();
      m_eChangedAnswer = eAnswer;
      const std::string saveAs = pszSaveAs && *pszSaveAs ? m_scratch / pszSaveAs : "";
      std::filesystem::remove(saveAs.empty() ? "none" : saveAs);  // a new file each time: no overwrite question
      std::deque<std::string> files;
      if (!bClose) files.push_back(KORVEX_TRANSMIT_DATA "/empty.ctd");
      if (pszSaveAs) files.push_back(saveAs);
      bool bClosed = false;
      WithFiles(files, [&] {
        if (bClose) {
          bClosed = CloseFrame();
        } else {
          m_pFrame->Action(ID_OPEN_TFILE)->trigger();
        }
      });
      ASSERT_EQ(ShownIds(), std::vector<unsigned>{IDS_TLIST_CHANGED});
      EXPECT_EQ(std::tuple(m_shown[0].m_eIcon, m_shown[0].m_eButtons), std::tuple(EMessageIcon::QUESTION, EMessageButtons::YES_NO_CANCEL));
      EXPECT_EQ(bClose ? bClosed : Rows().empty(), bDropped);
      EXPECT_TRUE(bDropped || Rows() == changed);
      EXPECT_TRUE(saveAs.empty() || std::filesystem::file_size(saveAs) == 17 + 2 * 25);  // both records saved
    }
  }
}

TEST_F(TransmitList, AFileTooBigForMemoryLeavesTheListAsItWas) {
  if (KORVEX_SANITIZED) GTEST_SKIP() << "a sanitizer cannot run under an address-space limit";
  MakeFrame();
  ASSERT_TRUE(View().OpenFile(ONE_RECORD_FILE));
  const std::string huge = m_scratch.Write("huge.ctd", std::string("\x2A\x3F\x00\x00\x0ATDataArray\xFF\xFF\xFF\xFF\xFF\x7F", 21));
  ASSERT_EQ(::truncate(huge.c_str(), 21 + off_t{0x7FFFFFFF} * 25), 0);
  {
    const CAddressSpaceLimit limit(rlim_t{512} << 20);
    ASSERT_TRUE(limit.IsSet());
    EXPECT_FALSE(View().OpenFile(huge));
  }
  EXPECT_EQ(ShownIds(), (std::vector<unsigned>{IDS_OUT_OF_MEMORY, IDS_TFILE_OPEN_FAILED}));
  EXPECT_EQ(std::tuple(m_shown.at(0).m_strText, Rows()), std::tuple("Out of Memory!", ONE_RECORD));
}
