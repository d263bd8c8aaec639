// "기록 시작/중지" and "로그 열기" through the frame; a full disk and a lost port stop recording in red.
#include <QTabWidget>

#include "CFrameTestBed.h"
#include "app/CLogCommands.h"
#include "logs/CLogTableModel.h"
#include "logs/CLogViewWindow.h"
#include "resources/CommandIds.h"
#include "resources/StringTable.h"

namespace {

class LogCommands : public CFrameTestBed {
protected:
  // Questions (replace the file?) are answered yes.
  EMessageAnswer Show(const CMessageRequest& request) override {
    CFrameTestBed::Show(request);
    return request.m_eIcon == EMessageIcon::QUESTION ? EMessageAnswer::YES : EMessageAnswer::OK;
  }
  bool Recording() const { return m_pFrame->Action(ID_RECORD_FRAMES)->isChecked(); }
  QTabWidget& Tabs() const { return *m_pFrame->findChild<QTabWidget*>(QStringLiteral("ReceiveTabs")); }
  // The log opened into the current tab, read to its end.
  CLogViewWindow& OpenedLog(const std::string& path) {
    RunWithFiles(ID_OPEN_LOG, {path});
    auto* pWindow = qobject_cast<CLogViewWindow*>(Tabs().currentWidget());
    EXPECT_NE(pWindow, nullptr);
    while (pWindow != nullptr && pWindow->Step()) {}
    return *pWindow;
  }
  QString LastEvent() const { return m_pFrame->EventLog()->EntryText(m_pFrame->EventLog()->EntryCount() - 1); }
  // The colour of the newest event holding the text; 0 when there is none.
  QRgb EventColour(const char* pszText) const {
    for (int n = m_pFrame->EventLog()->EntryCount() - 1; n >= 0; --n)
      if (m_pFrame->EventLog()->EntryText(n).contains(QString::fromUtf8(pszText))) return m_pFrame->EventLog()->EntryColour(n).rgb();
    return 0;
  }
};

const QRgb RED = qRgb(255, 0, 0);

TEST_F(LogCommands, RecordingsInBothFormatsOpenInClosableTabs) {
  MakeReadyFrame();
  ASSERT_EQ(Tabs().count(), 2);
  const std::string frames = Line(":U0201230102") + Line(":U281ABCDEF00001020304050607");
  for (const char* pszName : {"trace.log", "trace.asc"}) {
    const std::string path = m_scratch / pszName;
    RunWithFiles(ID_RECORD_FRAMES, {path});
    ASSERT_TRUE(Recording()) << pszName;
    Receive(Line(":G01") + frames);
    EXPECT_FALSE(ReadWholeFile(path).empty()) << "written with its batch";
    m_pFrame->Action(ID_RECORD_FRAMES)->trigger();
    EXPECT_FALSE(Recording());
    EXPECT_TRUE(LastEvent().contains("프레임 2개")) << LastEvent().toStdString();

    const CLogViewWindow& log = OpenedLog(path);
    ASSERT_EQ(Tabs().count(), 3);
    ASSERT_EQ(log.Model()->rowCount(), 2) << pszName;
    EXPECT_EQ(QStringList({log.Model()->index(0, 3).data().toString(), log.Model()->index(1, 3).data().toString(),
                           log.Model()->index(1, 6).data().toString()}),
              QStringList({"123", "1ABCDEF0", "00 01 02 03 04 05 06 07"}));
    emit Tabs().tabCloseRequested(0);  // the receive views stay
    emit Tabs().tabCloseRequested(2);
    EXPECT_EQ(Tabs().count(), 2);
  }
  EXPECT_TRUE(ReadWholeFile(m_scratch / "trace.asc").ends_with("End TriggerBlock\n"));

  RunWithFiles(ID_OPEN_LOG, {m_scratch.Write("notes.txt", "hello\n")});
  EXPECT_EQ(Tabs().count(), 2);
  EXPECT_EQ(ShownIds(), std::vector<unsigned>{IDS_LOG_OPEN_FAILED});
}

TEST_F(LogCommands, FullDiskAndLostPortStopTheRecordingInRed) {
  MakeReadyFrame();
  const std::string full = m_scratch / "full.log";
  std::filesystem::create_symlink("/dev/full", full);
  RunWithFiles(ID_RECORD_FRAMES, {full});
  ASSERT_TRUE(Recording());
  Receive(Line(":G01") + Line(":U0201230102"));
  EXPECT_EQ(EventColour("full.log: write: No space left on device"), RED) << LastEvent().toStdString();
  EXPECT_FALSE(Recording() || m_pFrame->LogCommands()->IsRecording());

  const std::string path = m_scratch / "kept.log";
  RunWithFiles(ID_RECORD_FRAMES, {path});
  Receive(Line(":U0201230102"));
  m_pSerial->HangUp();
  m_loop.RunPending();
  EXPECT_FALSE(Recording());
  EXPECT_EQ(EventColour("통신 포트가 사라져 기록을 중지합니다"), RED) << LastEvent().toStdString();
  EXPECT_EQ(OpenedLog(path).Model()->rowCount(), 1);
}

}  // namespace
