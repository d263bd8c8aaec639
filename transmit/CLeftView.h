#pragma once
// The transmit list, the left-hand column of the frame: a table over CTransmitListModel, row i
// showing record i of its CTDataObject. It carries out the seven transmit commands (add,
// modify, delete, delete all, send, open, save) wherever they come from: the frame's actions
// (menu bar, toolbar, shortcuts and the context menu the frame attaches to the list), a double
// click on a row (sends that row, whether or not a port was found at start-up) and the Delete
// key. A list changed since it was opened or saved is not dropped without asking.
// It also starts and stops the cyclic sends of rows that have a period: a row's cycle stops
// when the row is deleted or the list replaced, and restarts with the new values when the
// row is modified while it runs.
// Column widths live in section "LeftList", "LeftCol 0" to "LeftCol 5".
#include <QTableView>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "transmit/TransmitRowTexts.h"

class CModuleChannel;
class CTDataObject;
class CTransmitListModel;
class SettingsStore;
struct CFileResult;
struct TData;

inline constexpr std::string_view LEFT_LIST_SECTION = "LeftList";

class CDbcDatabase;

class CLeftView final : public QTableView {
  Q_OBJECT
public:
  static constexpr int COLUMN_COUNT = TRANSMIT_COLUMN_COUNT;
  // The system's widths, which fit its texts at its list font; they grow and shrink with
  // the list's font (see DefaultWidth).
  static constexpr std::array<int, COLUMN_COUNT> DEFAULT_WIDTHS = {80, 80, 80, 80, 150, 90};

  // True with a port open on return (opening the configured one if needed); else says why.
  using PortOpener = std::function<bool(std::string& strReason)>;

  CLeftView(SettingsStore& store, CModuleChannel& channel, PortOpener fnEnsurePortOpen, QWidget* pParent = nullptr);
  ~CLeftView() override;

  int RowCount() const;
  // The selected row, -1 for none.
  int SelectedRow() const;
  const CTDataObject& Frames() const;
  // A column's width when the settings hold none: the system's, scaled to the list's font.
  int DefaultWidth(int nColumn) const;
  // Room for every column as it is now, with the frame and a vertical scroll bar.
  int PreferredWidth() const;

  void OnAdd();
  // The add command's dialog, starting from the given frame instead of a new one.
  void OnAddFrom(const TData& start);
  void OnModify();
  // The frame dialog's "신호" page edits frames by this database's signals; null: no page.
  void SetSignalDatabase(std::shared_ptr<const CDbcDatabase> pDatabase) { m_pSignalDatabase = std::move(pDatabase); }
  void OnDelete();
  void OnDeleteAll();
  void OnSend();
  void OnStartCycle();
  void OnStopCycle();
  void OnStopAllCycles();
  // The channel started or stopped cycles (it stops them all on close, port loss and the
  // communication error): rows whose cycle no longer runs stop showing it.
  void SyncCycles();
  bool IsRowCycling(int nRow) const;
  bool AnyCycling() const;
  void OnOpenFile();
  void OnSaveFile();

  // Opens the transmit file at path as the open command does once the file is chosen: the
  // question about unsaved changes, the checks and the messages. True when the list now
  // holds the file.
  bool OpenFile(const std::string& path);
  // Before the list is dropped (another file opened, the window closed): with changes since
  // it was opened or saved, asks whether to save them. True when the list may go (nothing
  // changed, saved, or the changes given up); false when the user cancelled, or the save did
  // not happen.
  bool ConfirmDiscard();

  void SaveColumnWidths();

signals:
  // Rows or the selection changed: the commands' enable states may have to follow.
  void StateChanged();

protected:
  void keyPressEvent(QKeyEvent* pEvent) override;

private:
  const TData* RecordAt(int nRow) const;
  void SendRow(int nRow);
  bool EnsurePortOpen();
  // Starts (or restarts with the row's values) the row's cycle; false when it did not run.
  bool StartRowCycle(int nRow);
  void StopRowCycle(int nRow);
  void StopListCycles();
  void MarkRow(int nRow);
  // The chosen path, empty when cancelled.
  std::string ChooseFile(bool bSave);
  bool SaveToChosenFile();
  void StoreFileDirectory(const std::string& path);

  SettingsStore& m_store;
  CModuleChannel& m_channel;
  PortOpener m_fnEnsurePortOpen;
  CTransmitListModel* m_pModel;
  std::shared_ptr<const CDbcDatabase> m_pSignalDatabase;
  uint32_t m_dwLastCycleKey = 0;
};
