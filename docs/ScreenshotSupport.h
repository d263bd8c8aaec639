#pragma once
// What the picture programs share: a scratch home, file dialogs answered as a user would, and
// the language of the locale they run in (LANG=ko_KR.UTF-8 for Korean pictures, LANG=C for
// English ones).
#include <unistd.h>

#include <QDialog>
#include <QFileDialog>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "text/Language.h"
#include "uisupport/ModalDialogs.h"
#include "uisupport/Translations.h"

// Settings, the instance registry and the Log directory live in a scratch directory, which is
// also the working directory, so the user's own are never touched; removed at the end.
class CScratchHome {
public:
  CScratchHome() {
    char szPath[] = "/tmp/korvex-screenshot-XXXXXX";
    if (::mkdtemp(szPath) == nullptr || ::chdir(szPath) != 0) return;
    m_path = szPath;
    ::setenv("XDG_CONFIG_HOME", szPath, 1);
    ::setenv("XDG_RUNTIME_DIR", szPath, 1);
  }
  ~CScratchHome() {
    std::error_code error;
    if (!m_path.empty()) std::filesystem::remove_all(m_path, error);
  }
  CScratchHome(const CScratchHome&) = delete;
  CScratchHome& operator=(const CScratchHome&) = delete;

  bool IsReady() const { return !m_path.empty(); }
  std::string operator/(const char* pszName) const { return m_path + "/" + pszName; }

private:
  std::string m_path;
};

inline void AnswerFileDialogs(const std::string& path) {
  SetModalRunner([path](QDialog& dialog) {
    auto* pFileDialog = qobject_cast<QFileDialog*>(&dialog);
    if (pFileDialog == nullptr) return false;
    pFileDialog->selectFile(QString::fromStdString(path));
    dialog.accept();
    return dialog.result() == QDialog::Accepted;
  });
}

// For the programs that show widgets without the analyzer's start, which chooses by itself.
inline void InstallLocaleLanguage() { InstallTranslations(LanguageOfLocale(CurrentLocaleEnvironment())); }
