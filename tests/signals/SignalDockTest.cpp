// The signal pane on real widgets: databases opened, refused and remembered, plots; the frame dialog's signal page.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "signals/CSignalDock.h"
#include "signals/CSignalEditor.h"
#include "signals/DbcReader.h"
#include "stats/CIdStatisticsModel.h"
#include "transmit/CTDataDlg.h"
#include "signals/CSignalPlotView.h"
#include "support/CMemorySettingsStore.h"
#include "support/ScratchDir.h"
#include "support/TestFrames.h"
#include "support/WidgetDriving.h"

namespace {

const std::string TOYOTA = KORVEX_DBC_DIR "/toyota_prius_2010_pt.dbc";

TEST(SignalDock, OpensRefusesAndRemembersDatabases) {
  CRecordingSink messages;
  CMemorySettingsStore store;
  ScratchDir dir;
  CSignalDock dock(store);
  const std::string bad = dir.Write("bad.dbc", "BO_ 1 M: 1 E\n SG_ S : 0|16@1+ (1,0) [0|0] \"\" X\n");
  EXPECT_FALSE(dock.OpenDatabase(bad) || store.GetString(SIGNALS_SECTION, SETTING_DBC_FILE));
  EXPECT_EQ(messages.m_details, std::vector{bad + "\nline 2, column 6: signal S does not fit in the message's 1 bytes"});

  ASSERT_TRUE(dock.OpenDatabase(TOYOTA));
  EXPECT_EQ(dock.DatabaseName(), QStringLiteral("toyota_prius_2010_pt.dbc"));
  CSignalDock next(store);  // the next start
  next.OpenRememberedDatabase();
  EXPECT_EQ(std::tuple(dock.SignalTree()->topLevelItemCount(), next.SignalTree()->topLevelItemCount(), messages.m_details.size()),
            std::tuple(26, 26, 1u));

  // A row of the per-identifier view: its message named in a last column, revealed here.
  EXPECT_TRUE(next.RevealMessage(false, 0x025) && next.SignalTree()->currentItem()->isExpanded() && !next.RevealMessage(true, 0x025));
  EXPECT_EQ(next.SignalTree()->currentItem()->text(0), QStringLiteral("STEER_ANGLE_SENSOR"));
  CIdStatisticsModel model;
  IdStatistics entries[2];
  entries[0].m_dwId = 0x025;
  entries[1].m_dwId = 0x026;
  model.Refresh(entries, 0);
  model.SetMessageNamer([](const IdStatistics& entry) { return entry.m_dwId == 0x025 ? QStringLiteral("STEER") : QString(); });
  ASSERT_EQ(model.columnCount(), ID_COLUMN_TOTAL + 1);
  EXPECT_EQ(QStringList({model.headerData(ID_COLUMN_TOTAL, Qt::Horizontal, Qt::DisplayRole).toString(), model.index(0, ID_COLUMN_TOTAL).data().toString(),
                         model.index(1, ID_COLUMN_TOTAL).data().toString()}),
            QStringList({"메시지", "STEER", ""}));
  model.sort(ID_COLUMN_TOTAL, Qt::DescendingOrder);  // not a sort key: the rows stay
  EXPECT_EQ(model.EntryAt(0)->m_dwId, 0x025u);
  model.SetMessageNamer(nullptr);
  EXPECT_EQ(model.columnCount(), ID_COLUMN_TOTAL);
}

TEST(SignalDock, PlotsChosenSignalsDecimated) {
  CMemorySettingsStore store;
  CSignalDock dock(store);
  dock.resize(900, 400);
  dock.show();
  ASSERT_TRUE(dock.OpenDatabase(TOYOTA));
  // STEER_ANGLE_SENSOR (0x025), its first signal, through the tree's context menu.
  QTreeWidget* pTree = dock.SignalTree();
  QTreeWidgetItem* pMessage = pTree->findItems(QStringLiteral("STEER_ANGLE_SENSOR"), Qt::MatchExactly).value(0);
  ASSERT_NE(pMessage, nullptr);
  pTree->expandItem(pMessage);
  const QRect rect = pTree->visualItemRect(pMessage->child(0));
  QTimer::singleShot(0, [&] {
    QMenu* pMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(pMenu, nullptr);
    EXPECT_EQ(pMenu->actions().value(0)->text(), QStringLiteral("그래프에 추가"));
    pMenu->actions().value(0)->trigger();
    pMenu->close();
  });
  emit pTree->customContextMenuRequested(rect.center());
  ASSERT_EQ(dock.Tracker().Traces().size(), 1u);

  // 20 s of frames every 100 µs; the angle (raw 12 bits, factor 1.5) counts up.
  std::vector<ReceivedFrame> frames(200000);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const auto byHigh = static_cast<uint8_t>((i >> 8) & 0x07), byLow = static_cast<uint8_t>(i);
    frames[i] = {TestFrame(true, false, 8, 0x025, {byHigh, byLow, 0, 0, 0, 0, 0, 0}), {int64_t(i) * 100000, 0}};
  }
  dock.Tracker().OnFrames(frames);
  dock.Redraw();
  // the newest values: i = 199999 = 0x30D3F gives data 05 3F, 12 bits 0x53F = 1343, times 1.5; no expected cycle
  EXPECT_EQ(QStringList({pMessage->child(0)->text(3), pMessage->child(0)->text(4), pMessage->text(2)}),
            QStringList({"1343", "2014.5 deg", "- / 0.1 ms"}));
  const std::size_t nPoints = dock.Plot()->PointCount(0);
  const auto nWidth = static_cast<std::size_t>(dock.Plot()->chart()->plotArea().width());
  EXPECT_TRUE(nPoints > nWidth / 2 && nPoints <= 4 * nWidth + 4) << nPoints;
  // The cursor reads the value at its time: 1 s before the newest frame.
  EXPECT_TRUE(dock.Plot()->Reading(dock.Tracker(), -1.0).contains(QStringLiteral("STEER_ANGLE [deg] = ")));
  dock.Plot()->SetPaused(true);
  dock.SecondsBox()->setValue(2);  // paused: the drawing stays
  EXPECT_EQ(dock.Plot()->PointCount(0), nPoints);
}


// The frame dialog's "신호" page: values and bytes follow each other, clamped with a note; only with a database.
TEST(TransmitSignalPage, ValuesAndBytesFollowEachOther) {
  const std::string text = "BO_ 256 Engine: 4 ECU\n SG_ Rpm : 0|16@1+ (0.25,0) [0|8000] \"rpm\" X\n"
                           " SG_ Gear : 16|4@1+ (1,0) [0|15] \"\" X\nVAL_ 256 Gear 3 \"D\" ;\n";
  DbcReadResult read = ReadDbc({reinterpret_cast<const uint8_t*>(text.data()), text.size()});
  ASSERT_TRUE(read.m_bOk);
  const auto pDatabase = std::make_shared<const CDbcDatabase>(std::move(read.m_database));
  TData frame{.byLength = 3, .dwID = 0x100, .dwBytes0to3 = 0xE8030300};  // 2.0A, E8 03 03: Rpm 1000 * 0.25, Gear 3
  EXPECT_EQ(CTDataDlg(frame).Pages(), nullptr);  // without a database the dialog is as it was

  CTDataDlg dialog(frame, nullptr, pDatabase);
  ASSERT_NE(dialog.Pages(), nullptr);
  dialog.findChild<QLineEdit*>(QStringLiteral("data1"))->setText(QStringLiteral("04"));  // bytes edited first
  dialog.Pages()->setCurrentIndex(1);
  QTableWidget* pTable = dialog.SignalPage()->Table();
  ASSERT_EQ(pTable->rowCount(), 2);
  EXPECT_EQ(pTable->item(0, 1)->text() + " " + pTable->item(1, 4)->text(), QStringLiteral("314 D"));  // 0x04E8 * 0.25
  pTable->item(0, 1)->setText(QStringLiteral("9000"));  // above the range: 8000, raw 32000 = 0x7D00
  EXPECT_TRUE(dialog.SignalPage()->Note()->text().contains(QStringLiteral("8000")));
  EXPECT_EQ(pTable->item(0, 1)->text() + Find<QLineEdit>(dialog, "data0")->text() + Find<QLineEdit>(dialog, "data1")->text(),
            QStringLiteral("8000007D"));
  EXPECT_EQ(dialog.findChild<QComboBox*>(QStringLiteral("length"))->currentIndex(), 4);  // the message's length
  QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("ok")), Qt::LeftButton);
  EXPECT_EQ(std::tuple(dialog.Result().byLength, DataBytesOf(dialog.Result())[1], DataBytesOf(dialog.Result())[2]), std::tuple(4, 0x7D, 0x03));

  frame.dwID = 0x101;  // a message the database does not have: an empty page
  CTDataDlg other(frame, nullptr, pDatabase);
  other.Pages()->setCurrentIndex(1);
  EXPECT_EQ(other.SignalPage()->Table()->rowCount(), 0);
}

}  // namespace
