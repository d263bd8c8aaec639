// The frame's two views of the received frames, and the bus statistics pane.
#include <QLabel>
#include <QMenu>
#include <QTabWidget>

#include "CFrameTestBed.h"
#include "receive/CRDView.h"
#include "resources/StringTable.h"
#include "stats/CIdStatisticsModel.h"
#include "stats/CIdStatisticsView.h"
#include "stats/FrameBits.h"
#include "transmit/CLeftView.h"
#include "transmit/CTDataObject.h"

using ReceiveViews = CFrameTestBed;

TEST_F(ReceiveViews, IdViewRowGoesToTheTransmitListThroughTheFrameDialog) {
  MakeReadyFrame();
  auto* pTabs = m_pFrame->findChild<QTabWidget*>(QStringLiteral("ReceiveTabs"));
  ASSERT_NE(pTabs, nullptr);
  pTabs->setCurrentWidget(m_pFrame->IdView());

  const std::string frame = Line(":U281ABCDEF00001020304050607");  // 2.0B, eight bytes
  Receive(Line(":G01") + frame + frame);
  m_loop.Advance(CIdStatisticsView::REFRESH_MS);
  EXPECT_EQ(m_pFrame->ReceiveView()->LineCount(), 2);  // the list counts what it holds, shown or not
  const CIdStatisticsModel& model = *m_pFrame->IdView()->Model();
  ASSERT_EQ(model.rowCount(), 1);
  EXPECT_EQ(model.index(0, ID_COLUMN_COUNT).data().toString(), "2");

  // The menu on the row, twice, then below the last row, where there is nothing to add.
  QWidget* pViewport = m_pFrame->IdView()->Table()->viewport();
  const QPoint onRow = m_pFrame->IdView()->Table()->visualRect(model.index(0, 0)).center();
  CDialogFiller filler;  // the user confirms the dialog as it opens
  for (const QPoint point : {onRow, onRow, QPoint(5, pViewport->height() - 2)}) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, point, pViewport->mapToGlobal(point));
    QApplication::sendEvent(pViewport, &event);
    ASSERT_TRUE(m_pFrame->IdView()->ContextMenu()->isVisible());
    if (m_pFrame->IdView()->AddToTransmitAction()->isEnabled()) m_pFrame->IdView()->AddToTransmitAction()->trigger();
    m_pFrame->IdView()->ContextMenu()->hide();
  }
  EXPECT_EQ(filler.m_nRuns, 2);
  const CTDataObject& list = m_pFrame->TransmitView()->Frames();
  ASSERT_EQ(list.Count(), 1u);  // the second time it was already there
  const TData expected{.bStandardID = 0, .bDataFrame = 1, .byLength = 8, .dwID = 0x1ABCDEF0, .dwBytes0to3 = 0x00010203,
                       .dwBytes4to7 = 0x04050607};
  EXPECT_TRUE(IsSameFrame(list.At(0), expected));
  EXPECT_EQ(ShownIds(), std::vector<unsigned>{IDS_DUPLICATE_TDATA});  // the duplicate refused
}

// Once a second: that second's frames and their share of the bit rate; nothing while no port is open.
TEST_F(ReceiveViews, BusPaneShowsTheLastSecondsFramesAndLoad) {
  m_pSerial->m_bOpenSucceeds = false;
  MakeFrame();
  QLabel* pPane = m_pFrame->StatusPanes()->Pane(ID_PANE_BUS);
  m_loop.Advance(BUS_SAMPLE_MS);
  EXPECT_TRUE(pPane->text().isEmpty() && !pPane->toolTip().isEmpty());

  m_pSerial->m_bOpenSucceeds = true;
  ASSERT_TRUE(m_pFrame->EnsurePortOpen());
  AnswerStartup();  // 250 kbit/s
  for (int n = 0; n < 10; ++n) {
    Receive(Line(":U0201230102"));
    m_loop.Advance(50);
  }
  m_loop.Advance(BUS_SAMPLE_MS * 2 - m_loop.Now());
  CanFrame frame{.m_byLengthCode = 2, .m_byLength = 2, .m_byDataCount = 2, .m_dwId = 0x123, .m_abyData = {1, 2}};
  char szExpected[64];
  std::snprintf(szExpected, sizeof szExpected, "10 프레임/초  부하 %.1f%%", 10.0 * FrameWireBits(frame) / 250000.0 * 100.0);
  EXPECT_EQ(pPane->text().toStdString(), szExpected);
  EXPECT_GE(pPane->contentsRect().width(), pPane->fontMetrics().horizontalAdvance(pPane->text()));
  m_loop.Advance(BUS_SAMPLE_MS);
  EXPECT_EQ(pPane->text(), "0 프레임/초  부하 0.0%");
}
