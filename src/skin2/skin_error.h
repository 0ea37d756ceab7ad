// The failure a skin load reports to its caller.
#pragma once

#include <stdexcept>

namespace vex::skin2 {

inline constexpr const char kWrongPasswordMessage[] = "Wrong password!";
inline constexpr const char kFailedToReadMessage[] = "Failed to read skin file!";

// Carries one of the fixed messages above.
class EvexSkinError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace vex::skin2
