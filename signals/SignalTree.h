#pragma once
// The signal tree's items, the same in the signal pane and in an opened log's tab: a message
// (name, identifier) over its signals (name with unit, position), and a signal's value as
// raw, physical with unit and value-table text. Each signal item carries its message and
// signal index for "그래프에 추가".
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "signals/SignalCodec.h"
#include "stats/CFrameStatistics.h"

class QTreeWidgetItem;

enum ESignalTreeColumn { COLUMN_NAME, COLUMN_PLACE, COLUMN_CYCLE, COLUMN_RAW, COLUMN_VALUE, COLUMN_TEXT };

QStringList SignalTreeHeaders();
// "Speed [km/h]".
QString SignalLabel(const DbcSignal& signal);
// Message nMessage of the database with one child per signal.
QTreeWidgetItem* NewMessageItem(const DbcMessage& message, uint32_t nMessage);
// The message and signal index of a signal item; none for a message item.
std::optional<std::pair<uint32_t, uint32_t>> SignalOfItem(const QTreeWidgetItem& item);
// The values data holds, in the signal items of the message's item; the signals it does not
// hold shown empty. values is scratch.
void ShowSignalValues(QTreeWidgetItem& messageItem, const DbcMessage& message, std::span<const uint8_t> data,
                      std::vector<DecodedSignal>& values);
// The per-identifier views' "메시지" column: the name of the entry's message, empty for none.
std::function<QString(const IdStatistics&)> MessageNamerFor(std::shared_ptr<const CDbcDatabase> pDatabase);
