#include "receive/CLogPathDlg.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "uisupport/MessageBox.h"
#include "uisupport/QtText.h"
#include "receive/LogPathRules.h"
#include "resources/StringTable.h"

namespace {

constexpr int PATH_BOX_WIDTH = 230;

QString ChooseSaveFile(QWidget* pParent, const QString& title, const QString& directory, const QString& filter) {
  QFileDialog dialog(pParent, title, directory, filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(QStringLiteral("txt"));
  dialog.setOption(QFileDialog::DontConfirmOverwrite);  // a log is appended to, never replaced
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

// The path a box holds: the bytes put into it while its text is unchanged (a path that is not
// UTF-8 shows with replacement characters and could not come back from the text), else what
// was typed.
std::string BoxPath(const QLineEdit* pBox, const std::string& shownPath) {
  const QString text = pBox->text();
  return text == QString::fromStdString(shownPath) ? shownPath : text.toStdString();
}

QPushButton* BrowseButton(const QString& name, QWidget* pParent) {
  auto* pButton = new QPushButton(QStringLiteral("..."), pParent);
  pButton->setObjectName(name);
  pButton->setAutoDefault(false);
  pButton->setFixedWidth(pButton->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 16);
  return pButton;
}

}  // namespace

CLogPathDlg::CLogPathDlg(std::string currentRDataPath, std::string currentEventPath, FileChooser fnChooseFile,
                         QWidget* pParent)
    : CFormDialog(pParent),
      m_strCurrentRData(std::move(currentRDataPath)),
      m_strCurrentEvent(std::move(currentEventPath)),
      m_fnChooseFile(fnChooseFile ? std::move(fnChooseFile) : FileChooser(ChooseSaveFile)),
      m_strRDataShown(m_strCurrentRData),
      m_strEventShown(m_strCurrentEvent) {
  setObjectName(QStringLiteral("LogPathDlg"));
  setWindowTitle(tr("로그파일 경로 설정 "));
  m_pRDataBox = new QLineEdit(QString::fromStdString(m_strCurrentRData), this);
  m_pEventBox = new QLineEdit(QString::fromStdString(m_strCurrentEvent), this);
  m_pRDataBox->setObjectName(QStringLiteral("rdataPath"));
  m_pEventBox->setObjectName(QStringLiteral("eventPath"));
  m_pRDataBrowse = BrowseButton(QStringLiteral("rdataBrowse"), this);
  m_pEventBrowse = BrowseButton(QStringLiteral("eventBrowse"), this);

  auto* pGrid = new QGridLayout;
  pGrid->setColumnMinimumWidth(1, PATH_BOX_WIDTH);
  pGrid->addWidget(new QLabel(tr("수신데이터 파일 경로"), this), 0, 0);
  pGrid->addWidget(m_pRDataBox, 0, 1);
  pGrid->addWidget(m_pRDataBrowse, 0, 2);
  pGrid->addWidget(new QLabel(tr("이벤트 파일 경로"), this), 1, 0);
  pGrid->addWidget(m_pEventBox, 1, 1);
  pGrid->addWidget(m_pEventBrowse, 1, 2);
  auto* pButtons = new QHBoxLayout;
  AddButtons(pButtons);
  auto* pLayout = new QVBoxLayout(this);
  pLayout->addLayout(pGrid);
  pLayout->addLayout(pButtons);
  setFixedSize(sizeHint());
  setTabOrder(m_pRDataBox, m_pRDataBrowse);
  setTabOrder(m_pRDataBrowse, m_pEventBox);
  setTabOrder(m_pEventBox, m_pEventBrowse);
  setTabOrder(m_pEventBrowse, OkButton());

  connect(m_pRDataBrowse, &QPushButton::clicked, this,
          [this] { Browse(m_pRDataBox, m_strRDataShown, m_strCurrentRData, IDS_RDATA_LOG_FILTER, IDS_RDATA_LOG_TITLE); });
  connect(m_pEventBrowse, &QPushButton::clicked, this,
          [this] { Browse(m_pEventBox, m_strEventShown, m_strCurrentEvent, IDS_EVENT_LOG_FILTER, IDS_EVENT_LOG_TITLE); });
}

void CLogPathDlg::Browse(QLineEdit* pBox, std::string& shownPath, const std::string& currentPath, unsigned nFilterId,
                         unsigned nTitleId) {
  const std::string directory = BrowseDirectory(BoxPath(pBox, shownPath), currentPath);
  const QString chosen =
      m_fnChooseFile(this, LoadQString(nTitleId), QString::fromStdString(directory), QtFileFilter(nFilterId));
  if (chosen.isEmpty()) return;
  shownPath = chosen.toStdString();
  pBox->setText(chosen);
}

void CLogPathDlg::OnOk() {
  const std::string eventPath = TrimmedPath(BoxPath(m_pEventBox, m_strEventShown));
  const std::string rdataPath = TrimmedPath(BoxPath(m_pRDataBox, m_strRDataShown));
  if (const unsigned nStringId = CheckLogPaths(eventPath, rdataPath)) {
    ShowMessage(nStringId, EMessageIcon::ERROR);
    return;
  }
  m_strEventPath = eventPath;
  m_strRDataPath = rdataPath;
  accept();
}
