#pragma once

#include <functional>
#include <memory>

class QSocketNotifier;

namespace zonbode::app::qt {

// SIGTERM, SIGINT and SIGHUP (a session logging out, Ctrl+C in the terminal) close the
// window the way its close button does, so the settings are stored and the status is
// switched off. The handler only writes to a pipe; the close runs on the event loop.
class CloseOnSignal {
public:
    explicit CloseOnSignal(std::function<void()> close);
    CloseOnSignal(const CloseOnSignal&) = delete;
    CloseOnSignal& operator=(const CloseOnSignal&) = delete;
    ~CloseOnSignal();

private:
    std::function<void()> close_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace zonbode::app::qt
