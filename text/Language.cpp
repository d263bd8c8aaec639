#include "text/Language.h"

#include <cstdlib>

std::optional<ELanguage> ParseLanguage(std::string_view name) {
  if (name == "ko") return ELanguage::KOREAN;
  if (name == "en") return ELanguage::ENGLISH;
  return std::nullopt;
}

std::string_view LanguageName(ELanguage eLanguage) { return eLanguage == ELanguage::KOREAN ? "ko" : "en"; }

CLocaleEnvironment CurrentLocaleEnvironment() {
  return {std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG")};
}

ELanguage LanguageOfLocale(const CLocaleEnvironment& environment) {
  for (const char* pszValue : {environment.pszLcAll, environment.pszLcMessages, environment.pszLang}) {
    if (pszValue == nullptr || *pszValue == '\0') continue;
    return std::string_view(pszValue).starts_with("ko") ? ELanguage::KOREAN : ELanguage::ENGLISH;
  }
  return ELanguage::ENGLISH;
}

ELanguage ChooseLanguage(std::string_view option, std::string_view stored, const CLocaleEnvironment& environment) {
  if (const auto eOption = ParseLanguage(option)) return *eOption;
  if (const auto eStored = ParseLanguage(stored)) return *eStored;
  return LanguageOfLocale(environment);
}
