#pragma once
// A settings store held in memory, values kept as the texts an INI file would hold, so a test
// can also plant values that are not integers.
#include <map>
#include <string>
#include <utility>

#include "config/SettingsStore.h"

class CMemorySettingsStore : public SettingsStore {
public:
  std::optional<int64_t> GetInt(std::string_view section, std::string_view name) const override;
  std::optional<std::string> GetString(std::string_view section, std::string_view name) const override;
  void SetInt(std::string_view section, std::string_view name, int64_t nValue) override;
  void SetString(std::string_view section, std::string_view name, std::string_view value) override;
  bool Flush() override { return true; }

private:
  std::map<std::pair<std::string, std::string>, std::string> m_values;
};
