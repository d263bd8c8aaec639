#pragma once
#include "support/ScratchDir.h"

// A scratch directory whose files are named by File(name).
class CTempDir : public ScratchDir {
public:
  std::string File(const std::string& name) const { return *this / name; }
};
