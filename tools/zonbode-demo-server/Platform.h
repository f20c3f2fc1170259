#pragma once

#include <string>

// What the demo server needs from the operating system besides the page server's stop
// requests: the folder the executable lives in.
namespace zonbode::demo {

// The folder of the running executable, or "" when it cannot be told.
std::string ExecutableFolder();

}  // namespace zonbode::demo
