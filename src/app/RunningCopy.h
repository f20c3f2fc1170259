#pragma once

// One copy of the program runs in a user's session. A later start hands over to it and ends:
// the running copy's window comes to the front (Form1::AnotherCopyStarted), out of the tray
// if it was hidden there.
namespace zonbode::app {

// How the copies of one session find each other; each front-end has its own way.
class RunningCopies {
public:
    virtual ~RunningCopies() = default;
    // Makes this copy the session's running one; false when another copy is. A copy that has
    // ended, however it ended, holds nothing.
    virtual bool ClaimRunningCopy() = 0;
    // Asks the running copy to bring its window to the front.
    virtual void WakeRunningCopy() = 0;
};

// True when this start goes on as the running copy; false when another copy runs and has been
// asked to the front: this start then ends.
bool GoOnAsTheRunningCopy(RunningCopies& copies);

}  // namespace zonbode::app
