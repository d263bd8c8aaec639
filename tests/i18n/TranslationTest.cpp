// The window in Korean and in English, each as a start of the program makes it: the menus
// follow the language, the event log window shows the events translated, and the log files
// of the same session are the same bytes either way.
#include <QMenuBar>
#include <QRegularExpression>
#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <regex>

#include "CFrameTestBed.h"
#include "receive/CRDView.h"
#include "text/Cp949Text.h"
#include "uisupport/Translations.h"

namespace {

std::time_t FixedClock() { return 1714567507; }  // the same second on every log line

struct CSession {
  QStringList m_menus;
  QStringList m_events;       // as the event log window shows them
  QStringList m_received;     // the receive list
  std::string m_eventLog;     // the files' bytes
  std::string m_rdataLog;
};

// A start in the language, the module's answers to a few commands, a frame received, and the close.
class CSessionBed final : public CFrameTestBed {
public:
  CSession Run(ELanguage eLanguage) {
    InstallTranslations(eLanguage);  // Korean may lack the toolkit's own file; the program's texts are Korean anyway
    m_pfnLogClock = &FixedClock;
    m_store.SetInt(SETTINGS_SECTION, SETTING_EVENT_LOG_FLAG, 1);  // both logs in their default places
    m_store.SetInt(SETTINGS_SECTION, SETTING_RDATA_LOG_FLAG, 1);
    MakeFrame();
    AnswerStartup();
    Receive(Line(":G01") + Line(":U0201230102") + Line(":R00") + Line(":I11") + Line(":V12") + Line(":W0201230102") +
            Line(":Z0C0734000007FF000007FF"));
    CSession session;
    for (QAction* pMenu : m_pFrame->menuBar()->actions()) session.m_menus << pMenu->text();
    for (int n = 0; n < m_pFrame->EventLog()->EntryCount(); ++n) session.m_events << m_pFrame->EventLog()->EntryText(n);
    for (int n = 0; n < m_pFrame->ReceiveView()->LineCount(); ++n) session.m_received << m_pFrame->ReceiveView()->LineText(n);
    EXPECT_TRUE(CloseFrame());
    m_pFrame.reset();
    session.m_eventLog = ReadWholeFile(DefaultEventLogPath(m_strLogDirectory));
    session.m_rdataLog = ReadWholeFile(DefaultRDataLogPath(m_strLogDirectory));
    EXPECT_TRUE(m_shown.empty());
    return session;
  }

private:
  void TestBody() override {}
};

CSession RunSession(ELanguage eLanguage) {
  CSessionBed bed;
  CSession session = bed.Run(eLanguage);
  InstallTranslations(ELanguage::KOREAN);
  return session;
}

const QRegularExpression HANGUL(QStringLiteral("[\\x{AC00}-\\x{D7A3}]"));

TEST(Translation, MenusAndEventWindowFollowTheLanguageTheLogFilesDoNot) {
  const CSession korean = RunSession(ELanguage::KOREAN);
  const CSession english = RunSession(ELanguage::ENGLISH);

  EXPECT_EQ(korean.m_menus, QStringList({"파일(&F)", "동작(&A)", "리스트(&L)", "보기(&V)", "도움말(&H)"}));
  EXPECT_EQ(english.m_menus, QStringList({"&File", "&Action", "&List", "&View", "&Help"}));

  // The same events, each in the window's language; no Korean phrase left over in English.
  ASSERT_EQ(korean.m_events.size(), english.m_events.size());
  EXPECT_GE(korean.m_events.size(), 9);
  EXPECT_TRUE(korean.m_events.contains(QStringLiteral("[CAN 리셋 응답]             : Command Reset"))) << korean.m_events.join('\n').toStdString();
  EXPECT_TRUE(english.m_events.contains(QStringLiteral("[CAN reset reply]           : Command Reset")))
      << english.m_events.join('\n').toStdString();
  for (const QString& line : english.m_events) EXPECT_FALSE(line.contains(HANGUL)) << line.toStdString();
  // The receive list likewise, its columns kept.
  EXPECT_EQ(korean.m_received, QStringList({"CAN2.0A  Data Frame    길이:2  ID:123       데이터:01 02"}));
  EXPECT_EQ(english.m_received, QStringList({"CAN2.0A  Data Frame    DLC:2   ID:123       Data:01 02"}));

  // The files: Korean CP949, byte for byte the same under both languages.
  EXPECT_NE(korean.m_eventLog.find(*Utf8ToCp949("[CAN 리셋 응답]             : Command Reset\r\n")), std::string::npos)
      << korean.m_eventLog;
  EXPECT_NE(korean.m_rdataLog.find("Data Frame"), std::string::npos);
  EXPECT_EQ(std::tuple(korean.m_eventLog, korean.m_rdataLog), std::tuple(english.m_eventLog, english.m_rdataLog));
}

// The Korean literals of a source file outside the translation macros (whose texts the
// toolkit's translation carries): the texts composed into events, failures and files.
std::vector<std::string> LiteralsOutsideTranslation(const std::string& source) {
  static const std::regex MACRO(R"((\btr|\btranslate|KX_TRANSLATE_NOOP|QT_TRANSLATE_NOOP)\s*\($)");
  std::vector<std::string> literals;
  int nSkipDepth = 0, nDepth = 0;
  for (std::size_t i = 0; i < source.size(); ++i) {
    const char c = source[i];
    if (source.compare(i, 2, "//") == 0 || source.compare(i, 2, "/*") == 0) {
      i = source[i + 1] == '/' ? source.find('\n', i) : source.find("*/", i);
    } else if (c == '\'' && i > 0 && !std::isxdigit(static_cast<unsigned char>(source[i - 1]))) {  // not 1'000
      i = source.find('\'', i + (source[i + 1] == '\\' ? 3 : 2));
    } else if (c == '"') {
      std::string literal;
      for (++i; i < source.size() && source[i] != '"'; ++i) literal += source[i] == '\\' ? source[++i] : source[i];
      const bool bKorean = std::any_of(literal.begin(), literal.end(), [](char b) { return (b & 0xF0) == 0xE0; });
      if (bKorean && nSkipDepth == 0) literals.push_back(literal);
    } else if (c == '(') {
      ++nDepth;
      const std::size_t nFrom = i > 20 ? i - 20 : 0;
      if (nSkipDepth == 0 && std::regex_search(source.substr(nFrom, i + 1 - nFrom), MACRO)) nSkipDepth = nDepth;
    } else if (c == ')') {
      if (nDepth == nSkipDepth) nSkipDepth = 0;
      --nDepth;
    }
    if (i == std::string::npos) break;
  }
  return literals;
}

// Whether the literal comes out of the event translation without Korean, or is a piece of a phrase
// that holds numbers (a piece before or after a printf conversion, "기록을 마쳤읍니다: 프레임 ").
bool IsTranslated(const CEventTranslator& translator, const std::string& literal) {
  if (!QString::fromStdString(translator.Translate(literal)).contains(HANGUL)) return true;
  static const std::regex CONVERSION("%[-.0-9]*[a-z]+");
  const std::vector<const char*> phrases = CEventTranslator::Phrases();
  for (std::sregex_token_iterator it(literal.begin(), literal.end(), CONVERSION, -1), end; it != end; ++it) {
    const std::string piece = *it;
    const bool bInPhrase = std::any_of(phrases.begin(), phrases.end(), [&](const char* p) { return std::strstr(p, piece.c_str()); });
    if (QString::fromStdString(piece).contains(HANGUL) && !bInPhrase) return false;
  }
  return true;
}

// Every Korean text the code composes, shown in English, keeps no Korean: a new event text
// needs its phrase in the event translation as well. korvex-cli's option errors come before a
// language is chosen.
TEST(Translation, EveryComposedTextHasItsEnglishPhrases) {
  InstallTranslations(ELanguage::ENGLISH);
  const CEventTranslator translator = MakeEventTranslator();
  InstallTranslations(ELanguage::KOREAN);
  std::vector<std::string> untranslated;
  for (const char* pszFolder : {"app", "cli", "config", "link", "logs", "protocol", "receive", "resources", "signals",
                                 "stats", "text", "transmit", "uisupport"}) {
    for (const auto& entry : std::filesystem::directory_iterator(std::string(KORVEX_SOURCE_DIR "/") + pszFolder)) {
      const std::string path = entry.path().string();
      if (!path.ends_with(".cpp") && !path.ends_with(".h")) continue;
      const std::string relative = path.substr(std::strlen(KORVEX_SOURCE_DIR) + 1);
      if (relative == "cli/CliOptions.cpp") continue;
      for (const std::string& literal : LiteralsOutsideTranslation(ReadWholeFile(path)))
        if (!IsTranslated(translator, literal)) untranslated.push_back(relative + ": " + literal);
    }
  }
  EXPECT_EQ(untranslated, std::vector<std::string>());
}

}  // namespace
