// The live source in-process against the recorded weather service: the first page, every way
// the service fails followed by its recovery, a failed refresh that keeps the page, a new
// place, the search, and an end that does not wait for a hanging service.

#include <gtest/gtest.h>

#include <memory>

#include <condition_variable>
#include <mutex>
#include <thread>
#include "LiveTestSupport.h"

#include "live/ForecastSource.h"
#include "live/LiveSource.h"
#include "live/LiveTexts.h"
#include "live/PlaceSearch.h"
#include "live/RefreshWorker.h"

namespace zonbode::live::testing {
namespace {

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class LiveSourceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(api_.Listening()) << api_.FirstLine(); }

    // A source on the "live" case, with waits short enough for a test.
    void StartSource(const std::string& firstAnswer, LiveSchedule schedule = Quick()) {
        api_.SetLive(firstAnswer);
        LiveSource::Events events;
        events.PageReady = [this] { ++pages_; };
        events.Problem = [this](const std::string& text) { problems_.push_back(text); };
        source_ = std::make_unique<LiveSource>(LiveEndpoints{api_.Url("live"), api_.Url("geo")},
                                               DefaultPlace(), events, schedule);
        source_->Start();
    }
    static LiveSchedule Quick() { return {300ms, 100ms, 400ms}; }

    bool WaitForPage() {
        const int before = pages_;
        return RunUntil([&] { return pages_ > before; });
    }
    bool WaitForProblem() {
        const std::size_t before = problems_.size();
        return RunUntil([&] { return problems_.size() > before; });
    }

    // The recorded service holds a request; its threads, not the loop, send them.
    bool WaitForHeldRequest() {
        for (int i = 0; i < 300 && api_.HeldCount() == 0; ++i) {
            std::this_thread::sleep_for(100ms);
        }
        return api_.HeldCount() > 0;
    }

    RecordedApi api_;
    std::unique_ptr<LiveSource> source_;
    int pages_ = 0;
    std::vector<std::string> problems_;
};

TEST_F(LiveSourceTest, ServesTheDefaultPlacesWeekOnLoopback) {
    StartSource("http-500", {60s, 200ms, 200ms});
    ASSERT_TRUE(WaitForProblem());
    EXPECT_FALSE(source_->HasPage());
    EXPECT_TRUE(Has(ServedBody(source_->Port()), "503 Service Unavailable")) << "no page yet";
    api_.SetLive("week");
    ASSERT_TRUE(WaitForPage());
    EXPECT_TRUE(source_->HasPage());
    const std::string page = ServedBody(source_->Port());
    EXPECT_TRUE(Has(page, R"(<tr class="trcolor"><th class="plaats">De Bilt</th><th>do</th>)"))
        << page;
    EXPECT_TRUE(Has(page, "Weerdata: Open-Meteo.com"));
}

TEST_F(LiveSourceTest, EachFailureIsToldAndTheNextGoodAnswerServesAgain) {
    const std::pair<const char*, const char*> failures[] = {
        {"http-429", "fout 429): Too many concurrent requests"},
        {"http-503", "fout 503): the recorded service is down for maintenance"},
        {"http-500", "fout (500): the recorded service fails"},
        {"cutoff", "afgebroken"},
        {"hangup", "afgebroken"},
        {"bad-json", "onbruikbaar"},
        {"six-days", "onbruikbaar"},
        {"eight-days", "onbruikbaar"},
        {"out-of-range", "onbruikbaar"},
    };
    StartSource(failures[0].first);
    std::string goodPage;
    for (const auto& [answer, says] : failures) {
        api_.SetLive(answer);
        ASSERT_TRUE(WaitForProblem()) << answer;
        ASSERT_TRUE(WaitForProblem()) << answer << ": the second try of the same failure";
        const std::string& text = problems_.back();
        EXPECT_TRUE(Has(text, says)) << answer << ": " << text;
        EXPECT_TRUE(Has(text, "; volgende poging om ")) << text;
        EXPECT_EQ(Has(text, "; verwachting van "), !goodPage.empty()) << text;
        if (!goodPage.empty()) {
            EXPECT_EQ(ServedBody(source_->Port()), goodPage) << "the last good page stays";
        }
        api_.SetLive("week");
        ASSERT_TRUE(WaitForPage()) << "after " << answer;
        goodPage = ServedBody(source_->Port());
    }
    EXPECT_TRUE(Has(goodPage, "<th>do</th>"));
}

TEST_F(LiveSourceTest, ANewPlaceIsFetchedAtOnce) {
    StartSource("week", {60s, 60s, 60s});
    ASSERT_TRUE(WaitForPage());
    source_->SetPlace({"Zuidbroek", "53.16", "6.86"});
    ASSERT_TRUE(WaitForPage()) << "long before the half-hour refresh";
    EXPECT_EQ(source_->CurrentPlace().name, "Zuidbroek");
    EXPECT_TRUE(Has(ServedBody(source_->Port()), "<th class=\"plaats\">Zuidbroek</th>"));
}

// A place chosen while the last one's fetch is under way starts with the first retry step,
// not with one its predecessor's failure doubled.
TEST_F(LiveSourceTest, ANewSourceStartsItsRetriesAfresh) {
    std::mutex mutex;
    std::condition_variable fetched;
    std::vector<RefreshWorker::Outcome> outcomes;
    std::vector<std::chrono::system_clock::time_point> handedOver;
    RefreshWorker::Handlers handlers;
    handlers.fetched = [&](RefreshWorker::Outcome outcome) {
        std::lock_guard lock(mutex);
        outcomes.push_back(std::move(outcome));
        handedOver.push_back(std::chrono::system_clock::now());
        fetched.notify_all();
    };
    const LiveSchedule schedule{60s, 2s, 60s};
    RefreshWorker worker({api_.Url("held"), "52.1", "5.18", "De Bilt"}, schedule, handlers);
    ASSERT_TRUE(WaitForHeldRequest()) << "under way as long as it is held";
    worker.SetSource({api_.Url("http-500"), "53.16", "6.86", "Zuidbroek"});
    api_.Release();
    std::unique_lock lock(mutex);
    ASSERT_TRUE(fetched.wait_for(lock, 30s, [&] { return outcomes.size() >= 2; }));
    EXPECT_EQ(outcomes[0].source.placeName, "De Bilt");
    EXPECT_EQ(outcomes[1].source.placeName, "Zuidbroek");
    const auto wait = outcomes[1].nextTry - handedOver[1];
    EXPECT_LT(wait, 3s) << "the first retry step is 2 s; doubled it would be 4 s";
}

TEST_F(LiveSourceTest, SearchOffersTheMatchesOrSaysWhy) {
    StartSource("week", {60s, 60s, 60s});
    const struct {
        std::string name;
        std::string geo;  // the recorded case the search goes to
        std::vector<std::string> labels;
        const char* problem;
    } cases[] = {
        {"De Bilt", "geo", {"De Bilt (Utrecht, Nederland)", "De Bilt (Drenthe, Nederland)"}, ""},
        {"Nergenshuizen", "geo", {}, ""},
        {"De Bilt",
         "http-503",
         {},
         "Zoeken lukt niet: de weerdienst is tijdelijk buiten dienst (fout 503): the recorded "
         "service is down for maintenance"},
        {"De Bilt", "cutoff", {}, "Zoeken lukt niet: het antwoord van de weerdienst is afgebroken"},
    };
    for (const auto& c : cases) {
        LiveSource searcher({api_.Url("week"), api_.Url(c.geo)}, DefaultPlace(), {});
        searcher.Start();
        std::optional<SearchOutcome> outcome;
        searcher.Search(c.name, [&](SearchOutcome found) { outcome = std::move(found); });
        ASSERT_TRUE(RunUntil([&] { return outcome.has_value(); })) << c.name;
        std::vector<std::string> labels;
        for (const PlaceMatch& match : outcome->matches) {
            labels.push_back(MatchLabel(match));
        }
        EXPECT_EQ(labels, c.labels) << c.geo;
        EXPECT_EQ(outcome->problem, c.problem) << c.geo;
    }
}

// Typing fast (or holding Enter) asks the service once at a time: a newer search replaces the
// ones still waiting, and only the newest is answered.
TEST_F(LiveSourceTest, OneSearchAtATimeAndTheNewestWins) {
    LiveSource searcher({api_.Url("week"), api_.Url("held")}, DefaultPlace(), {});
    searcher.Start();
    std::vector<int> answered;
    for (int i = 0; i < 10; ++i) {
        searcher.Search("De Bilt", [&answered, i](const SearchOutcome&) { answered.push_back(i); });
    }
    ASSERT_TRUE(WaitForHeldRequest());
    api_.Release();
    ASSERT_TRUE(RunUntil([&] { return !answered.empty(); }));
    EXPECT_EQ(answered, std::vector<int>{9});
    EXPECT_EQ(api_.HeldCount(), 2) << "the first, then the newest; none of those in between";
}

TEST(LiveSourceTexts, AnUntrustedConnectionIsSaidToBeOne) {
    UntrustedServer server;
    ASSERT_TRUE(server.Listening()) << server.FirstLine();
    const PageFetch fetch = FetchForecastPage({server.Url(), "52.1", "5.18", "De Bilt"});
    EXPECT_EQ(fetch.kind, FetchProblem::Untrusted) << fetch.problem;
    EXPECT_EQ(ProblemText(fetch, std::chrono::system_clock::now(), std::nullopt)
                  .find("De verbinding met de weerdienst is niet te vertrouwen"),
              0u);
    EXPECT_EQ(SearchPlaces(server.Url(), "Ede").problem.find("Zoeken lukt niet: de verbinding"),
              0u);
}

TEST_F(LiveSourceTest, TheSearchGivesTheDegreesAsTheyAreStored) {
    StartSource("week", {60s, 60s, 60s});
    std::optional<SearchOutcome> outcome;
    source_->Search("De Bilt", [&](SearchOutcome found) { outcome = std::move(found); });
    ASSERT_TRUE(RunUntil([&] { return outcome.has_value(); }));
    ASSERT_EQ(outcome->matches.size(), 2u);
    EXPECT_EQ(outcome->matches[0].place.latitude, "52.11");
    EXPECT_EQ(outcome->matches[0].place.longitude, "5.18056");
}

TEST_F(LiveSourceTest, EndsWithoutWaitingForAServiceThatHangs) {
    StartSource("silent");
    net::EventLoop::RunUntil([] { return false; }, 300ms);  // the fetch is under way
    const auto start = std::chrono::steady_clock::now();
    source_.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s) << "the fetch gives up only after 10 s";
    net::EventLoop::RunUntil([] { return false; }, 100ms);
    EXPECT_TRUE(problems_.empty()) << "nothing is handed over after the end";
}

}  // namespace
}  // namespace zonbode::live::testing
