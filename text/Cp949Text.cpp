#include "text/Cp949Text.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

namespace {

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// One converter per direction and thread; opening one per call would dominate the cost.
class CConverter {
public:
  CConverter(const char* pszTo, const char* pszFrom) : m_cd(iconv_open(pszTo, pszFrom)) {}
  ~CConverter() {
    if (m_cd != reinterpret_cast<iconv_t>(-1)) iconv_close(m_cd);
  }
  CConverter(const CConverter&) = delete;
  CConverter& operator=(const CConverter&) = delete;

  std::optional<std::string> Convert(std::string_view in) {
    if (m_cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    iconv(m_cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    std::string out(in.size() * 2 + 8, '\0');  // CP949 <-> UTF-8 grows at most 3/2
    char* pIn = const_cast<char*>(in.data());
    std::size_t nIn = in.size();
    char* pOut = out.data();
    std::size_t nOut = out.size();
    // Any stop short of the end (invalid or unconvertible input) fails the whole text.
    if (iconv(m_cd, &pIn, &nIn, &pOut, &nOut) == static_cast<std::size_t>(-1) || nIn != 0)
      return std::nullopt;
    out.resize(out.size() - nOut);
    return out;
  }

private:
  iconv_t m_cd;
};

std::optional<std::string> Convert(std::string_view text, bool bToCp949) {
  if (IsAscii(text)) return std::string(text);  // both encodings extend ASCII unchanged
  thread_local CConverter toCp949("CP949", "UTF-8");
  thread_local CConverter toUtf8("UTF-8", "CP949");
  return (bToCp949 ? toCp949 : toUtf8).Convert(text);
}

// Screen width when there is no CP949 form: two per non-ASCII character.
std::size_t FallbackWidth(std::string_view utf8) {
  std::size_t nWidth = 0;
  for (const char c : utf8) {
    const auto by = static_cast<unsigned char>(c);
    if (by < 0x80) ++nWidth;
    else if ((by & 0xC0) != 0x80) nWidth += 2;  // a lead byte starts one character
  }
  return nWidth;
}

}  // namespace

std::optional<std::string> Utf8ToCp949(std::string_view utf8) { return Convert(utf8, true); }
std::optional<std::string> Cp949ToUtf8(std::string_view cp949) { return Convert(cp949, false); }

std::optional<std::size_t> Cp949Width(std::string_view utf8) {
  if (IsAscii(utf8)) return utf8.size();
  const auto cp949 = Utf8ToCp949(utf8);
  if (!cp949) return std::nullopt;
  return cp949->size();
}

std::size_t Cp949ScreenWidth(std::string_view utf8) {
  return Cp949Width(utf8).value_or(FallbackWidth(utf8));
}

std::string PadToCp949Width(std::string_view utf8, std::size_t nWidth) {
  const std::size_t nHave = Cp949ScreenWidth(utf8);
  std::string out(utf8);
  if (nHave < nWidth) out.append(nWidth - nHave, ' ');
  return out;
}

std::string FormatEventText(std::string_view title, std::string_view detail) {
  std::string out = PadToCp949Width(title, 27);
  out += " : ";
  out += detail;
  return out;
}
