#include "app/CLogCommands.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QTabBar>
#include <QTabWidget>
#include <chrono>
#include <filesystem>

#include "logs/CLogViewWindow.h"
#include "protocol/EventSink.h"
#include "resources/StringTable.h"
#include "text/Cp949Text.h"
#include "uisupport/MessageBox.h"
#include "uisupport/ModalDialogs.h"

namespace {

constexpr const char* RECORD_TITLE = "[기록 파일]";
constexpr const char* RECORD_ERROR_TITLE = "[기록 파일 에러]";

std::string ShownPath(const std::string& path) { return QFile::decodeName(path.c_str()).toStdString(); }

}  // namespace

CLogCommands::CLogCommands(EventSink& events, QTabWidget& tabs, QAction& recordAction, QWidget* pDialogParent)
    : QObject(&tabs), m_events(events), m_tabs(tabs), m_recordAction(recordAction), m_pDialogParent(pDialogParent) {
  m_nFixedTabs = m_tabs.count();
  m_tabs.setTabsClosable(true);
  for (int i = 0; i < m_nFixedTabs; ++i) m_tabs.tabBar()->setTabButton(i, QTabBar::RightSide, nullptr);
  connect(&m_tabs, &QTabWidget::tabCloseRequested, this, &CLogCommands::OnTabCloseRequested);
  // Called from the channel's batch: the file is already closed with what it holds.
  m_recorder.SetFailureHandler([this](const std::string& error) {
    Report(RECORD_ERROR_TITLE, "기록 파일에 쓰는데 실패하여 기록을 중지합니다 (" + ShownPath(m_recorder.Path()) + ": " + error + ")",
           true);
    m_recordAction.setChecked(false);
  });
}

std::string CLogCommands::ChooseFile(bool bSave) {
  QFileDialog dialog(m_pDialogParent, bSave ? tr("기록할 파일") : tr("로그 열기"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setNameFilters({bSave ? tr("candump 로그 (*.log)") : tr("로그 파일 (*.log *.asc *.txt)"),
                         bSave ? tr("ASC 로그 (*.asc)") : tr("모든 파일 (*)")});
  dialog.setAcceptMode(bSave ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(bSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (bSave) {
    dialog.setDefaultSuffix(QStringLiteral("log"));
    dialog.setOption(QFileDialog::DontConfirmOverwrite);  // asked through the program's own box
  }
  if (!RunModal(dialog) || dialog.selectedFiles().isEmpty()) return {};
  return QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
}

void CLogCommands::OnToggleRecording() {
  if (m_recorder.IsRecording()) {
    StopRecording();
  } else {
    const std::string path = ChooseFile(true);
    std::error_code error;
    const bool bExists = !path.empty() && std::filesystem::exists(std::filesystem::symlink_status(path, error));
    if (!path.empty() && (!bExists || ShowMessageWith(IDS_TFILE_OVERWRITE, ShownPath(path), EMessageIcon::QUESTION,
                                                      EMessageButtons::YES_NO) == EMessageAnswer::YES))
      StartRecording(path);
  }
  m_recordAction.setChecked(m_recorder.IsRecording());
}

void CLogCommands::StartRecording(const std::string& path) {
  const int64_t nNowNs =
      std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch()).count();
  if (!m_recorder.Start(path, nNowNs)) {
    Report(RECORD_ERROR_TITLE, "기록 파일을 여는데 실패했읍니다 (" + ShownPath(path) + ": " + m_recorder.Error() + ")", true);
    return;
  }
  Report(RECORD_TITLE, "기록을 시작합니다: " + ShownPath(path), false);
}

void CLogCommands::StopRecording() {
  if (!m_recorder.IsRecording()) return;
  const std::string shown = ShownPath(m_recorder.Path());
  if (!m_recorder.Stop()) {
    Report(RECORD_ERROR_TITLE, "기록 파일을 닫는데 실패했읍니다 (" + shown + ": " + m_recorder.Error() + ")", true);
    return;
  }
  Report(RECORD_TITLE, "기록을 마쳤읍니다: 프레임 " + std::to_string(m_recorder.FrameCount()) + "개 (" + shown + ")", false);
}

void CLogCommands::OnPortGone() {
  if (!m_recorder.IsRecording()) return;
  Report(RECORD_ERROR_TITLE, "통신 포트가 사라져 기록을 중지합니다 (" + ShownPath(m_recorder.Path()) + ")", true);
  StopRecording();
  m_recordAction.setChecked(false);
}

void CLogCommands::Report(const char* pszTitle, const std::string& detail, bool bFailure) {
  m_events.LogEvent(FormatEventText(pszTitle, detail), bFailure ? EVENT_RED : EVENT_BLACK);
}

void CLogCommands::OnOpenLog() {
  const std::string path = ChooseFile(false);
  if (!path.empty()) OpenLog(path);
}

CLogViewWindow* CLogCommands::OpenLog(const std::string& path) {
  auto* pWindow = new CLogViewWindow(&m_tabs);
  const QString name = QFile::decodeName(path.c_str());
  if (!pWindow->Open(name)) {
    ShowMessage(IDS_LOG_OPEN_FAILED, EMessageIcon::ERROR, EMessageButtons::OK,
                ShownPath(path) + ": " + pWindow->Error().toStdString());
    delete pWindow;
    return nullptr;
  }
  if (m_pDatabase) pWindow->SetSignalDatabase(m_pDatabase);
  const int nIndex = m_tabs.addTab(pWindow, QFileInfo(name).fileName());
  m_tabs.setTabToolTip(nIndex, name);
  m_tabs.setCurrentIndex(nIndex);
  return pWindow;
}

void CLogCommands::SetSignalDatabase(std::shared_ptr<const CDbcDatabase> pDatabase) {
  m_pDatabase = std::move(pDatabase);
  for (int i = m_nFixedTabs; i < m_tabs.count(); ++i)
    if (auto* pWindow = qobject_cast<CLogViewWindow*>(m_tabs.widget(i))) pWindow->SetSignalDatabase(m_pDatabase);
}

void CLogCommands::OnTabCloseRequested(int nIndex) {
  if (nIndex < m_nFixedTabs) return;
  QWidget* pPage = m_tabs.widget(nIndex);
  m_tabs.removeTab(nIndex);
  pPage->deleteLater();  // the request may come from the page's own tab button
}
