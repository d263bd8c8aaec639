#pragma once
// A private directory under /tmp for one test, removed with everything in it.
#include <cstdlib>
#include <filesystem>
#include <string>

class CTempDir {
public:
  CTempDir() {
    char szTemplate[] = "/tmp/korvex-test-XXXXXX";
    const char* psz = ::mkdtemp(szTemplate);
    m_path = psz ? psz : "";
  }
  ~CTempDir() {
    std::error_code ec;
    if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
  }
  CTempDir(const CTempDir&) = delete;
  CTempDir& operator=(const CTempDir&) = delete;

  const std::string& Path() const { return m_path; }
  std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
  std::string m_path;
};
