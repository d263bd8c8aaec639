#include "config/CQtSettingsStore.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QStandardPaths>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace {

std::string WithReason(const std::string& path, int nError) {
  const char* pszText = strerrordesc_np(nError);
  return path + ": " + (pszText != nullptr ? pszText : "error " + std::to_string(nError));
}

// QSettings tells only that the file could not be written. Why is found by asking for what it
// needs: the nearest folder that exists, to make the missing ones or the new file in, and the
// file itself when it is there.
std::string WriteProblem(const std::string& filePath) {
  std::filesystem::path folder = std::filesystem::path(filePath).parent_path();
  while (folder.has_relative_path() && ::access(folder.c_str(), F_OK) != 0) folder = folder.parent_path();
  if (!folder.empty() && ::access(folder.c_str(), W_OK | X_OK) != 0) return WithReason(folder.string(), errno);
  struct stat st {};
  if (::stat(filePath.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return WithReason(filePath, EISDIR);
  if (::access(filePath.c_str(), W_OK) != 0 && errno != ENOENT) return WithReason(filePath, errno);
  return filePath + ": the file could not be written";
}

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
  if (value.typeId() == QMetaType::QByteArray) return value.toByteArray().toStdString();
  // An unquoted text with commas reads as a list, which toString() turns into "": no caller
  // accepts that, so the default is taken.
  return value.toString().toStdString();
}

void CQtSettingsStore::SetInt(std::string_view section, std::string_view name, int64_t nValue) {
  m_pSettings->setValue(KeyOf(section, name), static_cast<qlonglong>(nValue));
}

// A path is kept as the bytes the system gave it. Text that is not UTF-8 (a folder named in
// another encoding) would come back with its odd bytes replaced, so it is stored as bytes
// ("@ByteArray(/home/w\xf6rk/Log/EventLog.txt)"); UTF-8 text is stored as text, as always.
void CQtSettingsStore::SetString(std::string_view section, std::string_view name, std::string_view value) {
  const QByteArray bytes(value.data(), static_cast<qsizetype>(value.size()));
  const QString text = QString::fromUtf8(bytes);
  if (text.toUtf8() == bytes)
    m_pSettings->setValue(KeyOf(section, name), text);
  else
    m_pSettings->setValue(KeyOf(section, name), bytes);
}

bool CQtSettingsStore::Flush() {
  m_pSettings->sync();
  // A file that did not parse leaves FormatError behind even when the good file replacing it
  // was written, so only a failed access counts as a failed save.
  if (m_pSettings->isWritable() && m_pSettings->status() != QSettings::AccessError) {
    m_strLastError.clear();
    return true;
  }
  m_strLastError = WriteProblem(m_pSettings->fileName().toStdString());
  return false;
}

QString CQtSettingsStore::FileName() const { return m_pSettings->fileName(); }
