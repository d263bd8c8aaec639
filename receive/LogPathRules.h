#pragma once
// What the log path dialog accepts: a path whose directory exists (the file itself need not).
//   "  /home/u/Log/EventLog.txt "   -> "/home/u/Log/EventLog.txt", accepted
//   "/missing/EventLog.txt", "EventLog.txt", "", "/tmp" (a directory) -> refused
#include <string>
#include <string_view>

// Without leading and trailing white space.
std::string TrimmedPath(std::string_view path);
// Not empty, not a directory, and the directory it lies in exists.
bool IsUsableLogPath(const std::string& path);
// OK's check on the two trimmed paths, event log first: 61240, then 61241; 0 when both pass.
unsigned CheckLogPaths(const std::string& eventPath, const std::string& rdataPath);
// The directory the file dialog of a browse button opens in: that of the box's trimmed text,
// or of the log's current path when the text is empty or its directory is gone.
std::string BrowseDirectory(std::string_view boxText, const std::string& currentPath);
