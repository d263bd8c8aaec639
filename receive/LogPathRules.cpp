#include "receive/LogPathRules.h"

#include <filesystem>
#include <system_error>

#include "text/FieldRules.h"
#include "resources/StringTable.h"

namespace {
constexpr std::string_view WHITE_SPACE = " \t\r\n\v\f";
}  // namespace

std::string TrimmedPath(std::string_view path) {
  const size_t nFirst = path.find_first_not_of(WHITE_SPACE);
  if (nFirst == std::string_view::npos) return {};
  return std::string(path.substr(nFirst, path.find_last_not_of(WHITE_SPACE) - nFirst + 1));
}

// ExistingDirectoryOf gives "" for a directory that is gone and for a bare file name. A path
// that is itself a directory, or lies under a plain file, could never be opened as a log.
bool IsUsableLogPath(const std::string& path) {
  std::error_code error;
  if (path.empty() || std::filesystem::is_directory(path, error)) return false;
  return std::filesystem::is_directory(ExistingDirectoryOf(path), error);
}

unsigned CheckLogPaths(const std::string& eventPath, const std::string& rdataPath) {
  if (!IsUsableLogPath(eventPath)) return IDS_EVENT_LOG_PATH_WRONG;
  if (!IsUsableLogPath(rdataPath)) return IDS_RDATA_LOG_PATH_WRONG;
  return 0;
}

std::string BrowseDirectory(std::string_view boxText, const std::string& currentPath) {
  std::string directory = ExistingDirectoryOf(TrimmedPath(boxText));
  return directory.empty() ? ExistingDirectoryOf(currentPath) : directory;
}
