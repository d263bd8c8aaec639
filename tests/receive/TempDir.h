#pragma once
// A private directory under /tmp for one test, removed with everything in it.
#include <string>

#include "support/ScratchDir.h"

class CTempDir : public ScratchDir {
public:
  std::string File(const std::string& name) const { return *this / name; }
};
