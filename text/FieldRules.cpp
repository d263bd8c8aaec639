#include "text/FieldRules.h"

#include <sys/stat.h>

namespace {

bool Exists(const std::string& path, bool* pbDirectory = nullptr) {
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return false;
  if (pbDirectory) *pbDirectory = S_ISDIR(st.st_mode);
  return true;
}

// The part before the last "/"; "/" itself for an entry at the root, "" without a "/".
std::string DirectoryPart(const std::string& path) {
  const auto nSlash = path.rfind('/');
  if (nSlash == std::string::npos) return {};
  return nSlash == 0 ? std::string("/") : path.substr(0, nSlash);
}

// 0..15 for a hexadecimal digit, -1 for any other character.
int HexDigitOf(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

void AppendHex(std::string& out, uint32_t dwValue, unsigned nDigits) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  for (unsigned i = nDigits; i-- > 0;) out += kDigits[(dwValue >> (4 * i)) & 0xF];
}

bool IsHexText(std::string_view text) {
  for (const char c : text)
    if (HexDigitOf(c) < 0) return false;
  return true;
}

uint8_t LeadingHexByte(std::string_view text) {
  uint8_t byValue = 0;
  for (const char c : text) {
    const int nDigit = HexDigitOf(c);
    if (nDigit < 0) break;
    byValue = static_cast<uint8_t>((byValue << 4) | nDigit);
  }
  return byValue;
}

std::string ExistingDirectoryOf(const std::string& path) {
  bool bDirectory = false;
  if (Exists(path, &bDirectory)) return bDirectory ? path : DirectoryPart(path);
  const std::string directory = DirectoryPart(path);
  return Exists(directory) ? directory : std::string();
}
