#include "logs/CLogViewWindow.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QChart>
#include <QMenu>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "logs/CLogTableModel.h"
#include "signals/CSignalPlotView.h"
#include "signals/SignalTree.h"
#include "stats/CIdStatisticsModel.h"
#include "uisupport/Fonts.h"

CLogViewWindow::CLogViewWindow(QWidget* pParent) : QWidget(pParent) {
  m_pModel = new CLogTableModel(m_index, this);
  m_pTable = new QTableView(this);
  m_pTable->setModel(m_pModel);
  m_pTable->setFont(ListFont());
  m_pTable->verticalHeader()->hide();
  m_pTable->horizontalHeader()->setStretchLastSection(true);
  m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  const int kWidths[] = {70, 190, 70, 75, 95, 40};
  // A header text longer than its column (a translation) widens the column.
  for (int i = 0; i < 6; ++i)
    m_pTable->setColumnWidth(i, std::max(kWidths[i], m_pTable->horizontalHeader()->sectionSizeHint(i)));

  // The live per-identifier view's table, without its frames-per-second (no meaning offline).
  m_pStatsModel = new CIdStatisticsModel(this);
  m_pStatsTable = new QTableView(this);
  m_pStatsTable->setModel(m_pStatsModel);
  m_pStatsTable->verticalHeader()->hide();
  m_pStatsTable->setFont(ListFont());
  m_pStatsTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_pStatsTable->setSelectionMode(QAbstractItemView::SingleSelection);
  m_pStatsTable->horizontalHeader()->setStretchLastSection(true);
  m_pStatsTable->setSortingEnabled(true);
  m_pStatsTable->sortByColumn(ID_COLUMN_ID, Qt::AscendingOrder);
  m_pStatsTable->setColumnHidden(ID_COLUMN_RATE, true);
  m_pStatsTable->resizeColumnsToContents();
  // Fixed row heights, the list's own: the views never measure rows they do not show.
  for (QTableView* pTable : {m_pTable, m_pStatsTable}) {
    pTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    pTable->verticalHeader()->setDefaultSectionSize(QFontMetrics(ListFont()).height() + 4);
  }

  m_pFilter = new QLineEdit(this);
  m_pFilter->setPlaceholderText(tr("필터: ID 데이터 (예: 7E8 11 ?? 33)"));
  m_pTime = new QLineEdit(this);
  m_pTime->setPlaceholderText(tr("시간으로 이동: 2023-11-14 22:13:20.5"));
  m_pSummary = new QLabel(this);
  m_pProgress = new QProgressBar(this);
  m_pProgress->setRange(0, 1000);
  m_pCancel = new QPushButton(tr("취소"), this);
  m_pTimer = new QTimer(this);
  m_pTimer->setInterval(0);

  auto* pTools = new QHBoxLayout;
  pTools->addWidget(m_pFilter, 2);
  pTools->addWidget(m_pTime, 2);
  pTools->addWidget(m_pProgress, 1);
  pTools->addWidget(m_pCancel);
  // Shown with a signal database: the chosen row's signals, and the plot once it has one.
  m_pSignalTree = new QTreeWidget(this);
  m_pSignalTree->setHeaderLabels(SignalTreeHeaders());
  m_pSignalTree->setColumnHidden(COLUMN_CYCLE, true);
  m_pSignalTree->setContextMenuPolicy(Qt::CustomContextMenu);
  m_pSignalTree->hide();
  auto* pPlotArea = new QWidget(this);
  auto* pPlotLayout = new QVBoxLayout(pPlotArea);
  pPlotLayout->setContentsMargins(0, 0, 0, 0);
  m_pPlot = new CSignalPlotView(pPlotArea);
  m_pCursor = new QLabel(pPlotArea);
  m_pCursor->setTextInteractionFlags(Qt::TextSelectableByMouse);
  pPlotLayout->addWidget(m_pPlot, 1);
  pPlotLayout->addWidget(m_pCursor);
  pPlotArea->hide();

  auto* pSide = new QSplitter(Qt::Vertical, this);
  pSide->addWidget(m_pStatsTable);
  pSide->addWidget(m_pSignalTree);
  auto* pSplitter = new QSplitter(this);
  pSplitter->addWidget(m_pTable);
  pSplitter->addWidget(pSide);
  pSplitter->setStretchFactor(0, 2);
  pSplitter->setStretchFactor(1, 1);
  auto* pMain = new QSplitter(Qt::Vertical, this);
  pMain->addWidget(pSplitter);
  pMain->addWidget(pPlotArea);
  pMain->setStretchFactor(0, 2);
  pMain->setStretchFactor(1, 1);
  auto* pLayout = new QVBoxLayout(this);
  pLayout->addLayout(pTools);
  pLayout->addWidget(pMain, 1);
  pLayout->addWidget(m_pSummary);

  connect(m_pTimer, &QTimer::timeout, this, &CLogViewWindow::Step);
  connect(m_pCancel, &QPushButton::clicked, this, &CLogViewWindow::Cancel);
  connect(m_pFilter, &QLineEdit::returnPressed, this, [this] { ApplyFilter(m_pFilter->text()); });
  connect(m_pTime, &QLineEdit::returnPressed, this, [this] { GoToTime(m_pTime->text()); });
  connect(m_pTable->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& current) {
    ReceivedFrame record;
    if (current.isValid() && m_index.ReadFrame(m_pModel->FrameOfRow(current.row()), record)) ShowSignals(record.m_frame);
  });
  connect(m_pStatsTable->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& current) {
    const IdStatistics* pEntry = m_pStatsModel->EntryAt(current.row());
    if (!pEntry) return;
    CanFrame frame;  // the identifier's newest frame
    frame.m_bStandard = pEntry->m_bStandard;
    frame.m_bRemote = pEntry->m_bRemote;
    frame.m_dwId = pEntry->m_dwId;
    frame.m_byDataCount = pEntry->m_byDataCount;
    std::copy(pEntry->m_abyData, pEntry->m_abyData + 8, frame.m_abyData);
    ShowSignals(frame);
  });
  connect(m_pSignalTree, &QWidget::customContextMenuRequested, this, &CLogViewWindow::ShowSignalMenu);
  connect(m_pPlot, &CSignalPlotView::CursorMoved, this,
          [this](double dSeconds) { m_pCursor->setText(m_pPlot->Reading(m_tracker, dSeconds)); });
  // Drawn again for a new width (a point a pixel column) and when a zoom is reset.
  connect(m_pPlot->chart(), &QChart::plotAreaChanged, this, [this](const QRectF& area) {
    if (static_cast<int>(area.width()) != m_nDrawnWidth && !IsPlotting()) DrawPlot();
  });
  connect(m_pPlot, &CSignalPlotView::PausedChanged, this, [this](bool bPaused) {
    if (!bPaused && !IsPlotting()) DrawPlot();
  });
}

CLogViewWindow::~CLogViewWindow() = default;

bool CLogViewWindow::Open(const QString& path) {
  setWindowTitle(path);
  if (!m_index.Open(path.toStdString())) {
    m_error = QString::fromStdString(m_index.Error());
    return false;
  }
  m_bLoading = true;
  m_statisticsShown.start();
  StartSteps();
  return true;
}

QString CLogViewWindow::Error() const { return m_error; }
bool CLogViewWindow::IsLoading() const { return m_bLoading; }
bool CLogViewWindow::IsBusy() const { return m_bLoading || m_pModel->IsFiltering() || IsPlotting(); }
bool CLogViewWindow::IsPlotting() const { return !m_tracker.Traces().empty() && m_nPlotted < m_index.Size(); }

void CLogViewWindow::StartSteps() {
  m_pProgress->show();
  m_pCancel->show();
  m_pTimer->start();
}

bool CLogViewWindow::Step() {
  if (m_bLoading) {
    m_bLoading = m_index.Step(STEP_LINES, &m_stats);
    m_pModel->IndexGrew();
    if (!m_bLoading) m_error = QString::fromStdString(m_index.Error());
    if (!m_bLoading || m_pStatsModel->EntryCount() == 0 || m_statisticsShown.elapsed() >= STATISTICS_REFRESH_MS)
      UpdateStatistics();
  }
  m_pModel->FilterStep(STEP_LINES);
  if (IsPlotting()) PlotStep();
  double dDone = m_pModel->FilterProgress();
  if (m_bLoading)
    dDone = m_index.Progress();
  else if (IsPlotting() && !m_pModel->IsFiltering())
    dDone = static_cast<double>(m_nPlotted) / static_cast<double>(m_index.Size());
  m_pProgress->setValue(static_cast<int>(dDone * m_pProgress->maximum()));
  if (!IsBusy()) Finish();
  return IsBusy();
}

void CLogViewWindow::Cancel() {
  if (m_pModel->IsFiltering()) {
    m_pModel->SetFilter({});
    m_pFilter->clear();
  }
  if (m_bLoading) {
    m_bLoading = false;
    UpdateStatistics();
  }
  m_nPlotted = m_index.Size();  // the plot keeps what it read
  Finish();
}

void CLogViewWindow::Finish() {
  m_pTimer->stop();
  DrawPlot();
  m_pProgress->hide();
  m_pCancel->hide();
  UpdateSummary();
}

void CLogViewWindow::UpdateStatistics() {
  m_statisticsShown.restart();
  m_pStatsModel->Refresh(m_stats.Entries(), 0);
  if (!m_bLoading) m_pStatsTable->resizeColumnsToContents();  // the identifiers are few
  UpdateSummary();
}

void CLogViewWindow::UpdateSummary() {
  QString text = tr("프레임 %1개, 읽지 못한 줄 %2개").arg(m_index.Size()).arg(m_index.SkippedCount());
  if (!m_index.SkippedLines().empty()) {
    text += " (";
    for (std::size_t i = 0; i < m_index.SkippedLines().size() && i < 5; ++i)
      text += (i == 0 ? QString() : QStringLiteral(", ")) +
              tr("%1행: %2").arg(QString::number(m_index.SkippedLines()[i].first),
                                  QString::fromStdString(m_index.SkippedLines()[i].second));
    text += ")";
  }
  if (!m_error.isEmpty()) text += " — " + m_error;
  m_pSummary->setText(text);
}

bool CLogViewWindow::ApplyFilter(const QString& text) {
  const auto filter = ParseLogFilter(text);
  if (!filter) return false;
  m_pModel->SetFilter(*filter);
  if (m_pModel->IsFiltering()) StartSteps();
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

void CLogViewWindow::SetSignalDatabase(std::shared_ptr<const CDbcDatabase> pDatabase) {
  m_pStatsModel->SetMessageNamer(pDatabase ? MessageNamerFor(pDatabase) : nullptr);
  QHeaderView* pHeader = m_pStatsTable->horizontalHeader();
  if (pDatabase) pHeader->moveSection(pHeader->visualIndex(ID_COLUMN_TOTAL), ID_COLUMN_ID + 1);  // the name beside its identifier
  m_pStatsTable->resizeColumnsToContents();
  m_tracker.SetDatabase(pDatabase);
  m_pPlot->SetSeries({});
  m_pPlot->parentWidget()->hide();
  m_pSignalTree->clear();
  m_pSignalTree->setVisible(pDatabase != nullptr);
}

void CLogViewWindow::ShowSignals(const CanFrame& frame) {
  const CDbcDatabase* pDatabase = m_tracker.Database();
  const DbcMessage* pMessage = pDatabase && !frame.m_bRemote ? pDatabase->Find(!frame.m_bStandard, frame.m_dwId) : nullptr;
  m_pSignalTree->clear();
  if (!pMessage) return;
  QTreeWidgetItem* pItem = NewMessageItem(*pMessage, static_cast<uint32_t>(pMessage - pDatabase->Messages().data()));
  m_pSignalTree->addTopLevelItem(pItem);
  pItem->setExpanded(true);
  ShowSignalValues(*pItem, *pMessage, {frame.m_abyData, std::min<std::size_t>(frame.m_byDataCount, 8)}, m_values);
  m_pSignalTree->resizeColumnToContents(COLUMN_NAME);
}

void CLogViewWindow::ShowSignalMenu(const QPoint& point) {
  QTreeWidgetItem* pItem = m_pSignalTree->itemAt(point);
  const auto signal = pItem ? SignalOfItem(*pItem) : std::nullopt;
  if (!signal) return;
  QMenu menu(this);
  QAction* pAdd = menu.addAction(tr("그래프에 추가"));
  connect(pAdd, &QAction::triggered, this, [this, signal] { AddToPlot(signal->first, signal->second); });
  menu.exec(m_pSignalTree->viewport()->mapToGlobal(point));
}

void CLogViewWindow::AddToPlot(uint32_t nMessage, uint32_t nSignal) {
  const CDbcDatabase* pDatabase = m_tracker.Database();
  if (!pDatabase || nMessage >= pDatabase->Messages().size() || nSignal >= pDatabase->Messages()[nMessage].m_signals.size())
    return;
  for (const CSignalTrace& trace : m_tracker.Traces())
    if (trace.Message() == nMessage && trace.Signal() == nSignal) return;
  // Every trace starts again from the first frame, so none takes a frame twice.
  std::vector<std::pair<uint32_t, uint32_t>> traces;
  for (const CSignalTrace& trace : m_tracker.Traces()) traces.emplace_back(trace.Message(), trace.Signal());
  traces.emplace_back(nMessage, nSignal);
  m_tracker.SetDatabase(m_tracker.SharedDatabase());
  std::vector<QString> names;
  for (const auto& [m, s] : traces) {
    m_tracker.AddTrace(m, s);
    names.push_back(SignalLabel(pDatabase->Messages()[m].m_signals[s]));
  }
  m_pPlot->SetSeries(names);
  QWidget* pPlotArea = m_pPlot->parentWidget();
  if (pPlotArea->isHidden()) {
    pPlotArea->show();
    if (auto* pSplitter = qobject_cast<QSplitter*>(pPlotArea->parentWidget()))
      pSplitter->setSizes({pSplitter->height() * 3 / 5, pSplitter->height() * 2 / 5});  // room for the axes
  }
  m_nPlotted = 0;
  StartSteps();
}

void CLogViewWindow::PlotStep() {
  m_plotBatch.clear();
  ReceivedFrame record;
  for (const std::size_t nEnd = std::min(m_index.Size(), m_nPlotted + STEP_LINES); m_nPlotted < nEnd; ++m_nPlotted)
    if (m_index.ReadFrame(m_nPlotted, record)) m_plotBatch.push_back(record);
  m_tracker.OnFrames(m_plotBatch);
}

void CLogViewWindow::DrawPlot() {
  if (m_tracker.Traces().empty() || m_index.Size() == 0) return;
  const int64_t nFirstNs = m_index.At(0).m_nTimeNs;
  m_nDrawnWidth = static_cast<int>(m_pPlot->chart()->plotArea().width());
  m_pPlot->Draw(m_tracker, nFirstNs, std::max(m_index.At(m_index.Size() - 1).m_nTimeNs, nFirstNs + 1), nFirstNs);
}
