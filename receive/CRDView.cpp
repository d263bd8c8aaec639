#include "receive/CRDView.h"

#include <QCoreApplication>
#include <QListView>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "protocol/ResponseText.h"
#include "receive/CRDataModel.h"
#include "uisupport/Fonts.h"

namespace {

// Every row the same fixed height, whatever the font asks for.
class CFixedRowDelegate : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(CRDView::ROW_HEIGHT);
    return size;
  }
};

}  // namespace

CRDView::CRDView(QWidget* pParent)
    : QWidget(pParent),
      // The labels are the event texts' own, translated under the same name.
      m_labels(TranslatedFrameLabels(
          [](const char* pszLabel) { return QCoreApplication::translate("Events", pszLabel).toStdString(); })),
      m_pModel(new CRDataModel(LINE_LIMIT, this)),
      m_pList(new QListView(this)) {
  m_pList->setModel(m_pModel);
  m_pList->setItemDelegate(new CFixedRowDelegate(m_pList));
  m_pList->setFont(ListFont());
  // Uniform rows and one layout pass for the whole list keep a full list cheap at thousands
  // of lines a second.
  m_pList->setUniformItemSizes(true);
  m_pList->setLayoutMode(QListView::Batched);
  m_pList->setBatchSize(LINE_LIMIT);
  m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
  m_pList->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_pList->setTextElideMode(Qt::ElideNone);
  m_pList->setWordWrap(false);
  m_pList->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  m_pList->setContextMenuPolicy(Qt::CustomContextMenu);

  auto* pLayout = new QVBoxLayout(this);
  pLayout->setContentsMargins(0, 0, 0, 0);
  pLayout->addWidget(m_pList);
}

void CRDView::OnFrames(std::span<const ReceivedFrame> frames) {
  if (frames.size() > LINE_LIMIT) frames = frames.last(LINE_LIMIT);
  for (const ReceivedFrame& record : frames) {
    ReceivedFrameLine(record.m_frame, m_line, m_labels);
    m_pModel->AddPending(m_line, record.m_arrival);
  }
}

void CRDView::EndBatch() {
  if (!m_fnRequestRefresh) {
    Refresh();
  } else if (!m_bRefreshRequested) {
    m_bRefreshRequested = true;
    m_fnRequestRefresh();
  }
}

void CRDView::Refresh() {
  m_bRefreshRequested = false;
  if (!m_pModel->Commit()) return;
  const QModelIndex newest = m_pModel->index(m_pModel->rowCount() - 1);
  m_pList->setCurrentIndex(newest);
  m_pList->scrollToBottom();
}

int CRDView::LineCount() const { return m_pModel->HeldCount(); }

QString CRDView::LineText(int nRow) const { return m_pModel->HeldLine(nRow); }

void CRDView::RemoveAll() { m_pModel->RemoveAll(); }

void CRDView::SetShowTimestamps(bool bShow) { m_pModel->SetShowTimestamps(bShow); }

bool CRDView::ShowsTimestamps() const { return m_pModel->ShowsTimestamps(); }
