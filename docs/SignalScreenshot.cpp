// Takes docs/signal-plot.png: the signal pane with the real toyota_prius_2010_pt.dbc of the
// tests open, WHEEL_SPEEDS expanded in the tree and its four signals plotted over the last ten
// seconds of frames made here with the signal encoder (12 s of 100 Hz wheel speeds), the
// cursor line reading 3 s before the newest frame. From the source tree:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/docs/signal-screenshot docs/signal-plot.png
#include <QApplication>
#include <QLabel>
#include <QTreeWidget>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "docs/ScreenshotSupport.h"
#include "signals/CSignalDock.h"
#include "signals/CSignalPlotView.h"
#include "signals/SignalCodec.h"
#include "support/CMemorySettingsStore.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: signal-screenshot OUTPUT.png\n", stderr);
    return 2;
  }
  const std::string output = std::filesystem::absolute(argv[1]).string();
  const CScratchHome scratch;  // the toolkit's runtime directory, too
  QApplication application(argc, argv);
  InstallLocaleLanguage();
  CMemorySettingsStore store;
  CSignalDock dock(store);
  dock.resize(1400, 480);
  dock.show();
  if (!dock.OpenDatabase(KORVEX_DBC_DIR "/toyota_prius_2010_pt.dbc")) return 1;
  const CDbcDatabase& database = *dock.Tracker().Database();
  const DbcMessage* pWheels = database.FindByName("WHEEL_SPEEDS");
  if (!pWheels) return 1;
  const auto nMessage = static_cast<uint32_t>(pWheels - database.Messages().data());
  for (uint32_t s = 0; s < 4; ++s) dock.AddToPlot(nMessage, s);
  QTreeWidgetItem* pItem = dock.SignalTree()->findItems(QStringLiteral("WHEEL_SPEEDS"), Qt::MatchExactly).value(0);
  if (pItem) {
    dock.SignalTree()->expandItem(pItem);
    dock.SignalTree()->scrollToItem(pItem, QAbstractItemView::PositionAtTop);
  }

  std::vector<ReceivedFrame> frames(1200);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const double t = static_cast<double>(i) / 100.0;
    ReceivedFrame& record = frames[i];
    record.m_frame.m_bStandard = true;
    record.m_frame.m_dwId = pWheels->m_dwId;
    record.m_frame.m_byLength = record.m_frame.m_byDataCount = record.m_frame.m_byLengthCode = 8;
    record.m_arrival.m_nSteadyNs = static_cast<int64_t>(i) * 10000000;
    std::span<uint8_t, 8> data(record.m_frame.m_abyData, 8);
    const double dBase = 30.0 + 12.0 * std::sin(t / 3.0);
    for (uint32_t s = 0; s < 4; ++s)
      EncodeSignal(pWheels->m_signals[s], dBase + (s < 2 ? 0.0 : -0.8) + 0.6 * std::sin(t * 7.0 + s) * (s % 2 ? 1 : -1), data);
  }
  dock.Tracker().OnFrames(frames);
  QApplication::processEvents();
  dock.Redraw();
  dock.CursorLine()->setText(dock.Plot()->Reading(dock.Tracker(), -3.0));
  for (int nColumn = 0; nColumn < dock.SignalTree()->columnCount(); ++nColumn) dock.SignalTree()->resizeColumnToContents(nColumn);
  dock.SignalTree()->setMinimumWidth(660);  // every column of the expanded message in the picture
  QApplication::processEvents();
  dock.Redraw();
  QApplication::processEvents();
  const bool bSaved = dock.grab().save(QString::fromStdString(output));
  if (!bSaved) std::fprintf(stderr, "signal-screenshot: %s could not be written\n", output.c_str());
  return bSaved ? 0 : 1;
}
