#pragma once
// UTF-8 texts of the core as Qt strings.
#include <QString>
#include <string_view>

inline QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
