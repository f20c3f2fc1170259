#pragma once

#include "live/PageServer.h"

namespace zonbode::pageserver {

// Runs the event loop for a started server until a stop request comes (WatchStopRequests must
// have been called), closing expired connections on the way, then stops the server. Timers the
// caller added to the loop tick meanwhile.
void ServeUntilStopped(live::PageServer& server);

}  // namespace zonbode::pageserver
