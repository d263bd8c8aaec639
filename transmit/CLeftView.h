#pragma once
// The transmit list, the left-hand column of the frame: one row per frame of its CTDataObject,
// row i always showing record i. It carries out the seven transmit commands (add, modify,
// delete, delete all, send, open, save) wherever they come from: the frame's actions (menu bar,
// toolbar, shortcuts and the context menu the frame attaches to the list), a double click on a
// row (sends that row, whether or not a port was found at start-up) and the Delete key.
//   CAN 2.0A, data, id 0x123, length 2, bytes 11 22 -> "CAN2.0A" "Data Frame" "01 23" "2" "11 22"
// Column widths live in section "LeftList", "LeftCol 0" to "LeftCol 4".
#include <QIcon>
#include <QTableWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class CModuleChannel;
class CTDataObject;
class SettingsStore;
struct TData;

inline constexpr std::string_view LEFT_LIST_SECTION = "LeftList";

class CLeftView final : public QTableWidget {
  Q_OBJECT
public:
  static constexpr int COLUMN_COUNT = 5;
  static constexpr std::array<int, COLUMN_COUNT> DEFAULT_WIDTHS = {80, 80, 80, 80, 150};

  // True with a port open on return (opening the configured one if needed); else says why.
  using PortOpener = std::function<bool(std::string& strReason)>;

  CLeftView(SettingsStore& store, CModuleChannel& channel, PortOpener fnEnsurePortOpen, QWidget* pParent = nullptr);
  ~CLeftView() override;

  // The selected row, -1 for none.
  int SelectedRow() const;
  const CTDataObject& Frames() const { return *m_pTData; }

  void OnAdd();
  // The add command's dialog, starting from the given frame instead of a new one.
  void OnAddFrom(const TData& start);
  void OnModify();
  void OnDelete();
  void OnDeleteAll();
  void OnSend();
  void OnOpenFile();
  void OnSaveFile();

  void SaveColumnWidths();

signals:
  // Rows or the selection changed: the commands' enable states may have to follow.
  void StateChanged();

protected:
  void keyPressEvent(QKeyEvent* pEvent) override;

private:
  TData* RecordAt(int nRow);
  void SendRow(int nRow);
  void ShowRow(int nRow);
  void MarkRow(int nRow);
  void RebuildRows();
  // The chosen path, empty when cancelled.
  std::string ChooseFile(bool bSave);
  void StoreFileDirectory(const std::string& path);

  SettingsStore& m_store;
  CModuleChannel& m_channel;
  PortOpener m_fnEnsurePortOpen;
  std::unique_ptr<CTDataObject> m_pTData;
  QIcon m_rowIcon;  // drawn once, shown by every row
};
