#include "support/CMemorySettingsStore.h"

std::optional<int64_t> CMemorySettingsStore::GetInt(std::string_view section, std::string_view name) const {
  const auto text = GetString(section, name);
  return text ? ParseSettingsInt(*text) : std::nullopt;
}

std::optional<std::string> CMemorySettingsStore::GetString(std::string_view section,
                                                           std::string_view name) const {
  const auto it = m_values.find(std::pair{std::string(section), std::string(name)});
  if (it == m_values.end()) return std::nullopt;
  return it->second;
}

void CMemorySettingsStore::SetInt(std::string_view section, std::string_view name, int64_t nValue) {
  SetString(section, name, std::to_string(nValue));
}

void CMemorySettingsStore::SetString(std::string_view section, std::string_view name,
                                     std::string_view value) {
  m_values[std::pair{std::string(section), std::string(name)}] = std::string(value);
}
