#include "live/LiveSource.h"

#include <optional>
#include <thread>

#include "live/LiveTexts.h"
#include "live/PageServer.h"
#include "live/PlaceSearch.h"
#include "live/RefreshWorker.h"
#include "net/EventLoop.h"

namespace zonbode::live {
namespace {

namespace EventLoop = net::EventLoop;

bool SamePlace(const ForecastSource& source, const Place& place) {
    return source.latitude == place.latitude && source.longitude == place.longitude &&
           source.placeName == place.name && source.timezone == place.timezone;
}

}  // namespace

// Everything of the source; lives on the loop's thread. What the threads hand back is posted
// to the loop and dropped there once this is gone (`alive_`).
class LiveSource::Worker {
public:
    Worker(LiveEndpoints endpoints, Place place, Events events, LiveSchedule schedule)
        : endpoints_(std::move(endpoints)),
          place_(std::move(place)),
          events_(std::move(events)),
          schedule_(schedule) {}

    ~Worker() {
        server_.WatchDeadlines({});
        refresher_.reset();  // returns at once; a fetch under way hands nothing over
    }

    void Start(bool waitForPlace) {
        waitingForPlace_ = waitForPlace;
        server_.Start(0);
        server_.WatchDeadlines([this] {
            if (refresher_) {
                refresher_->WakeAt(server_.NextDeadline());
            }
        });
        RefreshWorker::Handlers handlers;
        handlers.fetched = [this, alive = Alive()](RefreshWorker::Outcome outcome) {
            EventLoop::PostTask([this, alive, outcome = std::move(outcome)]() mutable {
                if (alive.lock()) {
                    OnFetched(std::move(outcome));
                }
            });
        };
        handlers.deadlinePassed = [this, alive = Alive()] {
            EventLoop::PostTask([this, alive] {
                if (alive.lock()) {
                    server_.CloseExpiredConnections();
                    refresher_->WakeAt(server_.NextDeadline());
                }
            });
        };
        // Waiting: until SetPlace or StopWaitingForPlace, which fetch at once.
        const auto firstWait = waitForPlace ? std::chrono::hours(24 * 365) : std::chrono::hours(0);
        refresher_ = std::make_unique<RefreshWorker>(
            SourceFor(place_), schedule_, handlers,
            std::chrono::duration_cast<std::chrono::milliseconds>(firstWait));
    }

    void SetPlace(Place place) {
        place_ = std::move(place);
        waitingForPlace_ = false;
        if (refresher_) {
            refresher_->SetSource(SourceFor(place_));
        }
    }

    void StopWaitingForPlace() {
        if (waitingForPlace_) {
            SetPlace(place_);
        }
    }

    // One search at a time: the service answers a crowd of them with 429. A newer search
    // replaces one still waiting, and a search under way that a newer one follows is not told.
    void Search(std::string name, std::function<void(SearchOutcome)> done) {
        nextSearch_ = PendingSearch{std::move(name), std::move(done)};
        if (!searching_) {
            StartNextSearch();
        }
    }

    std::uint16_t Port() const { return static_cast<std::uint16_t>(server_.Port()); }
    bool HasPage() const { return shownSince_.has_value(); }
    const Place& CurrentPlace() const { return place_; }

private:
    struct PendingSearch {
        std::string name;
        std::function<void(SearchOutcome)> done;
    };

    std::weak_ptr<bool> Alive() const { return alive_; }

    void StartNextSearch() {
        if (!nextSearch_) {
            return;
        }
        PendingSearch search = std::move(*nextSearch_);
        nextSearch_.reset();
        searching_ = true;
        std::thread([this, geocoding = endpoints_.geocoding, search = std::move(search),
                     alive = Alive()]() mutable {
            SearchOutcome outcome = SearchPlaces(geocoding, search.name);
            EventLoop::PostTask(
                [this, done = std::move(search.done), alive, outcome = std::move(outcome)] {
                    if (alive.lock()) {
                        OnSearched(done, outcome);
                    }
                });
        }).detach();
    }

    void OnSearched(const std::function<void(SearchOutcome)>& done, SearchOutcome outcome) {
        searching_ = false;
        if (nextSearch_) {
            StartNextSearch();
        } else if (done) {
            done(std::move(outcome));
        }
    }

    ForecastSource SourceFor(const Place& place) const {
        return {endpoints_.api, place.latitude, place.longitude, place.name, place.timezone};
    }

    void OnFetched(RefreshWorker::Outcome outcome) {
        if (!SamePlace(outcome.source, place_)) {
            return;  // for a place no longer chosen; its own fetch follows at once
        }
        if (outcome.fetch.ok()) {
            server_.SetPage(std::move(outcome.fetch.page));
            shownSince_ = std::chrono::system_clock::now();
            if (events_.PageReady) {
                events_.PageReady();
            }
        } else if (events_.Problem) {
            events_.Problem(ProblemText(outcome.fetch, outcome.nextTry, shownSince_));
        }
    }

    LiveEndpoints endpoints_;
    Place place_;
    Events events_;
    LiveSchedule schedule_;
    std::optional<std::chrono::system_clock::time_point> shownSince_;
    bool searching_ = false;
    bool waitingForPlace_ = false;
    std::optional<PendingSearch> nextSearch_;
    PageServer server_{"", PageServerLimits{schedule_.pageConnection}};
    std::unique_ptr<RefreshWorker> refresher_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

LiveSource::LiveSource(LiveEndpoints endpoints, Place place, Events events, LiveSchedule schedule)
    : worker_(std::make_unique<Worker>(std::move(endpoints), std::move(place), std::move(events),
                                       schedule)) {}

LiveSource::~LiveSource() = default;

void LiveSource::Start(bool waitForPlace) {
    worker_->Start(waitForPlace);
}

void LiveSource::StopWaitingForPlace() {
    worker_->StopWaitingForPlace();
}

std::uint16_t LiveSource::Port() const {
    return worker_->Port();
}

bool LiveSource::HasPage() const {
    return worker_->HasPage();
}

const Place& LiveSource::CurrentPlace() const {
    return worker_->CurrentPlace();
}

void LiveSource::SetPlace(Place place) {
    worker_->SetPlace(std::move(place));
}

void LiveSource::Search(std::string name, std::function<void(SearchOutcome)> done) {
    worker_->Search(std::move(name), std::move(done));
}

}  // namespace zonbode::live
