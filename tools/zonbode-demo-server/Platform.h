#pragma once

#include <string>

// What the demo server needs from the operating system: a stop request from the console
// (SIGINT/SIGTERM, or a console control event) and the folder the executable lives in.
namespace zonbode::demo {

// Starts listening for stop requests; StopRequested turns true once one came.
void WatchStopRequests();
bool StopRequested();

// The folder of the running executable, or "" when it cannot be told.
std::string ExecutableFolder();

}  // namespace zonbode::demo
