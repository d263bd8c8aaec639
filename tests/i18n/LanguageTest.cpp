// The language choice (option, remembered setting, locale) and the event texts' translation.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "text/Cp949Text.h"
#include "text/EventTranslator.h"
#include "text/Language.h"

namespace {

constexpr ELanguage KO = ELanguage::KOREAN;
constexpr ELanguage EN = ELanguage::ENGLISH;

TEST(Language, OptionThenStoredThenTheFirstLocaleVariableSet) {
  struct CRow {
    const char* m_pszOption;
    const char* m_pszStored;
    CLocaleEnvironment m_environment;
    ELanguage m_eExpected;
  };
  const CRow rows[] = {
      {"", "", {}, EN},                                             // no locale at all
      {"", "", {nullptr, nullptr, "ko_KR.UTF-8"}, KO},
      {"", "", {nullptr, nullptr, "de_DE.UTF-8"}, EN},              // any other locale is English
      {"", "", {nullptr, "ko_KR.UTF-8", "en_US.UTF-8"}, KO},        // LC_MESSAGES before LANG
      {"", "", {"en_US.UTF-8", "ko_KR.UTF-8", "ko_KR.UTF-8"}, EN},  // LC_ALL before both
      {"", "", {"", "", "ko_KR.UTF-8"}, KO},                        // set but empty counts as not set
      {"", "", {nullptr, nullptr, "kok_IN"}, KO},                   // as the rule says: starts with "ko"
      {"en", "", {nullptr, nullptr, "ko_KR.UTF-8"}, EN},            // --lang overrides the locale
      {"ko", "en", {"en_US.UTF-8"}, KO},                            // ... and the remembered choice
      {"", "en", {nullptr, nullptr, "ko_KR.UTF-8"}, EN},            // the remembered one the locale
      {"", "ko", {}, KO},
      {"", "fr", {nullptr, nullptr, "ko_KR.UTF-8"}, KO},            // a bad stored value is passed over
      {"", "ko\n", {}, EN},
      {"xx", "", {nullptr, nullptr, "ko_KR.UTF-8"}, KO},
  };
  for (const CRow& row : rows) {
    EXPECT_EQ(ChooseLanguage(row.m_pszOption, row.m_pszStored, row.m_environment), row.m_eExpected)
        << "option '" << row.m_pszOption << "' stored '" << row.m_pszStored << "' LANG "
        << (row.m_environment.pszLang ? row.m_environment.pszLang : "(unset)");
  }
  EXPECT_EQ(std::tuple(LanguageName(KO), *ParseLanguage(LanguageName(EN))), std::tuple("ko", EN));
}

// A translation with only some of the phrases, as an unfinished catalogue would have it.
CEventTranslator SomeEnglish() {
  static const std::map<std::string, std::string> english = {
      {"[CAN 리셋 응답]", "[CAN reset response]"},
      {"[CAN 에러코드 응답]", "[CAN error code response]"},
      {"[Korvex 버전 응답]", "[Korvex version response]"},
      {"[로그 재생]", "[Log replay]"},
      {"버전 %1", "version %1"},
      {" 에러 발생", " occurred"},
      {"수신 Warning", "Rx Warning"},
      {"수신 ID:", "Rx ID:"},
      {"수신 Mask ID:", "Rx Mask ID:"},
      {"통신 포트가 끊어졌읍니다", "the port was disconnected"},
      {"통신 포트가 끊어졌읍니다 (장치가 분리됨)", "the port was disconnected (device removed)"},
      {"완료: 보낸 프레임 %1, 건너뛴 프레임 %2, 최대 지연 %3 ms", "finished after %3 ms at most: %1 sent, %2 skipped"},
  };
  return CEventTranslator([](const char* pszPhrase) {
    const auto it = english.find(pszPhrase);
    return it != english.end() ? it->second : std::string(pszPhrase);
  });
}

TEST(EventTranslator, PhrasesReplacedTitlesPaddedAgainNumbersKept) {
  const CEventTranslator translator = SomeEnglish();
  ASSERT_TRUE(translator.IsActive());
  // Korean lines as the program composes them; the English ones written out.
  const std::pair<std::string, std::string> cases[] = {
      // The title is padded to its 27 columns again, as the Korean one was.
      {FormatEventText("[CAN 리셋 응답]", "Command Reset"), "[CAN reset response]        : Command Reset"},
      {FormatEventText("[Korvex 버전 응답]", "버전 1.2"), "[Korvex version response]   : version 1.2"},
      {FormatEventText("[CAN 에러코드 응답]", "Bus-Off, 수신 Warning 에러 발생"),
       "[CAN error code response]   : Bus-Off, Rx Warning occurred"},
      // The longer phrase wins over the one it starts with; "Mask ID" over "ID".
      {"통신 포트가 끊어졌읍니다 (장치가 분리됨)", "the port was disconnected (device removed)"},
      {"통신 포트가 끊어졌읍니다!", "the port was disconnected!"},
      {"CAN2.0B  250.00K BPS  수신 ID:00000123  수신 Mask ID:1FFFFFFF", "CAN2.0B  250.00K BPS  Rx ID:00000123  Rx Mask ID:1FFFFFFF"},
      // Numbers go where the translation puts them; a phrase without its number is no match.
      {FormatEventText("[로그 재생]", "완료: 보낸 프레임 12, 건너뛴 프레임 0, 최대 지연 1.5 ms"),
       "[Log replay]                : finished after 1.5 ms at most: 12 sent, 0 skipped"},
      {"버전 x", "버전 x"},
      // What is no known phrase stays: paths, English system texts, untranslated phrases, a banner.
      {FormatEventText("[기록 파일]", "/home/u/수신 로그.log: open: Permission denied"),
       FormatEventText("[기록 파일]", "/home/u/수신 로그.log: open: Permission denied")},
      {"-----  Korvex Analyzer V1.0  -----", "-----  Korvex Analyzer V1.0  -----"},
      {"[CAN 리셋 응답]", "[CAN reset response]"},  // no detail: not an event line, translated as text
      {"", ""},
  };
  for (const auto& [source, expected] : cases) EXPECT_EQ(translator.Translate(source), expected) << source;
}

TEST(EventTranslator, FilledTextTakesValuesAsPlainText) {
  const std::string_view values[] = {"12", "%2", "x%s"};
  std::string out;
  AppendFilled("%1 / %2 / %3 / %4 / 100%", values, out);
  EXPECT_EQ(out, "12 / %2 / x%s / %4 / 100%");
}

}  // namespace
