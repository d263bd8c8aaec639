#pragma once
// The per-user key-value store behind the settings: values by section and name, integers and
// texts. The program's store is an INI file (CQtSettingsStore); tests use CMemorySettingsStore.
// Stored values are untrusted: a value that is missing or is not an integer reads as nullopt,
// and the caller falls back to its default.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class SettingsStore {
public:
  virtual ~SettingsStore() = default;
  virtual std::optional<int64_t> GetInt(std::string_view section, std::string_view name) const = 0;
  virtual std::optional<std::string> GetString(std::string_view section, std::string_view name) const = 0;
  virtual void SetInt(std::string_view section, std::string_view name, int64_t nValue) = 0;
  virtual void SetString(std::string_view section, std::string_view name, std::string_view value) = 0;
  // Writes what was set to the backing file; false when that failed, and LastError() says why
  // ("/home/u/.config/Ostwind: Permission denied").
  virtual bool Flush() = 0;
  virtual std::string LastError() const = 0;
};

// The integer a stored text holds: optional blanks around an optional "-" and decimal digits,
// or "0x" and hexadecimal digits (for hand-edited files). Anything else, or a value outside
// 64 bits, is nullopt.
//   "28" -> 28   " -1 " -> -1   "0x1C" -> 28   "1C" -> nullopt   "" -> nullopt
std::optional<int64_t> ParseSettingsInt(std::string_view text);
