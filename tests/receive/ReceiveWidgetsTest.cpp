// The receive list and the event log window on the real widgets (offscreen).
#include <QAbstractItemModelTester>
#include <gtest/gtest.h>
#include <QImage>
#include <QListView>
#include <QScrollBar>
#include <QSignalSpy>
#include <string>
#include <tuple>
#include <vector>

#include "protocol/ResponseText.h"
#include "receive/CEventLogCtrl.h"
#include "receive/CRDView.h"
#include "support/TestFrames.h"
#include "text/Cp949Text.h"
#include "uisupport/Fonts.h"

namespace {

[[maybe_unused]] const bool UTC_ZONE = (::setenv("TZ", "UTC0", 1), ::tzset(), true);  // for the time stamps
constexpr int64_t MAY_1_2024_NS = 1714571107LL * 1000000000LL;  // 13:45:07 UTC

ReceivedFrame Frame(uint32_t dwId, int64_t nWallNs, bool bData = false) {
  return {TestFrame(false, !bData, bData ? 8 : 0, dwId, std::vector<uint8_t>(bData ? 8 : 0)), {nWallNs, nWallNs}};
}
QString Text(const ReceivedFrame& record) {
  std::string line;
  ReceivedFrameLine(record.m_frame, line);
  return QString::fromStdString(line);
}

struct CShownList {
  CShownList() {
    view.resize(300, 200);
    view.show();
  }
  CRDView view;
  QListView* pList = view.List();
  QAbstractItemModelTester tester{pList->model(), QAbstractItemModelTester::FailureReportingMode::Fatal};
};

}  // namespace

TEST(ReceiveWidgets, BigBatchShowsNewest) {
  CShownList shown;
  const ReceivedFrame old = Frame(0x1FFFFFFF, 0);
  shown.view.OnFrames({&old, 1});  // a first burst that the second one pushes out entirely
  shown.view.EndBatch();
  QSignalSpy inserted(shown.pList->model(), &QAbstractItemModel::rowsInserted);
  QSignalSpy removed(shown.pList->model(), &QAbstractItemModel::rowsRemoved);

  constexpr int FRAMES = 3000;
  std::vector<ReceivedFrame> burst;
  for (int n = 0; n < FRAMES; ++n) burst.push_back(Frame(static_cast<uint32_t>(n), MAY_1_2024_NS + n));
  shown.view.OnFrames(burst);
  EXPECT_EQ(shown.pList->model()->rowCount(), 1);  // nothing shown before the burst ends,
  EXPECT_EQ(shown.view.LineCount(), CRDView::LINE_LIMIT);  // but the list holds the newest already
  shown.view.EndBatch();
  shown.view.EndBatch();  // nothing pending: no change
  const int nLast = CRDView::LINE_LIMIT - 1;
  EXPECT_EQ(std::tuple(inserted.size() + removed.size(), shown.view.LineText(0), shown.view.LineText(nLast)),
            std::tuple(2, Text(burst[FRAMES - CRDView::LINE_LIMIT]), Text(burst.back())));
  const QModelIndex current = shown.pList->currentIndex();
  EXPECT_EQ(std::pair(current.row(), shown.pList->visualRect(current).height()), std::pair(nLast, CRDView::ROW_HEIGHT));
  EXPECT_TRUE(shown.pList->viewport()->rect().contains(shown.pList->visualRect(current)));

  // A longer line, at the one refresh its pacer asked for: not clipped by the row measured for the short ones.
  int nRequests = 0;
  shown.view.SetRefreshPacer([&] { ++nRequests; });
  const ReceivedFrame longer = Frame(0x1FFFFFFF, 0, true);
  shown.view.OnFrames({&longer, 1});
  shown.view.EndBatch();
  shown.view.EndBatch();
  EXPECT_EQ(std::tuple(nRequests, inserted.size(), shown.view.LineText(nLast)), std::tuple(1, 1, Text(longer)));
  shown.view.Refresh();
  EXPECT_EQ(std::tuple(inserted.size(), shown.view.LineText(0)), std::tuple(2, Text(burst[FRAMES - nLast])));
  EXPECT_EQ(shown.pList->selectionModel()->selectedIndexes(), QModelIndexList{shown.pList->currentIndex()});
  const int nNeeded = QFontMetrics(shown.pList->font()).horizontalAdvance(Text(longer));
  EXPECT_TRUE(shown.pList->visualRect(shown.pList->model()->index(0, 0)).width() >= nNeeded);
  EXPECT_TRUE(shown.pList->horizontalScrollBar()->maximum() > 0);  // wider than the view: it scrolls
  shown.view.RemoveAll();
  EXPECT_EQ(shown.view.LineCount(), 0);
  shown.view.RemoveAll();  // empty already
}

TEST(ReceiveWidgets, TimestampPrefix) {
  // Milliseconds truncate; the last millisecond of a day; just before the epoch.
  for (const auto& [nWallNs, prefix] : {std::pair{MAY_1_2024_NS + 123999999, "13:45:07.123  "},
                                        {86399999000000, "23:59:59.999  "}, {-1, "23:59:59.999  "}}) {
    CShownList shown;
    const ReceivedFrame frame = Frame(0x123, nWallNs);
    shown.view.OnFrames({&frame, 1});
    shown.view.EndBatch();
    QSignalSpy changed(shown.pList->model(), &QAbstractItemModel::dataChanged);
    shown.view.SetShowTimestamps(true);
    EXPECT_EQ(std::tuple(changed.size(), shown.pList->model()->index(0, 0).data().toString()),
              std::tuple(1, QString(prefix) + Text(frame)));
    shown.view.SetShowTimestamps(false);
    EXPECT_EQ(shown.view.LineText(0), Text(frame));
  }
}

// The extent follows the longer of two kept lines; Hangul and characters without a CP949 form count two.
TEST(ReceiveWidgets, LongestLength) {
  const std::tuple<QStringList, int, int> kCases[] = {{{"aaaaaaaa", "bb", "ccc"}, 8, 3}, {{"a", "bbbbbb", "cc"}, 6, 6},
                                                      {{"xxxxxxxxxxx", "[CAN 리셋 응답]", "ab"}, 15, 15},
                                                      {{"aaaaaaaaaa", "x\U0001F600y", "z"}, 10, 4}};
  for (const auto& [lines, nLongestBefore, nLongest] : kCases) {
    CEventLogCtrl log;
    log.resize(40, 100);  // narrower than every line, so each one scrolls sideways
    log.show();
    log.SetDisplayFont(ListFont(), true);
    log.SetLineLimit(2);
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) log.AppendEvent(lines[i].toStdString(), EVENT_BLACK);
    log.ShowAppended();
    EXPECT_EQ(log.LongestLength(), nLongestBefore);
    const int nMaxBefore = log.horizontalScrollBar()->maximum();
    log.AppendEvent(lines.back().toStdString(), EVENT_BLACK);
    log.ShowAppended();
    EXPECT_EQ(log.LongestLength(), nLongest);
    EXPECT_EQ(log.Extent().width(), nLongest * QFontMetrics(ListFont()).horizontalAdvance(QLatin1Char('X')));
    const int nMaxAfter = log.horizontalScrollBar()->maximum();
    EXPECT_EQ((nMaxAfter > nMaxBefore) - (nMaxAfter < nMaxBefore), (nLongest > nLongestBefore) - (nLongest < nLongestBefore));
    log.SetLineLimit(1);
    EXPECT_EQ(std::tuple(log.EntryCount(), log.EntryText(0), log.LongestLength()),
              std::tuple(1, lines.back(), int(Cp949ScreenWidth(lines.back().toStdString()))));
    log.RemoveAllEntries();
    EXPECT_EQ(log.EntryCount() + log.LongestLength() + log.horizontalScrollBar()->maximum(), 0);
  }
}

TEST(ReceiveWidgets, EventsKeepTheirColourAndTheNewestLines) {
  CEventLogCtrl log;
  log.resize(400, 300);
  log.show();
  for (const COLORREF colour : {EVENT_RED, EVENT_BLUE, EVENT_BLACK}) log.AppendEvent("XXXXXXXXXXXXXXXX", colour);
  EXPECT_EQ((QList{log.EntryColour(0), log.EntryColour(1), log.EntryColour(2)}), (QList{QColor(255, 0, 0), QColor(0, 0, 255), QColor(0, 0, 0)}));
  const QImage image = log.viewport()->grab().toImage();
  const int nRow = QFontMetrics(log.font()).height();
  const auto Count = [&](int nIndex, int nSign) {
    int n = 0;
    for (int y = nIndex * nRow; y < (nIndex + 1) * nRow; ++y)
      for (int x = 0; x < image.width(); ++x) n += nSign * (image.pixelColor(x, y).red() - image.pixelColor(x, y).blue()) > 100;
    return n;
  };
  EXPECT_TRUE(Count(0, 1) > 0 && Count(1, -1) > 0);
  EXPECT_EQ(Count(0, -1) + Count(1, 1), 0);

  for (int n = 3; n < 200; ++n) log.AppendEvent("event " + std::to_string(n), EVENT_BLACK);
  EXPECT_EQ(log.EntryColour(0), QColor(255, 0, 0));  // 200 keeps all
  for (int n = 200; n < 450; ++n) log.AppendEvent("event " + std::to_string(n), EVENT_BLACK);
  EXPECT_EQ(std::tuple(log.EntryCount(), log.EntryText(0)), std::tuple(200, QStringLiteral("event 250")));
  // The view follows in one step, not line by line.
  EXPECT_EQ(log.verticalScrollBar()->maximum(), 0);
  log.ShowAppended();
  EXPECT_TRUE(log.verticalScrollBar()->maximum() > 0);
  EXPECT_EQ(log.verticalScrollBar()->value(), log.verticalScrollBar()->maximum());
}
