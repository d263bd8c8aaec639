// The receive list and the event log window on the real widgets (offscreen): the line limit,
// one model change per received burst, the receive-data log behind the list, time stamps,
// the event log's colours and its longest-line extent.
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QListView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <ctime>
#include <string>

#include "receive/CEventLogCtrl.h"
#include "receive/CLogFiles.h"
#include "receive/CRDView.h"
#include "text/Cp949Text.h"
#include "uisupport/Fonts.h"

namespace {

constexpr int64_t NS_PER_SECOND = 1000000000LL;
constexpr int64_t MAY_1_2024 = 1714571107;  // 13:45:07 UTC

ArrivalTime At(int64_t nWallNs) { return {nWallNs, nWallNs}; }

std::string Numbered(const char* pszPrefix, int n) { return std::string(pszPrefix) + std::to_string(n); }

enum EWidget { RECEIVE_LIST, EVENT_LOG };

// Counts red-ish and blue-ish pixels in a band of rows of the image.
struct SHues {
  int m_nRed = 0;
  int m_nBlue = 0;
};
SHues HuesIn(const QImage& image, int nTop, int nHeight) {
  SHues hues;
  for (int y = nTop; y < nTop + nHeight && y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() - c.blue() > 100) ++hues.m_nRed;
      if (c.blue() - c.red() > 100) ++hues.m_nBlue;
    }
  return hues;
}

}  // namespace

class ReceiveWidgetsTest : public QObject {
  Q_OBJECT
private slots:
  void initTestCase();
  void LineLimit_data();
  void LineLimit();
  void BigBatchShowsNewestAndLogsAll();
  void TimestampPrefix_data();
  void TimestampPrefix();
  void LongestLength_data();
  void LongestLength();
  void EventsKeepTheirColour();
  void ClearingEmptiesBothWidgets();
};

void ReceiveWidgetsTest::initTestCase() {
  // Time stamps are local time: fix the zone so the expected texts hold anywhere.
  qputenv("TZ", "UTC");
  tzset();
}

void ReceiveWidgetsTest::LineLimit_data() {
  QTest::addColumn<int>("eWidget");
  QTest::addColumn<int>("nLines");
  QTest::addColumn<int>("nFirst");  // number of the oldest line left
  QTest::newRow("receive 200 keeps all") << int(RECEIVE_LIST) << 200 << 0;
  QTest::newRow("receive 201st drops the first") << int(RECEIVE_LIST) << 201 << 1;
  QTest::newRow("receive 450") << int(RECEIVE_LIST) << 450 << 250;
  QTest::newRow("event 200 keeps all") << int(EVENT_LOG) << 200 << 0;
  QTest::newRow("event 201st drops the first") << int(EVENT_LOG) << 201 << 1;
  QTest::newRow("event 450") << int(EVENT_LOG) << 450 << 250;
}

// One line per burst, as frames arrive one by one on a slow bus.
void ReceiveWidgetsTest::LineLimit() {
  QFETCH(int, eWidget);
  QFETCH(int, nLines);
  QFETCH(int, nFirst);
  const int nKept = nLines - nFirst;
  if (eWidget == RECEIVE_LIST) {
    CLogFiles logs;
    CRDView view(logs);
    view.resize(300, 200);
    view.show();
    QAbstractItemModelTester tester(view.List()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    for (int n = 0; n < nLines; ++n) {
      view.AppendLine(Numbered("line ", n), At(n));
      view.EndBatch();
    }
    QCOMPARE(view.LineCount(), nKept);
    QCOMPARE(view.LineText(0), QString::fromStdString(Numbered("line ", nFirst)));
    QCOMPARE(view.List()->currentIndex().row(), nKept - 1);
    QVERIFY(view.List()->selectionModel()->isSelected(view.List()->currentIndex()));
    QCOMPARE(view.List()->selectionModel()->selectedIndexes().size(), 1);
  } else {
    CEventLogCtrl log;
    log.resize(300, 200);
    log.show();
    for (int n = 0; n < nLines; ++n) log.AppendEvent(Numbered("event ", n), EVENT_BLACK);
    QCOMPARE(log.EntryCount(), nKept);
    QCOMPARE(log.EntryText(0), QString::fromStdString(Numbered("event ", nFirst)));
    QCOMPARE(log.EntryText(nKept - 1), QString::fromStdString(Numbered("event ", nLines - 1)));
    QVERIFY(log.verticalScrollBar()->maximum() > 0);
    QCOMPARE(log.verticalScrollBar()->value(), log.verticalScrollBar()->maximum());
  }
}

void ReceiveWidgetsTest::BigBatchShowsNewestAndLogsAll() {
  QTemporaryDir dir;
  QVERIFY(dir.isValid());
  const std::string path = dir.filePath("RDataLog.txt").toStdString();
  CLogFiles logs;
  logs.SetPath(LOG_RDATA, path);
  logs.OpenLogFile(LOG_RDATA);
  QVERIFY(logs.IsOpen(LOG_RDATA));
  logs.SetLogging(LOG_RDATA, true);

  CRDView view(logs);
  view.resize(300, 200);
  view.show();
  QAbstractItemModelTester tester(view.List()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
  QSignalSpy inserted(view.List()->model(), &QAbstractItemModel::rowsInserted);
  QSignalSpy removed(view.List()->model(), &QAbstractItemModel::rowsRemoved);

  // A first burst that the second one pushes out entirely.
  view.AppendLine("old", At(0));
  view.EndBatch();
  inserted.clear();

  constexpr int LINES = 3000;
  for (int n = 0; n < LINES; ++n) view.AppendLine(Numbered("수신 ", n), At(MAY_1_2024 * NS_PER_SECOND + n));
  QCOMPARE(view.LineCount(), 1);  // nothing shown before the burst ends
  view.EndBatch();
  view.EndBatch();  // nothing pending: no change

  QCOMPARE(inserted.size(), 1);
  QCOMPARE(removed.size(), 1);
  QCOMPARE(view.LineCount(), CRDView::LINE_LIMIT);
  QCOMPARE(view.LineText(0), QString::fromStdString(Numbered("수신 ", LINES - CRDView::LINE_LIMIT)));
  QCOMPARE(view.LineText(CRDView::LINE_LIMIT - 1), QString::fromStdString(Numbered("수신 ", LINES - 1)));
  QCOMPARE(view.List()->currentIndex().row(), CRDView::LINE_LIMIT - 1);
  QVERIFY(view.List()->selectionModel()->isSelected(view.List()->currentIndex()));
  QScrollBar* pBar = view.List()->verticalScrollBar();
  QVERIFY(pBar->maximum() > 0);
  QCOMPARE(pBar->value(), pBar->maximum());
  QVERIFY(view.List()->viewport()->rect().intersects(view.List()->visualRect(view.List()->currentIndex())));
  QCOMPARE(view.List()->visualRect(view.List()->currentIndex()).height(), CRDView::ROW_HEIGHT);

  logs.CloseLogFiles();
  QFile file(QString::fromStdString(path));
  QVERIFY(file.open(QIODevice::ReadOnly));
  std::string expected = "1970.01.01 00:00:00  old\r\n";
  for (int n = 0; n < LINES; ++n)
    expected += "2024.05.01 13:45:07  " + Utf8ToCp949(Numbered("수신 ", n)).value() + "\r\n";
  const QByteArray content = file.readAll();
  QCOMPARE(content.size(), qsizetype(expected.size()));
  QVERIFY(content.toStdString() == expected);
}

void ReceiveWidgetsTest::TimestampPrefix_data() {
  QTest::addColumn<qint64>("nWallNs");
  QTest::addColumn<QString>("prefix");
  QTest::newRow("epoch") << qint64(0) << "00:00:00.000  ";
  QTest::newRow("milliseconds truncate") << qint64(MAY_1_2024 * NS_PER_SECOND + 123999999) << "13:45:07.123  ";
  QTest::newRow("last millisecond of a day") << qint64(86399999000000) << "23:59:59.999  ";
  QTest::newRow("just before the epoch") << qint64(-1) << "23:59:59.999  ";
}

void ReceiveWidgetsTest::TimestampPrefix() {
  QFETCH(qint64, nWallNs);
  QFETCH(QString, prefix);
  CLogFiles logs;
  CRDView view(logs);
  view.AppendLine("U 123", At(nWallNs));
  view.EndBatch();
  QVERIFY(!view.ShowsTimestamps());
  QCOMPARE(view.LineText(0), QStringLiteral("U 123"));
  QSignalSpy changed(view.List()->model(), &QAbstractItemModel::dataChanged);
  view.SetShowTimestamps(true);
  QCOMPARE(changed.size(), 1);
  QCOMPARE(view.LineText(0), prefix + QStringLiteral("U 123"));
  QCOMPARE(view.List()->model()->index(0, 0).data().toString(), prefix + QStringLiteral("U 123"));
  view.SetShowTimestamps(false);
  QCOMPARE(view.LineText(0), QStringLiteral("U 123"));
}

void ReceiveWidgetsTest::LongestLength_data() {
  QTest::addColumn<QStringList>("lines");
  QTest::addColumn<int>("nLimit");
  QTest::addColumn<int>("nLongestBefore");  // before the last line
  QTest::addColumn<int>("nLongest");
  QTest::newRow("longest dropped shrinks") << QStringList{"aaaaaaaa", "bb", "ccc"} << 2 << 8 << 3;
  QTest::newRow("shorter dropped keeps") << QStringList{"a", "bbbbbb", "cc"} << 2 << 6 << 6;
  QTest::newRow("new line longer grows") << QStringList{"aaaaaaaaaa", "bbbbbbbbbbbb"} << 200 << 10 << 12;
  QTest::newRow("Hangul syllable counts two") << QStringList{"xxxxxxxxxxx", "[CAN 리셋 응답]", "ab"} << 2 << 15 << 15;
  QTest::newRow("no CP949 form: two per character") << QStringList{"aaaaaaaaaa", "x\U0001F600y", "z"} << 2 << 10 << 4;
}

void ReceiveWidgetsTest::LongestLength() {
  QFETCH(QStringList, lines);
  QFETCH(int, nLimit);
  QFETCH(int, nLongestBefore);
  QFETCH(int, nLongest);
  CEventLogCtrl log;
  log.resize(40, 100);  // narrower than every line, so each one scrolls sideways
  log.show();
  log.SetDisplayFont(ListFont(), true);
  log.SetLineLimit(nLimit);
  for (qsizetype i = 0; i + 1 < lines.size(); ++i) log.AppendEvent(lines[i].toStdString(), EVENT_BLACK);
  QCOMPARE(log.LongestLength(), nLongestBefore);
  const int nMaxBefore = log.horizontalScrollBar()->maximum();
  log.AppendEvent(lines.back().toStdString(), EVENT_BLACK);
  QCOMPARE(log.LongestLength(), nLongest);
  QCOMPARE(log.Extent().width(), nLongest * QFontMetrics(ListFont()).horizontalAdvance(QLatin1Char('X')));
  const int nMaxAfter = log.horizontalScrollBar()->maximum();
  if (nLongest < nLongestBefore) QVERIFY(nMaxAfter < nMaxBefore);
  else if (nLongest > nLongestBefore) QVERIFY(nMaxAfter > nMaxBefore);
  else QCOMPARE(nMaxAfter, nMaxBefore);

  // Shrinking the limit drops the oldest and measures again.
  log.SetLineLimit(-1);
  QCOMPARE(log.LineLimit(), nLimit);
  log.SetLineLimit(1);
  QCOMPARE(log.EntryCount(), 1);
  QCOMPARE(log.EntryText(0), lines.back());
  QCOMPARE(log.LongestLength(), int(Cp949ScreenWidth(lines.back().toStdString())));
}

void ReceiveWidgetsTest::EventsKeepTheirColour() {
  CEventLogCtrl log;
  log.resize(400, 300);
  log.show();
  const COLORREF COLOURS[] = {EVENT_RED, EVENT_BLUE, EVENT_BLACK, EVENT_GREY};
  for (COLORREF colour : COLOURS) log.AppendEvent("XXXXXXXXXXXXXXXX", colour);
  QCOMPARE(log.EntryColour(0), QColor(255, 0, 0));
  QCOMPARE(log.EntryColour(1), QColor(0, 0, 255));
  QCOMPARE(log.EntryColour(2), QColor(0, 0, 0));
  QCOMPARE(log.EntryColour(3), QColor(128, 128, 129));

  // What is drawn: the first row red, the second blue.
  const QImage image = log.viewport()->grab().toImage();
  const int nRow = QFontMetrics(log.font()).height();
  const SHues first = HuesIn(image, 0, nRow);
  const SHues second = HuesIn(image, nRow, nRow);
  QVERIFY(first.m_nRed > 0);
  QCOMPARE(first.m_nBlue, 0);
  QVERIFY(second.m_nBlue > 0);
  QCOMPARE(second.m_nRed, 0);
}

void ReceiveWidgetsTest::ClearingEmptiesBothWidgets() {
  CEventLogCtrl log;
  log.AppendEvent("first line", EVENT_BLACK);
  log.RemoveAllEntries();
  QCOMPARE(log.EntryCount(), 0);
  QCOMPARE(log.LongestLength(), 0);
  QCOMPARE(log.horizontalScrollBar()->maximum(), 0);

  CLogFiles logs;
  CRDView view(logs);
  QAbstractItemModelTester tester(view.List()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
  view.RemoveAll();  // empty already
  view.AppendLine("a", At(0));
  view.AppendLine("b", At(0));
  view.EndBatch();
  view.RemoveAll();
  QCOMPARE(view.LineCount(), 0);
}

// The widgets run with a private home and runtime directory, never the user's.
int main(int argc, char** argv) {
  char szHome[] = "/tmp/korvex-widgets-XXXXXX";
  if (::mkdtemp(szHome) == nullptr) return 1;
  for (const char* pszName : {"HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"})
    ::setenv(pszName, szHome, 1);
  int nResult = 0;
  {
    QApplication app(argc, argv);
    ReceiveWidgetsTest test;
    nResult = QTest::qExec(&test, argc, argv);
  }
  std::error_code error;
  std::filesystem::remove_all(szHome, error);
  return nResult;
}
#include "ReceiveWidgetsTest.moc"
