#include <iostream>
#include <string>
#include <vector>

#include "vsktool.h"

#ifdef _WIN32
#include <windows.h>

// Wide arguments so that paths outside the ANSI code page arrive intact.
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    int n = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, s.data(), n, nullptr, nullptr);
    args.push_back(std::move(s));
  }
  return vex::tool::RunVskTool(args, std::cout, std::cerr);
}
#else
int main(int argc, char** argv) {
  return vex::tool::RunVskTool(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
#endif
