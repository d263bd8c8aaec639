#include "config/FieldRules.h"

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

}  // namespace

bool IsHexText(std::string_view text) {
  for (const char c : text) {
    const bool bHex = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    if (!bHex) return false;
  }
  return true;
}

std::string ExistingDirectoryOf(const std::string& path) {
  bool bDirectory = false;
  if (Exists(path, &bDirectory)) return bDirectory ? path : DirectoryPart(path);
  const std::string directory = DirectoryPart(path);
  return Exists(directory) ? directory : std::string();
}
