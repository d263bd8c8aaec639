#pragma once
// The transmit list as a table model: the column texts of a record, made when the view
// asks for that row, so a list costs its records' bytes and no more. Every change to the
// list goes through here, so the view hears of it. Rows being sent cyclically carry the key
// their cycle runs under, and show "▶" before their period.
#include <QAbstractTableModel>
#include <QIcon>
#include <cstdint>
#include <map>
#include <memory>

#include "transmit/CTDataObject.h"

class CTransmitListModel final : public QAbstractTableModel {
public:
  explicit CTransmitListModel(QObject* pParent = nullptr);
  ~CTransmitListModel() override;

  const CTDataObject& List() const { return *m_pTData; }
  // False, and nothing changes, for a duplicate.
  bool Add(const TData& record);
  void SetAt(int nRow, const TData& record);
  void RemoveAt(int nRow);
  void RemoveAll();
  // The new list in place of the current one, which goes with its records.
  void Replace(std::unique_ptr<CTDataObject> pTData);
  void SetSaved() { m_pTData->SetSaved(); }

  // The key of the row's running cycle, 0 for none. Keys follow their rows when rows above
  // them go; a removed row's key, and every key on RemoveAll and Replace, is dropped.
  uint32_t CycleKey(int nRow) const;
  void SetCycleKey(int nRow, uint32_t dwKey);
  const std::map<int, uint32_t>& CycleKeys() const { return m_cycleKeys; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int nRole) const override;
  QVariant headerData(int nSection, Qt::Orientation eOrientation, int nRole) const override;

private:
  std::unique_ptr<CTDataObject> m_pTData;
  QIcon m_rowIcon;  // drawn once, shown by every row
  std::map<int, uint32_t> m_cycleKeys;  // row -> cycle key, for the running rows only
};
