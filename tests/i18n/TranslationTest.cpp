// The window in Korean and in English, each as a start of the program makes it: the menus
// follow the language, the event log window shows the events translated, and the log files
// of the same session are the same bytes either way.
#include <QMenuBar>
#include <QRegularExpression>
#include <algorithm>
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

// The Korean literals of a source file outside comments and the translation macros (whose texts
// the toolkit's translation carries): the texts composed into events, failures and files.
std::vector<std::string> LiteralsOutsideTranslation(const std::string& source) {
  static const std::regex COMMENT(R"re(//[^\n]*|/\*[^*]*\*+([^/*][^*]*\*+)*/|'(\\.|[^'\\])')re");
  static const std::regex MACRO(R"re(\b(tr|translate|KX_TRANSLATE_NOOP|QT_TRANSLATE_NOOP)\s*\((\s*,?\s*"(\\.|[^"\\])*")+\s*\))re");
  static const std::regex LITERAL(R"re("((\\.|[^"\\])*)")re");
  const std::string code = std::regex_replace(std::regex_replace(source, COMMENT, " "), MACRO, " ");
  std::vector<std::string> literals;
  for (std::sregex_iterator it(code.begin(), code.end(), LITERAL), end; it != end; ++it)
    if (QString::fromStdString((*it)[1]).contains(HANGUL)) literals.push_back((*it)[1]);
  return literals;
}

// Whether each piece of the literal around its printf conversions comes out of the event
// translation without Korean, or is part of a phrase that holds numbers ("버전 " of "버전 %1").
bool IsTranslated(const CEventTranslator& translator, const std::string& literal) {
  static const std::regex CONVERSION("%[-.0-9]*[a-z]+");
  const std::vector<const char*> phrases = CEventTranslator::Phrases();
  const auto inPhraseWithNumbers = [&](const std::string& piece) {
    return std::any_of(phrases.begin(), phrases.end(), [&](const char* p) { return std::strchr(p, '%') && std::strstr(p, piece.c_str()); });
  };
  return std::all_of(std::sregex_token_iterator(literal.begin(), literal.end(), CONVERSION, -1), std::sregex_token_iterator(),
                     [&](const std::string& piece) {
                       return !QString::fromStdString(translator.Translate(piece)).contains(HANGUL) || inPhraseWithNumbers(piece);
                     });
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
