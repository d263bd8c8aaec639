#pragma once
// A message's signals as editable physical values over 8 data bytes: each row the signal's
// name, value, unit, raw value and value-table text. Typing a value writes it into the bytes
// (rounded to the signal's step and clamped to its range, which the note under the table
// then says) and emits DataEdited; ShowData shows the values of other bytes. A multiplexed
// signal whose multiplexer value is not in the bytes is greyed and not editable.
#include <QWidget>
#include <array>
#include <cstdint>

#include "signals/DbcDatabase.h"

class QLabel;
class QTableWidget;

class CSignalEditor final : public QWidget {
  Q_OBJECT
public:
  explicit CSignalEditor(QWidget* pParent = nullptr);
  // The message stays owned by its database, which outlives the editor.
  void SetMessage(const DbcMessage* pMessage);
  const DbcMessage* Message() const { return m_pMessage; }
  void ShowData(const std::array<uint8_t, 8>& data);
  const std::array<uint8_t, 8>& Data() const { return m_data; }
  QTableWidget* Table() const { return m_pTable; }
  QLabel* Note() const { return m_pNote; }

signals:
  void DataEdited();

private:
  void OnValueEdited(int nRow, int nColumn);

  const DbcMessage* m_pMessage = nullptr;
  std::array<uint8_t, 8> m_data{};
  QTableWidget* m_pTable;
  QLabel* m_pNote;
  bool m_bShowing = false;  // rows being filled, not edited
};
