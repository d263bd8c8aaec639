#pragma once
// The program's settings store: a QSettings INI file. By default the user's file of
// organisation "Ostwind", application "Korvex" (~/.config/Ostwind/Korvex.conf, or under
// $XDG_CONFIG_HOME); a path can be given instead. Sections are INI groups ("Main Setting").
// A file that cannot be read or does not parse gives no values, so every setting takes its
// default; the next save writes a good file in its place.
#include <QSettings>
#include <QString>
#include <memory>
#include <string>

#include "config/SettingsStore.h"

class CQtSettingsStore : public SettingsStore {
public:
  CQtSettingsStore();
  explicit CQtSettingsStore(const QString& filePath);
  ~CQtSettingsStore() override;

  std::optional<int64_t> GetInt(std::string_view section, std::string_view name) const override;
  std::optional<std::string> GetString(std::string_view section, std::string_view name) const override;
  void SetInt(std::string_view section, std::string_view name, int64_t nValue) override;
  void SetString(std::string_view section, std::string_view name, std::string_view value) override;
  bool Flush() override;
  std::string LastError() const override { return m_strLastError; }

  QString FileName() const;

private:
  std::unique_ptr<QSettings> m_pSettings;
  std::string m_strLastError;
};
