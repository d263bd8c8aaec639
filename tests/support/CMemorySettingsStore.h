#pragma once
// A settings store in memory, values kept as the texts an INI file would hold.
#include <map>
#include <string>
#include <utility>

#include "config/SettingsStore.h"

class CMemorySettingsStore : public SettingsStore {
public:
  std::optional<int64_t> GetInt(std::string_view section, std::string_view name) const override {
    const auto text = GetString(section, name);
    return text ? ParseSettingsInt(*text) : std::nullopt;
  }
  std::optional<std::string> GetString(std::string_view section, std::string_view name) const override {
    const auto it = m_values.find(std::pair{std::string(section), std::string(name)});
    return it == m_values.end() ? std::nullopt : std::optional(it->second);
  }
  void SetInt(std::string_view section, std::string_view name, int64_t nValue) override {
    SetString(section, name, std::to_string(nValue));
  }
  void SetString(std::string_view section, std::string_view name, std::string_view value) override {
    m_values[std::pair{std::string(section), std::string(name)}] = std::string(value);
  }
  // A test sets a reason to make every save fail with it.
  bool Flush() override { return m_strFlushFailure.empty(); }
  std::string LastError() const override { return m_strFlushFailure; }

  std::string m_strFlushFailure;

private:
  std::map<std::pair<std::string, std::string>, std::string> m_values;
};
