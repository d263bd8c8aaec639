#pragma once
// UTF-8 texts of the core, and the string table's texts, as Qt strings.
#include <QCoreApplication>
#include <QString>
#include <string>
#include <string_view>

#include "resources/StringTable.h"

inline QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The string table's text in the window's language.
inline QString LoadQString(unsigned nStringId) {
  return QCoreApplication::translate("StringTable", std::string(LoadString(nStringId)).c_str());
}

// A file-type filter of the string table, "description(*.txt)|*.txt||", as a file dialog takes
// it: the description, whose parentheses hold the pattern.
inline QString QtFileFilter(unsigned nStringId) {
  const QString filter = LoadQString(nStringId);
  return filter.left(filter.indexOf(QLatin1Char('|')));
}
