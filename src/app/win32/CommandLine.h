#pragma once

#include <string>
#include <vector>

namespace zonbode::app::win32 {

// The program's arguments (its name left out) as the user typed them: read as UTF-16 from the
// command line, given as UTF-8. The narrow argv of main() holds them in the ANSI code page,
// which loses every character outside it.
std::vector<std::string> CommandLineArguments();

}  // namespace zonbode::app::win32
