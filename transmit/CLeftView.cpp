#include "transmit/CLeftView.h"

#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <algorithm>
#include <filesystem>
#include <utility>

#include "config/ModuleSettings.h"
#include "protocol/CModuleChannel.h"
#include "resources/StringTable.h"
#include "text/FieldRules.h"
#include "transmit/CTDataDlg.h"
#include "transmit/CTDataObject.h"
#include "transmit/CTransmitListModel.h"
#include "transmit/TransmitFile.h"
#include "uisupport/Fonts.h"
#include "uisupport/MessageBox.h"
#include "uisupport/ModalDialogs.h"
#include "uisupport/QtText.h"

namespace {

constexpr int MAX_COLUMN_WIDTH = 4096;  // a stored width beyond this is not a width
constexpr int ROW_ICON_SIZE = 20;
static_assert(MAX_PERIOD_MS == CCyclicSchedule::MAX_PERIOD_MS);

std::string ColumnWidthName(int nColumn) { return "LeftCol " + std::to_string(nColumn); }

// A failed open or save: "Out of Memory!" on its own first, as the system shows it; any
// other cause goes under the fixed text.
void ShowFileFailure(unsigned nStringId, const CFileResult& result) {
  if (result.m_bOutOfMemory) ShowMessage(IDS_OUT_OF_MEMORY, EMessageIcon::ERROR);
  ShowMessage(nStringId, EMessageIcon::ERROR, EMessageButtons::OK, result.m_bOutOfMemory ? "" : result.m_strMessage);
}

}  // namespace

CLeftView::CLeftView(SettingsStore& store, CModuleChannel& channel, PortOpener fnEnsurePortOpen, QWidget* pParent)
    : QTableView(pParent),
      m_store(store),
      m_channel(channel),
      m_fnEnsurePortOpen(std::move(fnEnsurePortOpen)),
      m_pModel(new CTransmitListModel(this)) {
  setModel(m_pModel);
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
    const auto stored = m_store.GetInt(LEFT_LIST_SECTION, ColumnWidthName(nColumn));
    const bool bUsable = stored && *stored > 0 && *stored <= MAX_COLUMN_WIDTH;
    setColumnWidth(nColumn, bUsable ? static_cast<int>(*stored) : DefaultWidth(nColumn));
  }
  connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) { SendRow(index.row()); });
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &CLeftView::StateChanged);
}

CLeftView::~CLeftView() {
  // The base class's teardown may still announce selection changes; nobody is to hear them.
  disconnect(selectionModel(), nullptr, this, nullptr);
  SaveColumnWidths();
}

// At least the column's title, which in a translation may be longer than the usual width.
int CLeftView::DefaultWidth(int nColumn) const {
  return std::max(ScaledWidth(DEFAULT_WIDTHS[static_cast<size_t>(nColumn)], font()),
                  horizontalHeader()->sectionSizeHint(nColumn));
}

int CLeftView::PreferredWidth() const {
  int nWidth = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
  for (int nColumn = 0; nColumn < COLUMN_COUNT; ++nColumn) nWidth += columnWidth(nColumn);
  return nWidth;
}

void CLeftView::SaveColumnWidths() {
  for (int nColumn = 0; nColumn < COLUMN_COUNT; ++nColumn)
    m_store.SetInt(LEFT_LIST_SECTION, ColumnWidthName(nColumn), columnWidth(nColumn));
}

int CLeftView::RowCount() const { return m_pModel->rowCount(); }

const CTDataObject& CLeftView::Frames() const { return m_pModel->List(); }

int CLeftView::SelectedRow() const {
  const QModelIndexList rows = selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.constFirst().row();
}

const TData* CLeftView::RecordAt(int nRow) const {
  if (nRow < 0 || nRow >= RowCount()) return nullptr;
  return &Frames().At(static_cast<size_t>(nRow));
}

// Focus and the selection anchor move to the row, which is scrolled into view; which rows are
// selected stays.
void CLeftView::MarkRow(int nRow) {
  const QModelIndex index = m_pModel->index(nRow, 0);
  scrollTo(index);
  setFocus();
  selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

void CLeftView::OnAdd() { OnAddFrom(CTDataDlg::NewFrame()); }

void CLeftView::OnAddFrom(const TData& start) {
  CTDataDlg dialog(start, this, m_pSignalDatabase);
  if (!RunModal(dialog)) return;
  if (!m_pModel->Add(dialog.Result())) {
    ShowMessage(IDS_DUPLICATE_TDATA, EMessageIcon::INFORMATION);
    return;
  }
  MarkRow(RowCount() - 1);
  emit StateChanged();
}

void CLeftView::OnModify() {
  const int nRow = SelectedRow();
  const TData* pRecord = RecordAt(nRow);
  if (!pRecord) return;
  CTDataDlg dialog(*pRecord, this, m_pSignalDatabase);
  if (!RunModal(dialog)) return;
  // In place, without the duplicate test: a row may become a copy of another.
  m_pModel->SetAt(nRow, dialog.Result());
  if (IsRowCycling(nRow) && (dialog.Result().wPeriodMs == 0 || !StartRowCycle(nRow))) StopRowCycle(nRow);
  MarkRow(nRow);
  emit StateChanged();
}

// Nothing is selected afterwards, so a second Delete (or a held key) removes nothing the user
// did not choose.
void CLeftView::OnDelete() {
  const int nRow = SelectedRow();
  if (!RecordAt(nRow)) return;
  StopRowCycle(nRow);
  m_pModel->RemoveAt(nRow);
  selectionModel()->clear();
  emit StateChanged();
}

void CLeftView::OnDeleteAll() {
  if (RowCount() == 0) return;
  StopListCycles();
  m_pModel->RemoveAll();
  emit StateChanged();
}

void CLeftView::OnSend() { SendRow(SelectedRow()); }

bool CLeftView::EnsurePortOpen() {
  std::string reason;
  if (m_fnEnsurePortOpen(reason)) return true;
  ShowMessage(IDS_PORT_OPEN_FAILED, EMessageIcon::ERROR, EMessageButtons::OK, reason);
  return false;
}

void CLeftView::SendRow(int nRow) {
  const TData* pRecord = RecordAt(nRow);
  if (!pRecord || !EnsurePortOpen()) return;
  // A record from a file is taken as stored; SendLength keeps the send within 8 bytes.
  const auto abyData = DataBytesOf(*pRecord);
  m_channel.SendFrame(pRecord->bStandardID != 0, pRecord->bDataFrame != 0, SendLength(*pRecord), pRecord->dwID,
                      abyData.data());
}

void CLeftView::OnStartCycle() {
  const int nRow = SelectedRow();
  const TData* pRecord = RecordAt(nRow);
  if (!pRecord || pRecord->wPeriodMs == 0 || IsRowCycling(nRow) || !EnsurePortOpen()) return;
  StartRowCycle(nRow);
  emit StateChanged();
}

void CLeftView::OnStopCycle() {
  StopRowCycle(SelectedRow());
  emit StateChanged();
}

void CLeftView::OnStopAllCycles() {
  m_channel.StopAllCycles("모든 주기 송신을 중지했읍니다");
  SyncCycles();
  emit StateChanged();
}

bool CLeftView::StartRowCycle(int nRow) {
  const TData* pRecord = RecordAt(nRow);
  if (!pRecord) return false;
  const uint32_t dwKey = IsRowCycling(nRow) ? m_pModel->CycleKey(nRow) : ++m_dwLastCycleKey;
  const auto abyData = DataBytesOf(*pRecord);
  if (!m_channel.StartCycle(dwKey, pRecord->wPeriodMs, pRecord->bStandardID != 0, pRecord->bDataFrame != 0,
                            SendLength(*pRecord), pRecord->dwID, abyData.data()))
    return false;
  m_pModel->SetCycleKey(nRow, dwKey);
  return true;
}

void CLeftView::StopRowCycle(int nRow) {
  const uint32_t dwKey = m_pModel->CycleKey(nRow);
  if (dwKey == 0) return;
  m_pModel->SetCycleKey(nRow, 0);
  m_channel.StopCycle(dwKey);
}

void CLeftView::StopListCycles() {
  const std::map<int, uint32_t> keys = m_pModel->CycleKeys();  // a copy: stopping changes it
  for (const auto& [nRow, dwKey] : keys) StopRowCycle(nRow);
}

void CLeftView::SyncCycles() {
  const std::map<int, uint32_t> keys = m_pModel->CycleKeys();
  for (const auto& [nRow, dwKey] : keys)
    if (!m_channel.IsCycling(dwKey)) m_pModel->SetCycleKey(nRow, 0);
}

bool CLeftView::IsRowCycling(int nRow) const { return m_pModel->CycleKey(nRow) != 0; }

bool CLeftView::AnyCycling() const { return !m_pModel->CycleKeys().empty(); }

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
  if (!path.empty()) OpenFile(path);
}

bool CLeftView::OpenFile(const std::string& path) {
  if (!ConfirmDiscard()) return false;
  std::unique_ptr<CTDataObject> pLoaded;
  const CFileResult result = ReadTransmitFile(path, pLoaded);
  if (!result.m_bOk) {
    ShowFileFailure(IDS_TFILE_OPEN_FAILED, result);
    return false;
  }
  StopListCycles();
  m_pModel->Replace(std::move(pLoaded));
  if (RowCount() > 0) MarkRow(RowCount() - 1);
  emit StateChanged();
  StoreFileDirectory(path);
  return true;
}

void CLeftView::OnSaveFile() { SaveToChosenFile(); }

bool CLeftView::SaveToChosenFile() {
  const std::string path = ChooseFile(true);
  if (path.empty()) return false;
  std::error_code error;  // a dangling symbolic link is there too
  const bool bExists = std::filesystem::exists(std::filesystem::symlink_status(path, error));
  if (bExists && ShowMessageWith(IDS_TFILE_OVERWRITE, path, EMessageIcon::QUESTION, EMessageButtons::YES_NO) !=
                     EMessageAnswer::YES)
    return false;
  const CFileResult result = WriteTransmitFile(path, Frames());
  if (!result.m_bOk) {
    ShowFileFailure(IDS_TFILE_SAVE_FAILED, result);
    return false;
  }
  m_pModel->SetSaved();
  StoreFileDirectory(path);
  return true;
}

bool CLeftView::ConfirmDiscard() {
  if (!Frames().IsModified()) return true;
  switch (ShowMessage(IDS_TLIST_CHANGED, EMessageIcon::QUESTION, EMessageButtons::YES_NO_CANCEL)) {
    case EMessageAnswer::YES: return SaveToChosenFile();
    case EMessageAnswer::NO: return true;
    default: return false;
  }
}

void CLeftView::keyPressEvent(QKeyEvent* pEvent) {
  if (pEvent->key() == Qt::Key_Delete) OnDelete();
  QTableView::keyPressEvent(pEvent);
}
