#include "Gateway.h"

#include <utility>

namespace zonbode::gateway {
namespace {

using namespace std::chrono_literals;

// How often the loop looks whether a fetch has ended.
constexpr auto kCollectInterval = 100ms;

std::string LocalTime(std::time_t when) {
    char text[32] = "";
    if (const std::tm* local = std::localtime(&when)) {
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", local);
    }
    return text;
}

}  // namespace

Gateway::Gateway(pageserver::PageServer& server, Fetch fetch, std::chrono::milliseconds interval,
                 Report report)
    : server_(server),
      fetch_(std::move(fetch)),
      report_(std::move(report)),
      servedSince_(std::time(nullptr)),
      refreshTimer_(net::EventLoop::AddTimer(interval, [this] { Refresh(); })),
      collectTimer_(net::EventLoop::AddTimer(kCollectInterval, [this] { Collect(); })) {}

Gateway::~Gateway() {
    net::EventLoop::RemoveTimer(collectTimer_);
    net::EventLoop::RemoveTimer(refreshTimer_);
    if (pending_.valid()) {
        pending_.wait();
    }
}

void Gateway::Refresh() {
    if (!pending_.valid()) {
        pending_ = std::async(std::launch::async, fetch_);
    }
}

void Gateway::Collect() {
    if (!pending_.valid() || pending_.wait_for(0s) != std::future_status::ready) {
        return;
    }
    PageFetch fetch = pending_.get();
    ++finished_;
    if (fetch.ok()) {
        server_.SetPage(std::move(fetch.page));
        servedSince_ = std::time(nullptr);
    } else {
        report_("refresh failed: " + fetch.problem + "; still serving the forecast fetched " +
                LocalTime(servedSince_));
    }
}

}  // namespace zonbode::gateway
