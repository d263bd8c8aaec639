#pragma once
// A private temporary directory under /tmp for one test, removed with everything in it.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

class ScratchDir {
public:
  ScratchDir() {
    char szTemplate[] = "/tmp/korvex-test-XXXXXX";
    const char* pszPath = ::mkdtemp(szTemplate);
    if (pszPath) m_path = pszPath;
    EXPECT_FALSE(m_path.empty()) << "mkdtemp failed";
  }
  ~ScratchDir() {
    std::error_code error;
    std::filesystem::remove_all(m_path, error);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& Path() const { return m_path; }
  std::string operator/(const std::string& relative) const { return m_path + "/" + relative; }

  // Writes a file (creating its directories) and returns its full path.
  std::string Write(const std::string& relative, const std::string& content) const {
    const std::string path = *this / relative;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }
  std::string MakeDir(const std::string& relative) const {
    const std::string path = *this / relative;
    std::filesystem::create_directories(path);
    return path;
  }
  // A symbolic link at relative, pointing to target as given (relative targets stay relative).
  void Link(const std::string& target, const std::string& relative) const {
    const std::string path = *this / relative;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::filesystem::create_symlink(target, path);
  }

private:
  std::string m_path;
};
