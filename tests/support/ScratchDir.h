#pragma once
// A private temporary directory under /tmp for one test, removed with everything in it.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

class ScratchDir {
public:
  ScratchDir() {
    char szTemplate[] = "/tmp/korvex-test-XXXXXX";
    if (const char* pszPath = ::mkdtemp(szTemplate)) m_path = pszPath;
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
    const std::string path = WithParent(relative);
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }
  std::string MakeDir(const std::string& relative) const {
    std::filesystem::create_directories(*this / relative);
    return *this / relative;
  }
  // A symbolic link at relative, pointing to target as given (relative targets stay relative).
  void Link(const std::string& target, const std::string& relative) const {
    std::filesystem::create_symlink(target, WithParent(relative));
  }

private:
  // The full path of relative, its directory created.
  std::string WithParent(const std::string& relative) const {
    std::filesystem::create_directories(std::filesystem::path(*this / relative).parent_path());
    return *this / relative;
  }

  std::string m_path;
};

// A whole file's bytes; empty when it cannot be read.
inline std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A text's lines without their line feeds.
inline std::vector<std::string> Lines(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}
