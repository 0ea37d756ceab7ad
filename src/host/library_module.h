// The module the library's code lives in.
#pragma once

#include <windows.h>

namespace vex::host {

// The program itself when the library is linked statically, the DLL when it is built as one.
// The library registers its window classes in this module and reads its own bitmaps from it;
// the program's resources (its icon, its stored forms) are still read from the program.
HINSTANCE LibraryModule();

}  // namespace vex::host
