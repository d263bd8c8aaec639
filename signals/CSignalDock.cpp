#include "signals/CSignalDock.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "config/SettingsStore.h"
#include "resources/StringTable.h"
#include "signals/CSignalPlotView.h"
#include "signals/DbcReader.h"
#include "signals/SignalTree.h"
#include "uisupport/MessageBox.h"
#include "uisupport/ModalDialogs.h"
#include "uisupport/QtText.h"

namespace {

constexpr int TREE_WIDTH = 300;

}  // namespace

CSignalDock::CSignalDock(SettingsStore& store, QWidget* pParent)
    : QDockWidget(tr("신호"), pParent), m_store(store) {
  setObjectName(QStringLiteral("SignalPane"));
  setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
  auto* pSplitter = new QSplitter(Qt::Horizontal, this);

  m_pTree = new QTreeWidget(pSplitter);
  m_pTree->setObjectName(QStringLiteral("SignalTree"));
  m_pTree->setHeaderLabels(SignalTreeHeaders());
  m_pTree->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(m_pTree, &QWidget::customContextMenuRequested, this, &CSignalDock::ShowTreeMenu);

  auto* pPlotArea = new QWidget(pSplitter);
  auto* pLayout = new QVBoxLayout(pPlotArea);
  pLayout->setContentsMargins(0, 0, 0, 0);
  auto* pControls = new QHBoxLayout();
  m_pSeconds = new QSpinBox(pPlotArea);
  m_pSeconds->setRange(1, 600);
  m_pSeconds->setValue(PLOT_DEFAULT_SECONDS);
  m_pSeconds->setSuffix(tr(" 초"));
  m_pPause = new QCheckBox(tr("일시 정지"), pPlotArea);
  auto* pReset = new QPushButton(tr("확대 초기화"), pPlotArea);
  pControls->addWidget(new QLabel(tr("최근"), pPlotArea));
  pControls->addWidget(m_pSeconds);
  pControls->addWidget(m_pPause);
  pControls->addWidget(pReset);
  pControls->addStretch();
  pLayout->addLayout(pControls);
  m_pPlot = new CSignalPlotView(pPlotArea);
  m_pPlot->setObjectName(QStringLiteral("SignalPlot"));
  pLayout->addWidget(m_pPlot, 1);
  m_pCursor = new QLabel(pPlotArea);
  m_pCursor->setTextInteractionFlags(Qt::TextSelectableByMouse);
  pLayout->addWidget(m_pCursor);
  pSplitter->setStretchFactor(1, 2);
  m_pTree->setMinimumWidth(TREE_WIDTH);
  setWidget(pSplitter);

  connect(m_pPause, &QCheckBox::toggled, m_pPlot, &CSignalPlotView::SetPaused);
  connect(m_pPlot, &CSignalPlotView::PausedChanged, m_pPause, &QCheckBox::setChecked);
  connect(pReset, &QPushButton::clicked, m_pPlot, &CSignalPlotView::ResetZoom);
  connect(m_pSeconds, &QSpinBox::valueChanged, this, &CSignalDock::Redraw);
  connect(m_pPlot, &CSignalPlotView::CursorMoved, this,
          [this](double dSeconds) { m_pCursor->setText(m_pPlot->Reading(m_tracker, dSeconds)); });
  connect(&m_redrawTimer, &QTimer::timeout, this, [this] {
    if (isVisible()) Redraw();  // a hidden pane costs nothing
  });
  m_redrawTimer.start(PLOT_REDRAW_MS);
}

void CSignalDock::OnOpenDatabase() {
  const std::string remembered = m_store.GetString(SIGNALS_SECTION, SETTING_DBC_FILE).value_or("");
  QFileDialog dialog(this, LoadQString(IDS_DBC_OPEN_TITLE), QFileInfo(QFile::decodeName(remembered.c_str())).path(),
                     QtFileFilter(IDS_DBC_FILTER));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (!RunModal(dialog) || dialog.selectedFiles().isEmpty()) return;
  OpenDatabase(QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString());
}

bool CSignalDock::OpenDatabase(const std::string& path, bool bQuiet) {
  DbcReadResult read = ReadDbcFile(path);
  if (!read.m_bOk) {
    if (!bQuiet) ShowMessage(IDS_DBC_OPEN_FAILED, EMessageIcon::ERROR, EMessageButtons::OK, path + "\n" + read.ErrorText());
    return false;
  }
  m_tracker.SetDatabase(std::make_shared<const CDbcDatabase>(std::move(read.m_database)));
  m_databaseName = QFileInfo(QFile::decodeName(path.c_str())).fileName();
  m_store.SetString(SIGNALS_SECTION, SETTING_DBC_FILE, path);
  FillTree();
  UpdateSeries();
  emit DatabaseChanged(m_databaseName);
  return true;
}

void CSignalDock::OpenRememberedDatabase() {
  const std::optional<std::string> path = m_store.GetString(SIGNALS_SECTION, SETTING_DBC_FILE);
  if (path && !path->empty()) OpenDatabase(*path, true);
}

void CSignalDock::FillTree() {
  m_pTree->clear();
  const CDbcDatabase* pDatabase = m_tracker.Database();
  if (!pDatabase) return;
  QList<QTreeWidgetItem*> items;
  for (uint32_t m = 0; m < pDatabase->Messages().size(); ++m) items.append(NewMessageItem(pDatabase->Messages()[m], m));
  m_pTree->addTopLevelItems(items);
  m_pTree->resizeColumnToContents(0);
}

void CSignalDock::ShowTreeMenu(const QPoint& point) {
  QTreeWidgetItem* pItem = m_pTree->itemAt(point);
  const auto signal = pItem ? SignalOfItem(*pItem) : std::nullopt;
  if (!signal) return;
  QMenu menu(this);
  QAction* pAdd = menu.addAction(tr("그래프에 추가"));
  const auto [nMessage, nSignal] = *signal;
  connect(pAdd, &QAction::triggered, this, [this, nMessage, nSignal] { AddToPlot(nMessage, nSignal); });
  menu.exec(m_pTree->viewport()->mapToGlobal(point));
}

bool CSignalDock::RevealMessage(bool bExtended, uint32_t dwId) {
  const CDbcDatabase* pDatabase = m_tracker.Database();
  const DbcMessage* pMessage = pDatabase ? pDatabase->Find(bExtended, dwId) : nullptr;
  QTreeWidgetItem* pItem = pMessage ? m_pTree->topLevelItem(static_cast<int>(pMessage - pDatabase->Messages().data())) : nullptr;
  if (!pItem) return false;
  pItem->setExpanded(true);
  m_pTree->setCurrentItem(pItem);
  m_pTree->scrollToItem(pItem, QAbstractItemView::PositionAtTop);
  UpdateValues();
  return true;
}

void CSignalDock::AddToPlot(uint32_t nMessage, uint32_t nSignal) {
  const CDbcDatabase* pDatabase = m_tracker.Database();
  if (!pDatabase || nMessage >= pDatabase->Messages().size() ||
      nSignal >= pDatabase->Messages()[nMessage].m_signals.size())
    return;
  m_tracker.AddTrace(nMessage, nSignal);
  UpdateSeries();
}

void CSignalDock::UpdateSeries() {
  std::vector<QString> names;
  const CDbcDatabase* pDatabase = m_tracker.Database();
  for (const CSignalTrace& trace : m_tracker.Traces())
    names.push_back(SignalLabel(pDatabase->Messages()[trace.Message()].m_signals[trace.Signal()]));
  m_pPlot->SetSeries(names);
  Redraw();
}

void CSignalDock::Redraw() {
  m_pPlot->Redraw(m_tracker, m_pSeconds->value());
  UpdateValues();
}

// Each message's expected and measured cycle (red beyond 10 % apart), and the newest values
// of the signals of the messages that are expanded.
void CSignalDock::UpdateValues() {
  const CDbcDatabase* pDatabase = m_tracker.Database();
  if (!pDatabase) return;
  std::vector<DecodedSignal> values;
  const int nItems = std::min<int>(m_pTree->topLevelItemCount(), static_cast<int>(m_tracker.Messages().size()));
  for (int m = 0; m < nItems; ++m) {
    QTreeWidgetItem* pItem = m_pTree->topLevelItem(m);
    const DbcMessage& message = pDatabase->Messages()[static_cast<std::size_t>(m)];
    const MessageState& state = m_tracker.Messages()[static_cast<std::size_t>(m)];
    const double dMeasured = state.MeanCycleMs();
    const QString expected = message.m_nCycleTimeMs ? QStringLiteral("%1 ms").arg(message.m_nCycleTimeMs) : QStringLiteral("-");
    pItem->setText(COLUMN_CYCLE, state.m_qwCount < 2 && !message.m_nCycleTimeMs ? QString()
                                 : expected + QStringLiteral(" / ") +
                                       (state.m_qwCount < 2 ? QStringLiteral("-") : QStringLiteral("%1 ms").arg(dMeasured, 0, 'f', 1)));
    const bool bDrifts = CycleDrifts(message.m_nCycleTimeMs, dMeasured);
    pItem->setForeground(COLUMN_CYCLE, bDrifts ? QBrush(Qt::red) : QBrush());
    pItem->setToolTip(COLUMN_CYCLE, bDrifts ? tr("측정 주기가 설정 주기와 10 % 넘게 다릅니다") : QString());
    if (!pItem->isExpanded() || state.m_qwCount == 0) continue;
    ShowSignalValues(*pItem, message, {state.m_abyData, state.m_byDataCount}, values);
  }
}
