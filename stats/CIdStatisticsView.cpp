#include "stats/CIdStatisticsView.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <array>

#include "stats/CIdStatisticsModel.h"
#include "uisupport/Fonts.h"
#include "uisupport/QtText.h"

namespace {

// The widest text each column usually shows, to size the columns once.
constexpr std::array<std::string_view, ID_COLUMN_TOTAL> WIDEST_CELLS = {
    "CAN2.0B", "Remote Frame", "1FFFFFFF", "999999999", "8", "FF FF FF FF FF FF FF FF",
    "99999.99", "99999.99", "99999.99", "99999.99", "99999.9"};
const QColor CHANGED_BACKGROUND(255, 214, 140);  // a data byte that just changed

// The data column: the bytes one by one, those that changed lately on a coloured ground.
class CDataBytesDelegate final : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* pPainter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const uint8_t byChanged = static_cast<uint8_t>(index.data(CIdStatisticsModel::CHANGED_BYTES_ROLE).toUInt());
    if (byChanged == 0) {
      QStyledItemDelegate::paint(pPainter, option, index);
      return;
    }
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QString text = item.text;
    item.text.clear();  // the style draws the cell's ground and selection, the bytes follow
    const QWidget* pWidget = option.widget;
    QStyle* pStyle = pWidget ? pWidget->style() : QApplication::style();
    pStyle->drawControl(QStyle::CE_ItemViewItem, &item, pPainter, pWidget);

    const QRect textRect = pStyle->subElementRect(QStyle::SE_ItemViewItemText, &item, pWidget);
    const int nMargin = pStyle->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, pWidget) + 1;
    const QFontMetrics metrics(item.font);
    const bool bSelected = (option.state & QStyle::State_Selected) != 0;
    pPainter->save();
    pPainter->setFont(item.font);
    for (int nByte = 0; nByte * 3 + 1 < text.size(); ++nByte) {
      const QString byteText = text.mid(nByte * 3, 2);
      const int nLeft = textRect.left() + nMargin + metrics.horizontalAdvance(text.left(nByte * 3));
      const QRect byteRect(nLeft, textRect.top(), metrics.horizontalAdvance(byteText), textRect.height());
      const bool bChanged = (byChanged >> nByte) & 1u;
      if (bChanged) pPainter->fillRect(byteRect, CHANGED_BACKGROUND);
      pPainter->setPen(bSelected && !bChanged ? option.palette.color(QPalette::HighlightedText)
                                              : option.palette.color(QPalette::Text));
      pPainter->drawText(byteRect, Qt::AlignLeft | Qt::AlignVCenter, byteText);
    }
    pPainter->restore();
  }
};

}  // namespace

CIdStatisticsView::CIdStatisticsView(const WindowMaker& fnMakeWindow, SteadyClock fnNowNs, QWidget* pParent)
    : QWidget(pParent),
      m_fnNowNs(std::move(fnNowNs)),
      m_pWindow(fnMakeWindow(*this)),
      m_pModel(new CIdStatisticsModel(this)),
      m_pTable(new QTableView(this)),
      m_pFilter(new QLineEdit(this)),
      m_pCount(new QLabel(this)),
      m_pMenu(new QMenu(this)),
      m_pAddAction(new QAction(tr("송신 목록에 추가"), this)),
      m_pPauseAction(new QAction(tr("일시 정지"), this)),
      m_pClearAction(new QAction(tr("지우기"), this)) {
  m_pFilter->setObjectName(QStringLiteral("idFilter"));
  m_pFilter->setPlaceholderText(tr("필터: 식별자 또는 데이터 바이트 (16진수)"));
  m_pFilter->setToolTip(tr("16진수로 식별자의 일부(예: 7E0) 또는 데이터 바이트(예: 01 02)를 넣으면 "
                           "그것을 포함한 행만 보입니다"));
  m_pFilter->setClearButtonEnabled(true);
  m_pPauseAction->setCheckable(true);
  m_pPauseAction->setToolTip(tr("표를 멈춥니다 (수신한 프레임은 계속 셉니다)"));
  m_pClearAction->setToolTip(tr("식별자별 통계를 모두 지웁니다"));
  m_pCount->setToolTip(CIdStatisticsModel::TimesNote());

  auto* pBar = new QHBoxLayout;
  pBar->setContentsMargins(0, 0, 4, 0);
  pBar->addWidget(m_pFilter, 1);
  for (QAction* pAction : {m_pPauseAction, m_pClearAction}) {
    auto* pButton = new QToolButton(this);
    pButton->setDefaultAction(pAction);
    pBar->addWidget(pButton);
  }
  pBar->addWidget(m_pCount);

  m_pTable->setModel(m_pModel);
  m_pTable->setItemDelegateForColumn(ID_COLUMN_DATA, new CDataBytesDelegate(m_pTable));
  m_pTable->setFont(ListFont());
  m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_pTable->setSelectionMode(QAbstractItemView::SingleSelection);
  m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_pTable->setWordWrap(false);
  m_pTable->setTextElideMode(Qt::ElideNone);
  m_pTable->setContextMenuPolicy(Qt::CustomContextMenu);
  m_pTable->verticalHeader()->hide();
  m_pTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  m_pTable->verticalHeader()->setDefaultSectionSize(ROW_HEIGHT);
  m_pTable->horizontalHeader()->setHighlightSections(false);
  m_pTable->horizontalHeader()->setStretchLastSection(true);
  m_pTable->setSortingEnabled(true);
  m_pTable->sortByColumn(ID_COLUMN_ID, Qt::AscendingOrder);
  SetColumnWidths();

  m_pMenu->addAction(m_pAddAction);
  m_pMenu->addSeparator();
  m_pMenu->addAction(m_pPauseAction);
  m_pMenu->addAction(m_pClearAction);

  auto* pLayout = new QVBoxLayout(this);
  pLayout->setContentsMargins(0, 2, 0, 0);
  pLayout->setSpacing(2);
  pLayout->addLayout(pBar);
  pLayout->addWidget(m_pTable);

  connect(m_pFilter, &QLineEdit::textChanged, this, &CIdStatisticsView::OnFilterEdited);
  connect(m_pPauseAction, &QAction::toggled, this, &CIdStatisticsView::OnPause);
  connect(m_pClearAction, &QAction::triggered, this, &CIdStatisticsView::OnClear);
  connect(m_pAddAction, &QAction::triggered, this, [this] { emit AddToTransmitList(m_menuRecord); });
  connect(m_pTable, &QWidget::customContextMenuRequested, this, &CIdStatisticsView::ShowContextMenu);
  UpdateCountLabel();
  m_stats.Clear(m_fnNowNs());
  m_pWindow->SetTimer(IDT_RATES, RATES_MS);
}

CIdStatisticsView::~CIdStatisticsView() {
  m_pWindow->KillTimer(IDT_RATES);
  m_pWindow->KillTimer(IDT_REFRESH);
  m_pWindow->KillTimer(IDT_FADE);
}

void CIdStatisticsView::SetColumnWidths() {
  const QFontMetrics cells(m_pTable->font());
  const QFontMetrics titles(m_pTable->horizontalHeader()->font());
  const int nPadding = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1) + 8;
  constexpr int SORT_ARROW = 16;
  for (int nColumn = 0; nColumn < ID_COLUMN_TOTAL; ++nColumn) {
    const int nCell = cells.horizontalAdvance(ToQString(WIDEST_CELLS[static_cast<size_t>(nColumn)]));
    const int nTitle = titles.horizontalAdvance(CIdStatisticsModel::ColumnTitle(nColumn)) + SORT_ARROW;
    m_pTable->setColumnWidth(nColumn, std::max(nCell, nTitle) + nPadding);
  }
}

void CIdStatisticsView::OnFrames(std::span<const ReceivedFrame> frames) { m_stats.OnFrames(frames); }

void CIdStatisticsView::EndBatch() { RequestRefresh(); }

void CIdStatisticsView::RequestRefresh() {
  if (m_bRefreshRequested) return;
  m_bRefreshRequested = true;
  m_pWindow->SetTimer(IDT_REFRESH, REFRESH_MS);
}

void CIdStatisticsView::OnTimer(unsigned nId) {
  if (nId == IDT_REFRESH) {
    m_pWindow->KillTimer(IDT_REFRESH);
    m_bRefreshRequested = false;
    Refresh();
  } else if (nId == IDT_RATES) {
    m_stats.SampleRates(m_fnNowNs());
    RequestRefresh();
  } else if (nId == IDT_FADE) {
    m_pWindow->KillTimer(IDT_FADE);
    RequestRefresh();
  }
}

void CIdStatisticsView::Refresh() {
  if (m_pPauseAction->isChecked() || !isVisible()) {
    m_bStale = true;
    return;
  }
  m_bStale = false;
  const int64_t nNowNs = m_fnNowNs();
  m_pModel->Refresh(m_stats.Entries(), nNowNs);
  UpdateCountLabel();
  const int64_t nFadeNs = m_pModel->NextHighlightEndNs();
  if (nFadeNs == NO_HIGHLIGHT_END) {
    m_pWindow->KillTimer(IDT_FADE);
  } else {
    const int64_t nDelayMs = std::max<int64_t>(1, (nFadeNs - nNowNs + 999999) / 1000000);
    m_pWindow->SetTimer(IDT_FADE, static_cast<unsigned>(std::min<int64_t>(nDelayMs, HIGHLIGHT_NS / 1000000)));
  }
}

void CIdStatisticsView::showEvent(QShowEvent* pEvent) {
  QWidget::showEvent(pEvent);
  if (m_bStale) Refresh();
}

void CIdStatisticsView::OnPause(bool bPaused) {
  if (!bPaused) Refresh();
}

void CIdStatisticsView::OnClear() {
  m_stats.Clear(m_fnNowNs());
  m_pModel->Clear();
  m_bStale = false;
  m_pWindow->KillTimer(IDT_FADE);
  UpdateCountLabel();
}

void CIdStatisticsView::OnFilterEdited(const QString& text) {
  const bool bValid = m_pModel->SetFilter(text.toStdString());
  QPalette palette = m_pFilter->palette();
  palette.setColor(QPalette::Text, bValid ? QWidget::palette().color(QPalette::Text) : QColor(Qt::red));
  m_pFilter->setPalette(palette);
  UpdateCountLabel();
}

void CIdStatisticsView::UpdateCountLabel() {
  const int nShown = m_pModel->rowCount();
  const int nAll = m_pModel->EntryCount();
  m_pCount->setText(nShown == nAll ? tr("식별자 %1개").arg(nAll)
                                   : tr("식별자 %1개 중 %2개").arg(nAll).arg(nShown));
}

void CIdStatisticsView::ShowContextMenu(const QPoint& point) {
  const QModelIndex index = m_pTable->indexAt(point);
  const IdStatistics* pEntry = m_pModel->EntryAt(index.row());
  if (pEntry) {
    m_menuRecord = TransmitRecordOf(*pEntry);
    m_pTable->selectRow(index.row());
  }
  m_pAddAction->setEnabled(pEntry != nullptr);
  m_pMenu->popup(m_pTable->viewport()->mapToGlobal(point));
}
