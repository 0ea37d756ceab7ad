// Checks a skin against what the engine assumes when it paints.
#pragma once

#include <string>
#include <vector>

#include "skin2/skin_file_reader.h"

namespace vex::tool {

struct TFinding {
  bool error;           // false: a warning
  std::string key;      // the record the finding is about
  std::string message;  // what is wrong, in words for the skin's author
};

std::vector<TFinding> VerifySkin(const skin2::Tsk2SkinFileReader& skin);

}  // namespace vex::tool
