#include "config/SettingsStore.h"

#include <charconv>

std::optional<int64_t> ParseSettingsInt(std::string_view text) {
  const auto nFirst = text.find_first_not_of(" \t");
  if (nFirst == std::string_view::npos) return std::nullopt;
  text = text.substr(nFirst, text.find_last_not_of(" \t") - nFirst + 1);

  int nBase = 10;
  if (text.starts_with("0x") || text.starts_with("0X")) {
    text.remove_prefix(2);
    nBase = 16;
  }
  if (text.empty() || text.front() == '+' || (nBase == 16 && text.front() == '-')) return std::nullopt;
  int64_t nValue = 0;
  const auto [pEnd, error] = std::from_chars(text.data(), text.data() + text.size(), nValue, nBase);
  if (error != std::errc() || pEnd != text.data() + text.size()) return std::nullopt;
  return nValue;
}
