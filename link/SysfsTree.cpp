#include "link/SysfsTree.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

std::string SysfsRoot() {
  const char* pszRoot = std::getenv("KORVEX_SYSFS_ROOT");
  return (pszRoot && *pszRoot) ? std::string(pszRoot) : std::string("/sys");
}

std::optional<std::string> ReadSysfsAttr(const std::string& dir, const std::string& name) {
  const std::string path = dir + "/" + name;
  std::unique_ptr<FILE, int (*)(FILE*)> pFile(std::fopen(path.c_str(), "re"), &std::fclose);
  if (!pFile) return std::nullopt;
  char szBuffer[SYSFS_ATTR_MAX];
  const std::size_t nRead = std::fread(szBuffer, 1, sizeof szBuffer, pFile.get());
  if (std::ferror(pFile.get())) return std::nullopt;  // a directory fails here with EISDIR

  std::string text(szBuffer, nRead);
  text.erase(std::min(text.find('\n'), text.size()));
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.pop_back();
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return text;
}
