#pragma once

#include <string>
#include <vector>

// What the demo server needs from the operating system besides the page server's stop
// requests: the folder the executable lives in, and the arguments as UTF-8.
namespace zonbode::demo {

// The folder of the running executable, or "" when it cannot be told.
std::string ExecutableFolder();

// The arguments after the program's name.
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace zonbode::demo
