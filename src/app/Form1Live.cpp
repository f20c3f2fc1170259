// Form1 with the live source: the page it serves, its problems, and choosing the place.
#include <string>
#include <vector>

#include "app/Form1.h"
#include "app/StoredPlace.h"
#include "app/WindowLayout.h"
#include "net/RaisedError.h"

namespace zonbode::app {

namespace {

std::string ForecastPlaceText(const live::Place& place) {
    return std::string(layout::kForecastPlacePrefix) + place.name;
}

std::string NoPlaceFoundText(const std::string& name) {
    return std::string(layout::kNoPlaceFoundPrefix) + "\"" + name + "\"";
}

}  // namespace

void Form1::StartLiveSource() {
    const live::Place place = settings::ReadStoredPlace(ports_.settings);
    View& view = ports_.view;
    view.SetForecastPlaceText(ForecastPlaceText(place));
    view.SetPlaceText(place.name);
    live::LiveSource::Events events;
    events.PageReady = [this] { LiveSource_PageReady(); };
    events.Problem = [this](const std::string& text) { LiveSource_Problem(text); };
    source_ = std::make_unique<live::LiveSource>(live_->endpoints, place, std::move(events),
                                                 live_->schedule);
    try {
        // A place named on the command line is fetched alone, not after the stored one.
        source_->Start(!live_->placeQuery.empty());
    } catch (const net::RaisedError& error) {
        ShowStatus(std::string(layout::kNoLiveSourcePrefix) + error.Description());
        source_.reset();
        view.SetPlaceSearchEnabled(false);
        return;
    }
    server_ = {"127.0.0.1", source_->Port()};
    ForecastHost = server_.host;
    if (!live_->placeQuery.empty()) {
        SearchPlace(live_->placeQuery, true);
    }
}

// A new page is served: fetched now, whatever the refresh countdown says.
void Form1::LiveSource_PageReady() {
    if (!Acting() || !source_) {
        return;
    }
    ports_.view.SetForecastPlaceText(ForecastPlaceText(source_->CurrentPlace()));
    livePageAt_ = ports_.clock.LocalNow();
    liveFailing_ = false;
    StartDownload();
}

void Form1::LiveSource_Problem(const std::string& text) {
    if (!Acting()) {
        return;
    }
    liveFailing_ = true;
    ShowStatus(text);
}

void Form1::Command3_Click() {
    if (!Acting()) {
        return;
    }
    if (!source_) {
        ports_.view.SetStatusText(std::string(layout::kNoPlaceSearch));
        return;
    }
    const std::string name = ports_.view.PlaceText();
    if (name.find_first_not_of(" \t") != std::string::npos) {
        SearchPlace(name, false);
    }
}

void Form1::SearchPlace(const std::string& name, bool takeFirst) {
    ports_.view.SetStatusText(std::string(layout::kSearchingPrefix) + name);
    const int search = ++searches_;
    source_->Search(name, [this, search, name, takeFirst](live::SearchOutcome outcome) {
        if (Acting() && search == searches_) {
            PlaceSearchDone(name, takeFirst, std::move(outcome));
        }
    });
}

void Form1::PlaceSearchDone(const std::string& name, bool takeFirst, live::SearchOutcome outcome) {
    View& view = ports_.view;
    std::string problem = outcome.ok() ? std::string() : outcome.problem;
    if (outcome.ok() && outcome.matches.empty()) {
        problem = NoPlaceFoundText(name);
    }
    if (!problem.empty()) {
        view.SetStatusText(problem);
        if (takeFirst) {
            source_->StopWaitingForPlace();  // the stored place, then
            if (live_->report) {
                live_->report(problem);
            }
        }
        return;
    }
    if (takeFirst) {
        ChoosePlace(outcome.matches.front().place);
        source_->StopWaitingForPlace();  // when it is the stored place already
        return;
    }
    matches_ = std::move(outcome.matches);
    view.SetStatusText(std::string(layout::kChooseAMatch));
    view.SetPlaceMatches(live::MatchLabels(matches_));
}

void Form1::Combo1_CloseUp() {
    if (!Acting() || !source_ || matches_.empty()) {
        return;
    }
    ShowStandingStatus();
}

void Form1::Combo1_Click() {
    if (!Acting() || !source_) {
        return;
    }
    const std::optional<int> chosen = ports_.view.ChosenMatch();
    if (!chosen || *chosen < 0 || static_cast<std::size_t>(*chosen) >= matches_.size()) {
        return;
    }
    ChoosePlace(matches_[static_cast<std::size_t>(*chosen)].place);
}

// Stored at once, so a program that does not end normally keeps the choice, and fetched at
// once (unless it is the place already fetched); Label4 follows when the new page is served.
void Form1::ChoosePlace(const live::Place& place) {
    settings::StorePlace(ports_.settings, place);
    ShowStandingStatus();
    ports_.view.SetPlaceText(place.name);
    if (place != source_->CurrentPlace()) {
        source_->SetPlace(place);
    }
}

}  // namespace zonbode::app
