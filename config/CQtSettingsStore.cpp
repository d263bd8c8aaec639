#include "config/CQtSettingsStore.h"

#include <QStandardPaths>

namespace {

QString KeyOf(std::string_view section, std::string_view name) {
  return QString::fromUtf8(section.data(), static_cast<qsizetype>(section.size())) + QLatin1Char('/') +
         QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

// The INI form with the user scope of QSettings would name the file Korvex.ini; the program's
// file is Korvex.conf in the user's configuration directory ($XDG_CONFIG_HOME or ~/.config).
CQtSettingsStore::CQtSettingsStore()
    : CQtSettingsStore(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                       QStringLiteral("/Ostwind/Korvex.conf")) {}

CQtSettingsStore::CQtSettingsStore(const QString& filePath)
    : m_pSettings(std::make_unique<QSettings>(filePath, QSettings::IniFormat)) {}

CQtSettingsStore::~CQtSettingsStore() = default;

std::optional<int64_t> CQtSettingsStore::GetInt(std::string_view section, std::string_view name) const {
  const auto text = GetString(section, name);
  return text ? ParseSettingsInt(*text) : std::nullopt;
}

std::optional<std::string> CQtSettingsStore::GetString(std::string_view section,
                                                      std::string_view name) const {
  const QVariant value = m_pSettings->value(KeyOf(section, name));
  if (!value.isValid()) return std::nullopt;
  // An unquoted text with commas reads as a list, which toString() turns into "": no caller
  // accepts that, so the default is taken.
  return value.toString().toStdString();
}

void CQtSettingsStore::SetInt(std::string_view section, std::string_view name, int64_t nValue) {
  m_pSettings->setValue(KeyOf(section, name), static_cast<qlonglong>(nValue));
}

void CQtSettingsStore::SetString(std::string_view section, std::string_view name, std::string_view value) {
  m_pSettings->setValue(KeyOf(section, name),
                        QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())));
}

bool CQtSettingsStore::Flush() {
  m_pSettings->sync();
  // A file that did not parse leaves FormatError behind even when the good file replacing it
  // was written, so only a failed access counts as a failed save.
  return m_pSettings->isWritable() && m_pSettings->status() != QSettings::AccessError;
}

QString CQtSettingsStore::FileName() const { return m_pSettings->fileName(); }
