#include "uisupport/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

namespace {

// The program's translation is built into the program, so it is found the same from the build
// tree and from an installed copy.
constexpr const char* PROGRAM_TRANSLATION = ":/i18n/korvex_en.qm";

std::unique_ptr<QTranslator> g_pProgram;  // the application owns the translators it uses
std::unique_ptr<QTranslator> g_pToolkit;

bool Install(std::unique_ptr<QTranslator>& pSlot, const QString& file, const QString& directory) {
  auto pTranslator = std::make_unique<QTranslator>();
  if (!pTranslator->load(file, directory)) return false;
  QCoreApplication::installTranslator(pTranslator.get());
  pSlot = std::move(pTranslator);
  return true;
}

}  // namespace

// Outside the namespace: the macro declares the resource's initialiser where it stands. Called,
// it also keeps the linker from leaving the resource out of a program.
static void InitResources() { Q_INIT_RESOURCE(korvex_translations); }

bool InstallTranslations(ELanguage eLanguage) {
  InitResources();
  for (auto* pSlot : {&g_pProgram, &g_pToolkit}) {
    if (*pSlot) QCoreApplication::removeTranslator(pSlot->get());
    pSlot->reset();
  }
  if (eLanguage == ELanguage::ENGLISH) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    return Install(g_pProgram, QString::fromLatin1(PROGRAM_TRANSLATION), QString());
  }
  QLocale::setDefault(QLocale(QLocale::Korean, QLocale::SouthKorea));
  return Install(g_pToolkit, QStringLiteral("qtbase_ko"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

CEventTranslator MakeEventTranslator() {
  return CEventTranslator([](const char* pszPhrase) { return QCoreApplication::translate("Events", pszPhrase).toStdString(); });
}
