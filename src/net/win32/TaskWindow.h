#pragma once

#include <functional>

// The window that tasks from other threads are posted to: a hidden "STATIC" window of the
// loop's thread, there while the network service runs, so the normal message loop (and a
// modal one) hands each task over as one message.
namespace zonbode::net::win32 {

void OpenTaskWindow();
// Drops the tasks still queued.
void CloseTaskWindow();
void PostTaskToWindow(std::function<void()> task);

}  // namespace zonbode::net::win32
