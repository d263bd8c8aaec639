#pragma once
// The transmit list as a table model: the five column texts of a record, made when the view
// asks for that row, so a list costs its records' bytes and no more. Every change to the
// list goes through here, so the view hears of it.
#include <QAbstractTableModel>
#include <QIcon>
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

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int nRole) const override;
  QVariant headerData(int nSection, Qt::Orientation eOrientation, int nRole) const override;

private:
  std::unique_ptr<CTDataObject> m_pTData;
  QIcon m_rowIcon;  // drawn once, shown by every row
};
