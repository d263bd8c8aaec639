// The offline log window on a real file: loaded in steps, every frame a row, the statistics of
// the whole log, the filter and "go to time". KORVEX_SCREENSHOT=path saves the window's picture.
#include <QAbstractItemModelTester>
#include <QTableView>
#include <QtTest>
#include <cstdlib>

#include "logs/CLogTableModel.h"
#include "logs/CLogViewWindow.h"
#include "logs/CandumpLine.h"
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
    QVERIFY(window.Open(QString::fromStdString(path)));
    int nSteps = 1;
    while (window.StepLoad()) ++nSteps;
    QVERIFY(nSteps >= 3);  // the event loop had its turn between them
    QCOMPARE(window.Model()->rowCount(), FRAMES);
    QCOMPARE(window.Statistics().Entries().size(), std::size_t{5});
    QCOMPARE(window.Model()->index(FRAMES - 1, 3).data().toString(), QString("103"));
    QCOMPARE(window.Model()->index(FRAMES - 1, 6).data().toString(), QString("02 00 %1").arg((FRAMES - 1) & 0xFF, 2, 16, QChar('0')).toUpper());

    QVERIFY(!window.ApplyFilter("123 1 2 3 4 5 6 7 8 9"));
    QVERIFY(window.ApplyFilter("101 01"));  // i % 4 == 1 and i % 3 == 1 and i % 5 != 0
    int nExpected = 0;
    for (int i = 0; i < FRAMES; ++i) nExpected += i % 4 == 1 && i % 3 == 1 && i % 5 != 0;
    QCOMPARE(window.Model()->rowCount(), nExpected);
    QVERIFY(window.ApplyFilter(""));
    QCOMPARE(window.Model()->rowCount(), FRAMES);

    const QString at = QDateTime::fromMSecsSinceEpoch(1700000000LL * 1000 + 40000).toString("yyyy-MM-dd HH:mm:ss.zzz");
    QVERIFY(window.GoToTime(at));
    QCOMPARE(window.Table()->currentIndex().row(), 40000);
    QVERIFY(!window.GoToTime("2099-01-01 00:00:00"));

    if (const char* pszShot = std::getenv("KORVEX_SCREENSHOT")) {
      window.resize(1100, 600);
      window.show();
      window.GoToTime(at);
      QVERIFY(window.grab().save(pszShot));
    }
  }
};

QTEST_MAIN(LogViewTest)
#include "LogViewTest.moc"
