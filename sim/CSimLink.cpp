#include "sim/CSimLink.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// The target of a symbolic link, or an empty string when the path is no link.
std::string LinkTarget(const std::string& path) {
  char szTarget[4096];
  const ssize_t n = ::readlink(path.c_str(), szTarget, sizeof szTarget);
  return n > 0 && static_cast<size_t>(n) < sizeof szTarget ? std::string(szTarget, static_cast<size_t>(n))
                                                          : std::string();
}

}  // namespace

CSimLink::EResult CSimLink::Create(const std::string& linkPath, const std::string& target,
                                   std::string& error) {
  Remove();
  struct stat info {};
  if (::lstat(linkPath.c_str(), &info) == 0) {
    if (!S_ISLNK(info.st_mode)) {
      error = linkPath + " exists and is not a symbolic link; not replacing it";
      return LINK_PATH_TAKEN;
    }
    if (::unlink(linkPath.c_str()) != 0 && errno != ENOENT) {
      error = linkPath + ": " + std::strerror(errno);
      return LINK_FAILED;
    }
  }
  if (::symlink(target.c_str(), linkPath.c_str()) != 0) {
    error = linkPath + ": " + std::strerror(errno);
    return LINK_FAILED;
  }
  m_linkPath = linkPath;
  m_target = target;
  return LINK_OK;
}

void CSimLink::Remove() {
  if (m_linkPath.empty()) return;
  if (LinkTarget(m_linkPath) == m_target) ::unlink(m_linkPath.c_str());
  m_linkPath.clear();
  m_target.clear();
}
