#pragma once
// The symbolic link korvex-sim makes to its pseudo-terminal, so clients can use a fixed path.
// An existing symbolic link is replaced; anything else at the path is left alone. The link is
// removed on exit, but only while it still points where this program made it point.
#include <string>

class CSimLink {
public:
  enum EResult { LINK_OK, LINK_PATH_TAKEN, LINK_FAILED };

  CSimLink() = default;
  ~CSimLink() { Remove(); }
  CSimLink(const CSimLink&) = delete;
  CSimLink& operator=(const CSimLink&) = delete;

  // On a failure, error says why.
  EResult Create(const std::string& linkPath, const std::string& target, std::string& error);
  void Remove();

private:
  std::string m_linkPath;
  std::string m_target;
};
