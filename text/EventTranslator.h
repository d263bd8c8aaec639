#pragma once
// The event texts as a reader of another language sees them. An event is composed in Korean and
// written so to the event log file; the event log window and korvex-cli --lang en show it with
// every known phrase replaced by its translation, the title padded again to its column.
//   "[CAN 리셋 응답]             : Command Reset"  -> "[CAN reset response]        : Command Reset"
//   "[Korvex 버전 응답]          : 버전 1.2"      -> "[Korvex version response]   : version 1.2"
// A phrase may hold numbers (%1, %2 ...: a run of digits and points), which its translation
// places where the other language puts them. Text that is no known phrase (paths, system
// texts in English) is left as it is.
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class CEventTranslator {
public:
  // Gives a phrase's translation, or the phrase itself where there is none.
  using PhraseLookup = std::function<std::string(const char* pszPhrase)>;

  CEventTranslator() = default;  // translates nothing
  explicit CEventTranslator(const PhraseLookup& fnLookup);

  std::string Translate(std::string_view text) const;
  bool IsActive() const { return !m_phrases.empty(); }

  // Every phrase of the event texts, and of the failure texts shown beside a message.
  static std::vector<const char*> Phrases();

private:
  struct CPhrase {
    std::vector<std::string> m_literals;  // one more than the numbers between them
    std::string m_translation;
  };

  // The phrase matched at the start of text, its translation appended to out; the length
  // matched, 0 for none.
  std::size_t TranslateAt(std::string_view text, std::string& out) const;
  std::string TranslatePhrases(std::string_view text) const;

  std::vector<CPhrase> m_phrases;  // longest first
  std::vector<std::size_t> m_byFirstByte[256];
};

// The text with %1 ... %9 replaced by the values (as plain text, never read as a format); a %N
// without a value stays as it is.
//   ("%1 frames/s  load %2", {"12", "3.5%"}) -> "12 frames/s  load 3.5%"
void AppendFilled(std::string_view text, std::span<const std::string_view> values, std::string& out);
