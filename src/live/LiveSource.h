#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "live/LiveSchedule.h"
#include "live/Place.h"

// The live forecast inside the program: fetches the seven-day forecast for a place from
// Open-Meteo on a worker thread, turns it into the forecast page and serves that page on a
// loopback port, where Form1's own download cycle fetches it with CNetSocket and parses it
// like the institute's page. Lives on the user-interface thread; every event below runs there
// (handed over through the socket layer's event loop, never polled).
namespace zonbode::live {

struct LiveEndpoints {
    std::string api = "https://api.open-meteo.com";                  // + "/v1/forecast"
    std::string geocoding = "https://geocoding-api.open-meteo.com";  // + "/v1/search"
};

class LiveSource {
public:
    struct Events {
        // A new page is served (the first, a refreshed one, or one for a new place): the
        // download cycle should fetch it now.
        std::function<void()> PageReady;
        // A fetch failed: a Dutch text for the status panel, saying what happened, when the
        // next try is, and, when a forecast is shown, since when it is shown.
        std::function<void(const std::string&)> Problem;
    };

    LiveSource(LiveEndpoints endpoints, Place place, Events events, LiveSchedule schedule = {});
    // Ends the worker; a request under way is abandoned.
    ~LiveSource();
    LiveSource(const LiveSource&) = delete;
    LiveSource& operator=(const LiveSource&) = delete;

    // Serves on 127.0.0.1 (a free port) and starts the first fetch; with `waitForPlace`, the
    // first fetch waits for SetPlace or StopWaitingForPlace (a place about to be searched for
    // is fetched alone). Raises net::RaisedError when it cannot listen.
    void Start(bool waitForPlace = false);
    // The first fetch, for the current place, if it still waits.
    void StopWaitingForPlace();
    // The loopback port of the page; valid after Start.
    std::uint16_t Port() const;
    // Whether a good page is served yet.
    bool HasPage() const;

    const Place& CurrentPlace() const;
    // Makes `place` the source's place and fetches its forecast at once (right after a fetch
    // under way, never two at once).
    void SetPlace(Place place);

    // Searches places by name (Open-Meteo's geocoding, language=nl, at most 10) off the
    // user-interface thread; `done` runs on it. One search runs at a time: a newer one
    // replaces those not answered yet, whose `done` never runs.
    void Search(std::string name, std::function<void(SearchOutcome)> done);

private:
    class Worker;
    std::unique_ptr<Worker> worker_;
};

}  // namespace zonbode::live
