#pragma once
// The language of the window and of korvex-cli's event texts. Korean is the program's own; English
// is a translation of it. Chosen as the toolkit chooses: --lang first, then the language the
// settings remember from an earlier --lang, then the locale (LC_ALL, LC_MESSAGES, LANG: the
// first one set and not empty decides; Korean when it starts with "ko", English for every other
// locale, "C" and none at all included).
//   ("", "", LC_ALL=unset, LC_MESSAGES="ko_KR.UTF-8", LANG="en_US.UTF-8") -> KOREAN
//   ("en", ...)                                                           -> ENGLISH
#include <optional>
#include <string_view>

enum class ELanguage { KOREAN, ENGLISH };

// "ko" or "en" (as --lang and the settings write them); nullopt for anything else.
std::optional<ELanguage> ParseLanguage(std::string_view name);
std::string_view LanguageName(ELanguage eLanguage);

struct CLocaleEnvironment {
  const char* pszLcAll = nullptr;       // LC_ALL; null: not set
  const char* pszLcMessages = nullptr;  // LC_MESSAGES
  const char* pszLang = nullptr;        // LANG
};
CLocaleEnvironment CurrentLocaleEnvironment();

ELanguage LanguageOfLocale(const CLocaleEnvironment& environment);

// The option's and the stored value's text may be empty (not given) or anything at all; a
// value that names no language is passed over.
ELanguage ChooseLanguage(std::string_view option, std::string_view stored, const CLocaleEnvironment& environment);
