#pragma once

#include <chrono>
#include <ctime>
#include <functional>
#include <future>
#include <string>

#include "ForecastSource.h"
#include "PageServer.h"
#include "net/EventLoop.h"

namespace zonbode::gateway {

// Keeps the page server's page fresh: every interval it fetches a new page on a worker
// thread, so the server keeps answering while the fetch waits for the weather service (a
// Zonbode that connects meanwhile gives up after 4 s). A new page replaces the old one whole;
// a failed fetch keeps the old one and is reported. Lives on the event loop's thread.
class Gateway {
public:
    using Fetch = std::function<PageFetch()>;
    using Report = std::function<void(const std::string&)>;

    // `server` already serves a good page, fetched just now.
    Gateway(pageserver::PageServer& server, Fetch fetch, std::chrono::milliseconds interval,
            Report report);
    // Waits for a fetch under way.
    ~Gateway();
    Gateway(const Gateway&) = delete;
    Gateway& operator=(const Gateway&) = delete;

    // Starts a fetch now, unless one is under way.
    void Refresh();
    // Fetches that have ended, good or failed.
    int FinishedFetches() const { return finished_; }

private:
    void Collect();

    pageserver::PageServer& server_;
    Fetch fetch_;
    Report report_;
    std::future<PageFetch> pending_;
    std::time_t servedSince_;
    int finished_ = 0;
    net::EventLoop::TimerId refreshTimer_;
    net::EventLoop::TimerId collectTimer_;
};

}  // namespace zonbode::gateway
