// The offline log window on a real file: loading in steps, statistics, filter, "go to time", signals and plots.
#include <QAbstractItemModelTester>
#include <QTableView>
#include <QTreeWidget>
#include <QtTest>

#include "logs/CLogTableModel.h"
#include "logs/CLogViewWindow.h"
#include "logs/CandumpLine.h"
#include "signals/CSignalPlotView.h"
#include "signals/DbcReader.h"
#include "stats/CIdStatisticsModel.h"
#include "stats/IdStatisticsRules.h"
#include <QTemporaryDir>
#include <fstream>

class LogViewTest : public QObject {
  Q_OBJECT
private slots:
  void LoadsInStepsAndFiltersAndFindsTimes() {
    QTemporaryDir dir;
    const auto write = [&](const char* pszName, const std::string& content) {
      const std::string path = dir.filePath(pszName).toStdString();
      std::ofstream(path, std::ios::binary) << content;
      return path;
    };
    std::string text = "garbage\n", line;
    constexpr int FRAMES = 3 * CLogViewWindow::STEP_LINES;
    for (int i = 0; i < FRAMES; ++i) {
      CanFrame frame;
      frame.m_bStandard = i % 5 != 0;
      frame.m_dwId = frame.m_bStandard ? 0x100 + i % 4 : 0x18FEF100;
      frame.m_byLength = frame.m_byLengthCode = frame.m_byDataCount = 3;
      frame.m_abyData[0] = static_cast<uint8_t>(i % 3);
      frame.m_abyData[2] = static_cast<uint8_t>(i);
      CandumpLine(frame, 1700000000LL * 1000000000 + i * 1000000LL, line);
      text += line + "\n";
    }
    const std::string path = write("trace.log", text);
    CLogViewWindow window;
    QAbstractItemModelTester tester(window.Model());
    QVERIFY(!window.Open(QString::fromStdString(write("x.txt", "hello\n"))));
    QCOMPARE(window.Error(), QString("not a candump, ASC or receive-data log"));
    QVERIFY(window.Open(QString::fromStdString(path)) && window.Step());
    QCOMPARE(window.StatisticsTable()->model()->rowCount(), 5);  // filled while the log still loads
    int nSteps = 2;
    while (window.Step()) ++nSteps;
    QVERIFY(nSteps >= 3);  // the event loop had its turn between them
    QVERIFY(window.Model()->rowCount() == FRAMES && window.Statistics().Entries().size() == 5);
    QCOMPARE(window.Model()->index(FRAMES - 1, 3).data().toString(), QString("103"));
    QCOMPARE(window.Model()->index(FRAMES - 1, 6).data().toString(), QString("02 00 %1").arg((FRAMES - 1) & 0xFF, 2, 16, QChar('0')).toUpper());

    QVERIFY(!window.ApplyFilter("123 1 2 3 4 5 6 7 8 9") && window.ApplyFilter("101 01"));  // i % 4 == 1, i % 3 == 1, i % 5 != 0
    QCOMPARE(window.Model()->rowCount(), 0);  // the frames are gone through in steps
    nSteps = 0;
    while (window.Step()) ++nSteps;
    QCOMPARE(nSteps, 2);
    int nExpected = 0;
    for (int i = 0; i < FRAMES; ++i) nExpected += i % 4 == 1 && i % 3 == 1 && i % 5 != 0;
    QCOMPARE(window.Model()->rowCount(), nExpected);
    QVERIFY(window.ApplyFilter("") && window.Model()->rowCount() == FRAMES);

    const QString at = QDateTime::fromMSecsSinceEpoch(1700000000LL * 1000 + 40000).toString("yyyy-MM-dd HH:mm:ss.zzz");
    QVERIFY(window.GoToTime(at) && window.Table()->currentIndex().row() == 40000 && !window.GoToTime("2099-01-01 00:00:00"));

    // 0x100 is frame i with i % 4 == 0 and i % 5 != 0: Gear i % 3, Kph (i & 0xFF) / 2.
    const std::string dbc = "BO_ 256 Speed: 3 Node\n SG_ Gear : 0|8@1+ (1,0) [0|3] \"\" X\n"
                            " SG_ Kph : 16|8@1+ (0.5,0) [0|127.5] \"km/h\" X\n\nVAL_ 256 Gear 0 \"P\" 1 \"R\" 2 \"N\" ;\n";
    DbcReadResult read = ReadDbc({reinterpret_cast<const uint8_t*>(dbc.data()), dbc.size()});
    QVERIFY2(read.m_bOk, read.ErrorText().c_str());
    window.SetSignalDatabase(std::make_shared<const CDbcDatabase>(std::move(read.m_database)));
    const QAbstractItemModel& stats = *window.StatisticsTable()->model();
    QCOMPARE(stats.columnCount(), ID_COLUMN_TOTAL + 1);
    QCOMPARE(stats.index(0, ID_COLUMN_ID).data().toString() + stats.index(0, ID_COLUMN_TOTAL).data().toString(), QString("100Speed"));
    window.Table()->setCurrentIndex(window.Model()->index(44, 0));  // frame 44: gear 2, 22 km/h
    QTreeWidgetItem* pMessage = window.SignalTree()->topLevelItem(0);
    QVERIFY(pMessage && pMessage->childCount() == 2);
    QCOMPARE(QStringList({pMessage->child(0)->text(3), pMessage->child(0)->text(5), pMessage->child(1)->text(4)}),
             QStringList({"2", "N", "22 km/h"}));

    window.resize(1000, 700);
    window.show();
    window.AddToPlot(0, 1);
    QVERIFY(window.IsBusy());
    nSteps = 0;
    while (window.Step()) ++nSteps;
    QCOMPARE(nSteps, 2);  // the log read again in steps
    const CSignalTrace& trace = window.Tracker().Traces().at(0);
    QCOMPARE(trace.Size(), std::size_t(FRAMES / 4 - FRAMES / 20));
    QCOMPARE(trace[0].m_dValue, 2.0);  // frame 4, then frame 8
    QCOMPARE(trace[1].m_nSteadyNs - trace[0].m_nSteadyNs, 4000000);
    // Decimated to the pixels shown: at most four points a column of the plot.
    const std::size_t nPoints = window.Plot()->PointCount(0);
    QVERIFY(nPoints > 100 && nPoints <= 4 * 1000 && nPoints < trace.Size());
    QCOMPARE(window.Plot()->Reading(window.Tracker(), 0.004), QString("0.004 s   Kph [km/h] = 2"));  // from the first frame
    window.AddToPlot(0, 0);  // a second signal: the first one does not take the frames twice
    while (window.Step()) {}
    QCOMPARE(window.Tracker().Traces().size(), std::size_t{2});
    QCOMPARE(window.Tracker().Traces()[0].Size(), window.Tracker().Traces()[1].Size());
    QCOMPARE(window.Tracker().Traces()[1].Size(), std::size_t(FRAMES / 4 - FRAMES / 20));
  }
};

QTEST_MAIN(LogViewTest)
#include "LogViewTest.moc"
