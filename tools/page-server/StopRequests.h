#pragma once

// A stop request from the console: SIGINT or SIGTERM, or a console control event on Windows.
namespace zonbode::pageserver {

// Starts listening for stop requests; StopRequested turns true once one came.
void WatchStopRequests();
bool StopRequested();

}  // namespace zonbode::pageserver
