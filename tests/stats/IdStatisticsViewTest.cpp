// The per-identifier view on its real widgets and the virtual-time loop, its model checked on every change.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <initializer_list>
#include <vector>

#include "stats/CIdStatisticsModel.h"
#include "stats/CIdStatisticsView.h"
#include "support/CVirtualLoop.h"
#include "support/TestFrames.h"

namespace {

constexpr int64_t MS = 1000000;

class IdView : public ::testing::Test {
protected:
  IdView() {
    m_view.resize(900, 300);
    m_view.show();
  }

  // One batch as the channel hands it out, the frames arriving at the loop's present time.
  void Deliver(std::initializer_list<std::pair<uint32_t, std::vector<uint8_t>>> frames) {
    std::vector<ReceivedFrame> batch;
    const int64_t nNowNs = static_cast<int64_t>(m_loop.Now()) * MS;
    for (const auto& [dwId, data] : frames)
      batch.push_back({TestFrame(true, false, static_cast<uint8_t>(data.size()), dwId, data), {nNowNs, 0}});
    m_view.OnFrames(batch);
    m_view.EndBatch();
  }
  CIdStatisticsModel& Model() { return *m_view.Model(); }
  QString Cell(int nRow, int nColumn) { return Model().index(nRow, nColumn).data().toString(); }
  QString Column(int nColumn) {  // every row's cell, in row order
    QString cells;
    for (int nRow = 0; nRow < Model().rowCount(); ++nRow) cells += Cell(nRow, nColumn);
    return cells;
  }
  unsigned Changed() { return Model().index(0, ID_COLUMN_DATA).data(CIdStatisticsModel::CHANGED_BYTES_ROLE).toUInt(); }
  void AdvanceTo(uint64_t qwMs) { m_loop.Advance(qwMs - m_loop.Now()); }

  CVirtualLoop m_loop;
  CIdStatisticsView m_view{
      [this](MessageHandler& handler) { return std::make_unique<CVirtualLoop::CWindow>(m_loop, handler); },
      [this] { return static_cast<int64_t>(m_loop.Now()) * MS; }};
  QAbstractItemModelTester m_tester{m_view.Model(), QAbstractItemModelTester::FailureReportingMode::Fatal};
};

}  // namespace

// A batch every millisecond for a second: every frame counted, the table changed at most 25 times.
TEST_F(IdView, CountsEveryFrameAndRefreshesAtMost25TimesASecond) {
  QSignalSpy layouts(&Model(), &QAbstractItemModel::layoutChanged);
  QSignalSpy repaints(&Model(), &QAbstractItemModel::dataChanged);
  for (uint32_t nMs = 0; nMs < 1000; ++nMs) {
    Deliver({{nMs % 50, {1}}, {(nMs + 1) % 50, {2}}, {(nMs + 2) % 50, {3}}});
    if (nMs == CIdStatisticsView::REFRESH_MS - 1) { EXPECT_EQ(Model().rowCount(), 0) << "before the first refresh"; }
    m_loop.Advance(1);
  }
  EXPECT_TRUE(layouts.size() + repaints.size() >= 20 && layouts.size() + repaints.size() <= 25) << layouts.size() + repaints.size();
  AdvanceTo(1000 + CIdStatisticsView::REFRESH_MS);
  ASSERT_EQ(Model().rowCount(), 50);
  EXPECT_EQ(Column(ID_COLUMN_COUNT) + Column(ID_COLUMN_RATE), QString("60").repeated(50) + QString("60.0").repeated(50));
  EXPECT_EQ(m_view.CountLabel()->text(), "식별자 50개");
}

TEST_F(IdView, SortFilterAndClear) {
  Deliver({{1, {0xAA}}, {2, {0x01, 0x02}}, {2, {0x01, 0x02}}, {2, {0x01, 0x02}}, {3, {0x02}}, {3, {0x02}}});
  m_loop.Advance(CIdStatisticsView::REFRESH_MS);
  m_view.Table()->sortByColumn(ID_COLUMN_COUNT, Qt::DescendingOrder);
  EXPECT_EQ(Column(ID_COLUMN_ID), "002003001");
  m_view.Table()->selectRow(1);  // identifier 3
  Deliver({{1, {0xAA}}, {1, {0xAA}}, {1, {0xAA}}});
  m_loop.Advance(CIdStatisticsView::REFRESH_MS);
  EXPECT_EQ(Column(ID_COLUMN_ID), "001002003");
  EXPECT_EQ(m_view.Table()->selectionModel()->selectedRows(), QModelIndexList{Model().index(2, 0)});  // followed 3

  m_view.FilterBox()->setText("02");  // identifier 002, data 02 of identifier 3
  EXPECT_EQ(std::tuple(Column(ID_COLUMN_ID), m_view.CountLabel()->text()), std::tuple("002003", "식별자 3개 중 2개"));
  m_view.FilterBox()->clear();
  EXPECT_EQ(m_view.CountLabel()->text(), "식별자 3개");

  m_view.ClearAction()->trigger();
  EXPECT_EQ(std::tuple(Model().rowCount(), m_view.CountLabel()->text()), std::tuple(0, "식별자 0개"));
  EXPECT_TRUE(m_view.Statistics().Entries().empty());  // counted afresh from here
}

// A changed byte is marked from the next refresh until a second after its frame, with no other frame coming.
TEST_F(IdView, ChangedBytesFadeOneSecondAfterTheirFrame) {
  AdvanceTo(490);
  Deliver({{0x10, {0x01, 0x02}}});
  AdvanceTo(500);
  Deliver({{0x10, {0x01, 0x03}}});
  AdvanceTo(490 + CIdStatisticsView::REFRESH_MS);
  EXPECT_EQ(std::tuple(Changed(), Cell(0, ID_COLUMN_DATA)), std::tuple(0b10u, "01 03"));
  AdvanceTo(1500 + CIdStatisticsView::REFRESH_MS - 1);  // the fade's refresh follows the pace
  EXPECT_EQ(Changed(), 0b10u);
  m_loop.Advance(1);
  EXPECT_EQ(Changed(), 0u);
}

// Paused or hidden, the table stays while counting goes on; resumed or shown, it catches up at once.
TEST_F(IdView, PauseAndHidingKeepTheTableButNotTheCounting) {
  Deliver({{1, {}}});
  m_loop.Advance(CIdStatisticsView::REFRESH_MS);
  m_view.PauseAction()->trigger();
  Deliver({{1, {}}, {2, {}}});
  m_loop.Advance(200);
  EXPECT_EQ(Column(ID_COLUMN_COUNT), "1");
  m_view.PauseAction()->trigger();
  EXPECT_EQ(Column(ID_COLUMN_COUNT), "21");

  m_view.hide();
  Deliver({{3, {}}});
  m_loop.Advance(200);
  EXPECT_EQ(Model().rowCount(), 2);
  m_view.show();
  EXPECT_EQ(Model().rowCount(), 3);
}
