#pragma once

#include <string>

namespace zonbode::app::win32 {

// The full path of the running program's file, however long (deeper than MAX_PATH, or in a
// folder the ANSI code page cannot write); "" when the system cannot say.
std::wstring ProgramPath();

}  // namespace zonbode::app::win32
