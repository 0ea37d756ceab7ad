// The skin authors' command-line tool, callable in-process (main.cpp only forwards to it).
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace vex::tool {

// Exit statuses besides the extraction results 0, 1 and 2.
inline constexpr int kExitUsage = 64;

// Runs one command. `args` excludes the program name and is UTF-8.
int RunVskTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace vex::tool
