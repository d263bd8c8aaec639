#include "logs/CLogViewWindow.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "logs/CLogTableModel.h"
#include "uisupport/Fonts.h"

CLogViewWindow::CLogViewWindow(QWidget* pParent) : QWidget(pParent) {
  m_pModel = new CLogTableModel(m_index, this);
  m_pTable = new QTableView(this);
  m_pTable->setModel(m_pModel);
  m_pTable->setFont(ListFont());
  m_pTable->verticalHeader()->hide();
  // Fixed row heights: the view never measures rows it does not show.
  m_pTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  m_pTable->verticalHeader()->setDefaultSectionSize(QFontMetrics(ListFont()).height() + 4);
  m_pTable->horizontalHeader()->setStretchLastSection(true);
  m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  const int kWidths[] = {80, 200, 70, 80, 100, 40};
  for (int i = 0; i < 6; ++i) m_pTable->setColumnWidth(i, kWidths[i]);

  m_pStatsTable = new QTableWidget(0, 4, this);
  m_pStatsTable->setHorizontalHeaderLabels({"ID", "종류", "개수", "평균 주기(ms)"});
  m_pStatsTable->verticalHeader()->hide();
  m_pStatsTable->setFont(ListFont());
  m_pStatsTable->setEditTriggers(QAbstractItemView::NoEditTriggers);

  m_pFilter = new QLineEdit(this);
  m_pFilter->setPlaceholderText("필터: ID 데이터 (예: 7E8 11 ?? 33)");
  m_pTime = new QLineEdit(this);
  m_pTime->setPlaceholderText("시간으로 이동: 2023-11-14 22:13:20.5");
  m_pSummary = new QLabel(this);
  m_pProgress = new QProgressBar(this);
  m_pProgress->setRange(0, 1000);
  m_pCancel = new QPushButton("취소", this);
  m_pTimer = new QTimer(this);
  m_pTimer->setInterval(0);

  auto* pTools = new QHBoxLayout;
  pTools->addWidget(m_pFilter, 2);
  pTools->addWidget(m_pTime, 2);
  pTools->addWidget(m_pProgress, 1);
  pTools->addWidget(m_pCancel);
  auto* pSplitter = new QSplitter(this);
  pSplitter->addWidget(m_pTable);
  pSplitter->addWidget(m_pStatsTable);
  pSplitter->setStretchFactor(0, 3);
  pSplitter->setStretchFactor(1, 1);
  auto* pLayout = new QVBoxLayout(this);
  pLayout->addLayout(pTools);
  pLayout->addWidget(pSplitter, 1);
  pLayout->addWidget(m_pSummary);

  connect(m_pTimer, &QTimer::timeout, this, &CLogViewWindow::StepLoad);
  connect(m_pCancel, &QPushButton::clicked, this, &CLogViewWindow::CancelLoad);
  connect(m_pFilter, &QLineEdit::returnPressed, this, [this] { ApplyFilter(m_pFilter->text()); });
  connect(m_pTime, &QLineEdit::returnPressed, this, [this] { GoToTime(m_pTime->text()); });
}

CLogViewWindow::~CLogViewWindow() = default;

bool CLogViewWindow::Open(const QString& path) {
  setWindowTitle(path);
  if (!m_index.Open(path.toStdString())) {
    m_error = QString::fromStdString(m_index.Error());
    return false;
  }
  m_bLoading = true;
  m_pProgress->show();
  m_pCancel->show();
  m_pTimer->start();
  return true;
}

QString CLogViewWindow::Error() const { return m_error; }
bool CLogViewWindow::IsLoading() const { return m_bLoading; }

bool CLogViewWindow::StepLoad() {
  if (!m_bLoading) return false;
  m_bLoading = m_index.Step(STEP_LINES, &m_stats);
  m_pModel->IndexGrew();
  m_pProgress->setValue(static_cast<int>(m_index.Progress() * 1000));
  if (!m_bLoading) {
    m_error = QString::fromStdString(m_index.Error());
    CancelLoad();
  }
  return m_bLoading;
}

void CLogViewWindow::CancelLoad() {
  m_bLoading = false;
  m_pTimer->stop();
  m_pProgress->hide();
  m_pCancel->hide();
  UpdateSummary();
}

void CLogViewWindow::UpdateSummary() {
  const auto entries = m_stats.Entries();
  m_pStatsTable->setRowCount(static_cast<int>(entries.size()));
  for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
    const IdStatistics& e = entries[static_cast<std::size_t>(i)];
    const QString cells[] = {QString("%1").arg(e.m_dwId, e.m_bStandard ? 3 : 8, 16, QChar('0')).toUpper(),
                             e.m_bRemote ? "Remote" : "Data", QString::number(e.m_qwCount),
                             QString::number(e.MeanCycleMs(), 'f', 3)};
    for (int c = 0; c < 4; ++c) m_pStatsTable->setItem(i, c, new QTableWidgetItem(cells[c]));
  }
  QString text = QString("프레임 %1개, 읽지 못한 줄 %2개").arg(m_index.Size()).arg(m_index.SkippedCount());
  if (!m_index.SkippedLines().empty()) {
    text += " (";
    for (std::size_t i = 0; i < m_index.SkippedLines().size() && i < 5; ++i)
      text += QString("%1%2행: %3").arg(i == 0 ? "" : ", ").arg(m_index.SkippedLines()[i].first)
                  .arg(QString::fromStdString(m_index.SkippedLines()[i].second));
    text += ")";
  }
  if (!m_error.isEmpty()) text += " — " + m_error;
  m_pSummary->setText(text);
}

bool CLogViewWindow::ApplyFilter(const QString& text) {
  const auto filter = ParseLogFilter(text);
  if (!filter) return false;
  m_pModel->SetFilter(*filter);
  return true;
}

bool CLogViewWindow::GoToTime(const QString& text) {
  QDateTime when = QDateTime::fromString(text.trimmed(), "yyyy-MM-dd HH:mm:ss.z");
  if (!when.isValid()) when = QDateTime::fromString(text.trimmed(), "yyyy-MM-dd HH:mm:ss");
  if (!when.isValid()) return false;
  const int nRow = m_pModel->RowAtTime(when.toMSecsSinceEpoch() * 1000000);
  if (nRow < 0) return false;
  const QModelIndex index = m_pModel->index(nRow, 0);
  m_pTable->scrollTo(index, QAbstractItemView::PositionAtTop);
  m_pTable->setCurrentIndex(index);
  return true;
}
