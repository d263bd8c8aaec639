#include "transmit/CLeftView.h"

#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <cstdio>
#include <filesystem>
#include <utility>

#include "uisupport/MessageBox.h"
#include "text/FieldRules.h"
#include "config/ModuleSettings.h"
#include "protocol/CModuleChannel.h"
#include "resources/Pictures.h"
#include "resources/StringTable.h"
#include "transmit/CTDataDlg.h"
#include "transmit/CTDataObject.h"
#include "transmit/TDataDlgRules.h"
#include "transmit/TransmitFile.h"
#include "uisupport/ModalDialogs.h"
#include "uisupport/QtText.h"

namespace {

constexpr unsigned IDS_FIRST_COLUMN_TITLE = 61208;  // 61208 to 61212, one per column
constexpr int MAX_COLUMN_WIDTH = 4096;              // a stored width beyond this is not a width
constexpr int ROW_ICON_SIZE = 20;

std::string ColumnWidthName(int nColumn) { return "LeftCol " + std::to_string(nColumn); }

// The identifier in bytes: 11 bits as two, 29 bits as four.
//   0x123 (2.0A) -> "01 23"   0x1ABCDEF0 (2.0B) -> "1A BC DE F0"
QString IdText(const TData& record) {
  char szText[sizeof "1F FF FF FF"];
  const uint32_t dwId = record.dwID;
  if (record.bStandardID != 0)
    std::snprintf(szText, sizeof szText, "%02X %02X", (dwId >> 8) & 0x07u, dwId & 0xFFu);
  else
    std::snprintf(szText, sizeof szText, "%02X %02X %02X %02X", (dwId >> 24) & 0x1Fu, (dwId >> 16) & 0xFFu,
                  (dwId >> 8) & 0xFFu, dwId & 0xFFu);
  return QString::fromLatin1(szText);
}

// The first byLength data bytes in hexadecimal, whatever the record's edit format; nothing for
// a length of 0 or above 8 (possible in a file).
QString DataText(const TData& record) {
  if (record.byLength == 0 || record.byLength > MAX_DATA_LENGTH) return {};
  const DataBoxTexts bytes = HexBoxTextsOf(record);
  QStringList texts;
  for (uint8_t i = 0; i < record.byLength; ++i) texts << QString::fromLatin1(bytes[i]);
  return texts.join(QLatin1Char(' '));
}

std::array<QString, CLeftView::COLUMN_COUNT> RowTexts(const TData& record) {
  return {record.bStandardID != 0 ? QStringLiteral("CAN2.0A") : QStringLiteral("CAN2.0B"),
          record.bDataFrame != 0 ? QStringLiteral("Data Frame") : QStringLiteral("Remote Frame"), IdText(record),
          QString::number(record.byLength), DataText(record)};
}

}  // namespace

CLeftView::CLeftView(SettingsStore& store, CModuleChannel& channel, PortOpener fnEnsurePortOpen, QWidget* pParent)
    : QTableWidget(0, COLUMN_COUNT, pParent),
      m_store(store),
      m_channel(channel),
      m_fnEnsurePortOpen(std::move(fnEnsurePortOpen)),
      m_pTData(std::make_unique<CTDataObject>()),
      m_rowIcon(TransmitRowPicture()) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setShowGrid(true);
  setWordWrap(false);
  setSortingEnabled(false);
  setIconSize(QSize(ROW_ICON_SIZE, ROW_ICON_SIZE));
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(ROW_ICON_SIZE + 2);
  QHeaderView* pHeader = horizontalHeader();
  pHeader->setSectionsClickable(false);
  pHeader->setHighlightSections(false);
  pHeader->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  pHeader->setStretchLastSection(false);
  for (int nColumn = 0; nColumn < COLUMN_COUNT; ++nColumn) {
    const unsigned nTitleId = IDS_FIRST_COLUMN_TITLE + static_cast<unsigned>(nColumn);
    setHorizontalHeaderItem(nColumn, new QTableWidgetItem(LoadQString(nTitleId)));
    const auto stored = m_store.GetInt(LEFT_LIST_SECTION, ColumnWidthName(nColumn));
    const bool bUsable = stored && *stored > 0 && *stored <= MAX_COLUMN_WIDTH;
    setColumnWidth(nColumn, bUsable ? static_cast<int>(*stored) : DEFAULT_WIDTHS[static_cast<size_t>(nColumn)]);
  }
  connect(this, &QTableWidget::cellDoubleClicked, this, [this](int nRow, int) { SendRow(nRow); });
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &CLeftView::StateChanged);
}

CLeftView::~CLeftView() {
  // The base class's teardown may still announce selection changes; nobody is to hear them.
  disconnect(selectionModel(), nullptr, this, nullptr);
  SaveColumnWidths();
}

void CLeftView::SaveColumnWidths() {
  for (int nColumn = 0; nColumn < COLUMN_COUNT; ++nColumn)
    m_store.SetInt(LEFT_LIST_SECTION, ColumnWidthName(nColumn), columnWidth(nColumn));
}

int CLeftView::SelectedRow() const {
  const QModelIndexList rows = selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.constFirst().row();
}

TData* CLeftView::RecordAt(int nRow) {
  if (nRow < 0 || static_cast<size_t>(nRow) >= m_pTData->Count()) return nullptr;
  return &m_pTData->At(static_cast<size_t>(nRow));
}

// The row's texts; its items are made the first time.
void CLeftView::ShowRow(int nRow) {
  const auto texts = RowTexts(m_pTData->At(static_cast<size_t>(nRow)));
  for (int nColumn = 0; nColumn < COLUMN_COUNT; ++nColumn) {
    QTableWidgetItem* pItem = item(nRow, nColumn);
    if (!pItem) {
      pItem = new QTableWidgetItem;
      if (nColumn == 0) pItem->setIcon(m_rowIcon);
      setItem(nRow, nColumn, pItem);
    }
    pItem->setText(texts[static_cast<size_t>(nColumn)]);
  }
}

// Focus and the selection anchor move to the row, which is scrolled into view; which rows are
// selected stays.
void CLeftView::MarkRow(int nRow) {
  scrollToItem(item(nRow, 0));
  setFocus();
  selectionModel()->setCurrentIndex(model()->index(nRow, 0), QItemSelectionModel::NoUpdate);
}

// Every row anew, drawn once at the end: as many single inserts, without the work each would
// repeat (a file may hold tens of thousands of frames).
void CLeftView::RebuildRows() {
  setUpdatesEnabled(false);
  setRowCount(0);
  setRowCount(static_cast<int>(m_pTData->Count()));
  for (int nRow = 0; nRow < rowCount(); ++nRow) ShowRow(nRow);
  if (rowCount() > 0) MarkRow(rowCount() - 1);
  setUpdatesEnabled(true);
  viewport()->update();
  emit StateChanged();
}

void CLeftView::OnAdd() { OnAddFrom(CTDataDlg::NewFrame()); }

void CLeftView::OnAddFrom(const TData& start) {
  CTDataDlg dialog(start, this);
  if (!RunModal(dialog)) return;
  if (!m_pTData->Add(dialog.Result())) {
    ShowMessage(IDS_DUPLICATE_TDATA, EMessageIcon::INFORMATION);
    return;
  }
  const int nRow = rowCount();
  insertRow(nRow);
  ShowRow(nRow);
  MarkRow(nRow);
  emit StateChanged();
}

void CLeftView::OnModify() {
  const int nRow = SelectedRow();
  TData* pRecord = RecordAt(nRow);
  if (!pRecord) return;
  CTDataDlg dialog(*pRecord, this);
  if (!RunModal(dialog)) return;
  // In place, without the duplicate test: a row may become a copy of another.
  CTDataObject* pOwner = pRecord->pOwner;
  *pRecord = dialog.Result();
  pRecord->pOwner = pOwner;
  ShowRow(nRow);
  MarkRow(nRow);
}

void CLeftView::OnDelete() {
  const int nRow = SelectedRow();
  const TData* pRecord = RecordAt(nRow);
  if (!pRecord) return;
  removeRow(nRow);
  m_pTData->Remove(pRecord);
  emit StateChanged();
}

void CLeftView::OnDeleteAll() {
  if (rowCount() == 0) return;
  setRowCount(0);
  m_pTData->RemoveAll();
  emit StateChanged();
}

void CLeftView::OnSend() { SendRow(SelectedRow()); }

void CLeftView::SendRow(int nRow) {
  const TData* pRecord = RecordAt(nRow);
  if (!pRecord) return;
  std::string reason;
  if (!m_fnEnsurePortOpen(reason)) {
    ShowMessage(IDS_PORT_OPEN_FAILED, EMessageIcon::ERROR, EMessageButtons::OK, reason);
    return;
  }
  // A record from a file is taken as stored; SendLength keeps the send within 8 bytes.
  const auto abyData = DataBytesOf(*pRecord);
  m_channel.SendFrame(pRecord->bStandardID != 0, pRecord->bDataFrame != 0, SendLength(*pRecord), pRecord->dwID,
                      abyData.data());
}

std::string CLeftView::ChooseFile(bool bSave) {
  const std::string directory = m_store.GetString(SETTINGS_SECTION, SETTING_TDATA_FILE_DIR).value_or("");
  const QString title = LoadQString(bSave ? IDS_TFILE_SAVE_TITLE : IDS_TFILE_OPEN_TITLE);
  QFileDialog dialog(this, title, QFile::decodeName(directory.c_str()), QtFileFilter(IDS_TFILE_FILTER));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(bSave ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(bSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(QStringLiteral("ctd"));
  if (bSave) dialog.setOption(QFileDialog::DontConfirmOverwrite);  // the list asks its own question
  if (!RunModal(dialog) || dialog.selectedFiles().isEmpty()) return {};
  return QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
}

void CLeftView::StoreFileDirectory(const std::string& path) {
  m_store.SetString(SETTINGS_SECTION, SETTING_TDATA_FILE_DIR, ExistingDirectoryOf(path));
}

void CLeftView::OnOpenFile() {
  const std::string path = ChooseFile(false);
  if (path.empty()) return;
  const CFileResult result = ReadTransmitFile(path, m_pTData);
  if (!result.m_bOk) {
    ShowMessage(IDS_TFILE_OPEN_FAILED, EMessageIcon::ERROR, EMessageButtons::OK, result.m_strMessage);
    return;
  }
  RebuildRows();
  StoreFileDirectory(path);
}

void CLeftView::OnSaveFile() {
  const std::string path = ChooseFile(true);
  if (path.empty()) return;
  std::error_code error;  // a dangling symbolic link is there too, and would be replaced
  const bool bExists = std::filesystem::exists(std::filesystem::symlink_status(path, error));
  if (bExists && ShowMessageWith(IDS_TFILE_OVERWRITE, path, EMessageIcon::QUESTION, EMessageButtons::YES_NO) !=
                     EMessageAnswer::YES)
    return;
  const CFileResult result = WriteTransmitFile(path, *m_pTData);
  if (!result.m_bOk) {
    ShowMessage(IDS_TFILE_SAVE_FAILED, EMessageIcon::ERROR, EMessageButtons::OK, result.m_strMessage);
    return;
  }
  StoreFileDirectory(path);
}

void CLeftView::keyPressEvent(QKeyEvent* pEvent) {
  if (pEvent->key() == Qt::Key_Delete) OnDelete();
  QTableWidget::keyPressEvent(pEvent);
}
