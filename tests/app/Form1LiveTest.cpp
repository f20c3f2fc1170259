// Form1 with the real live source: Open-Meteo's forecast and place search are recorded answers
// served on 127.0.0.1, the page goes through the program's own loopback page source and
// download cycle, and everything runs on the real event loop. The window's timers are the fake
// factory's; the live source's schedule is shortened instead.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/Form1.h"
#include "app/StoredPlace.h"
#include "app/support/Form1OnLoop.h"
#include "app/support/LocalHttpServer.h"

namespace zonbode::app {
namespace {

using namespace std::chrono_literals;
using testing::LocalHttpServer;
using Behaviour = LocalHttpServer::Behaviour;

std::string JsonAnswer(const std::string& body, const std::string& status = "200 OK") {
    return "HTTP/1.0 " + status + "\r\nContent-Type: application/json; charset=utf-8\r\n" +
           "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

// The recorded week of the gateway's tests, and the table it reads as.
std::string RecordedWeek() {
    std::ifstream in(std::string(ZONBODE_RECORDED_ANSWERS) + "/week.json", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return JsonAnswer(text.str());
}
const std::vector<std::vector<std::string>> kWeekRows = {
    {"Donderdag", "0", "0", "0", "-4", "13", "N", "0"},
    {"Vrijdag", "13", "50", "0", "-3", "2", "N", "1"},
    {"Zaterdag", "12", "50", "0,1", "-1", "-13", "NO", "2"},
    {"Zondag", "100", "100", "0,5", "0", "0", "NW", "11"},
    {"Maandag", "0", "-", "12", "1", "20", "N", "12"},
    {"Dinsdag", "-", "0", "12,3", "1", "-", "Z", "5"},
    {"Woensdag", "-", "7", "-", "-", "36", "-", "-"},
};

const std::string kEdeMatches = JsonAnswer(
    R"({"results":[)"
    R"({"name":"Ede","latitude":52.03333,"longitude":5.65833,"country":"Nederland","admin1":"Gelderland","timezone":"Europe/Amsterdam"},)"
    R"({"name":"Ede","latitude":7.73732,"longitude":4.43596,"country":"Nigeria","admin1":"Osun","timezone":"Africa/Lagos"}]})");
const std::string kNoMatches = JsonAnswer(R"({"generationtime_ms":0.2})");

class Form1LiveTest : public testing::Form1OnLoop {
protected:
    void Start(std::string placeQuery = {}) {
        LiveOptions live;
        live.endpoints = {"http://127.0.0.1:" + std::to_string(api.Port()),
                          "http://127.0.0.1:" + std::to_string(geocoding.Port())};
        live.schedule = {2s, 300ms, 1s};
        live.placeQuery = std::move(placeQuery);
        live.report = [this](const std::string& text) { reported.push_back(text); };
        Load(std::move(live));
    }
    void ExpectTheWeek() {
        ASSERT_EQ(ports.view.RowCount(), 7);
        for (int row = 1; row <= 7; ++row) {
            for (int column = 0; column < 8; ++column) {
                EXPECT_EQ(ports.view.CellText(row, column), kWeekRows[row - 1][column])
                    << row << "," << column;
            }
        }
    }
    // The last forecast request asked for these degrees.
    bool AskedFor(const std::string& latitude, const std::string& longitude) {
        const std::vector<std::string> requests = api.Requests();
        return !requests.empty() &&
               requests.back().find("latitude=" + latitude + "&longitude=" + longitude) !=
                   std::string::npos;
    }
    void ExpectNoBoxAndNoEnd() {
        EXPECT_TRUE(ports.view.messages.empty());
        EXPECT_EQ(ports.process.ended, 0);
    }
    LocalHttpServer api{Behaviour::Answer, RecordedWeek()};
    LocalHttpServer geocoding{Behaviour::Answer, kEdeMatches};
    std::vector<std::string> reported;
};

TEST_F(Form1LiveTest, ANewUserGetsDeBiltAtOnceAndNothingIsStored) {
    Start();
    EXPECT_EQ(form->DownloadCycleState(), DownloadCycle::Idle) << "no page yet, no download";
    ASSERT_TRUE(RunUntilState(DownloadCycle::Waiting));
    ExpectTheWeek();
    EXPECT_TRUE(AskedFor("52.1", "5.18"));
    EXPECT_EQ(ports.view.forecastPlace, "Verwachting voor: De Bilt");
    EXPECT_EQ(ports.view.placeText, "De Bilt");
    EXPECT_TRUE(ports.view.placeSearchEnabled);
    EXPECT_EQ(ports.view.StatusText(), "Laatste update op: 07-12-2026, 16:05");
    EXPECT_TRUE(ports.settings.writes.empty());
    ExpectNoBoxAndNoEnd();
}

TEST_F(Form1LiveTest, AStoredPlaceIsFetched) {
    settings::StorePlace(ports.settings, {"Groningen", "53.21917", "6.56667"});
    ports.settings.writes.clear();
    Start();
    ASSERT_TRUE(RunUntilState(DownloadCycle::Waiting));
    EXPECT_TRUE(AskedFor("53.21917", "6.56667"));
    EXPECT_EQ(ports.view.forecastPlace, "Verwachting voor: Groningen");
    ExpectTheWeek();
}

TEST_F(Form1LiveTest, ASearchOffersTheMatchesAndTheChosenOneIsStoredAndFetchedAtOnce) {
    Start();
    ASSERT_TRUE(RunUntilState(DownloadCycle::Waiting));
    ports.view.placeText = "Ede";
    form->Command3_Click();
    ASSERT_TRUE(RunUntil([&] { return !ports.view.placeMatches.empty(); }));
    EXPECT_EQ(ports.view.placeMatches,
              (std::vector<std::string>{"Ede (Gelderland, Nederland)", "Ede (Osun, Nigeria)"}));
    EXPECT_NE(geocoding.Requests().at(0).find("name=Ede&count=10&language=nl&format=json"),
              std::string::npos)
        << geocoding.Requests().at(0);
    EXPECT_TRUE(ports.settings.writes.empty()) << "nothing chosen yet";
    const std::string before = "Laatste update op: 07-12-2026, 16:05";
    EXPECT_NE(ports.view.StatusText(), before);
    form->Combo1_CloseUp();  // the list closed without a choice: the panel says what it said
    EXPECT_EQ(ports.view.StatusText(), before);

    ports.view.chosenMatch = 0;
    form->Combo1_Click();
    EXPECT_EQ(ports.view.StatusText(), before);
    EXPECT_EQ(ports.settings.values[std::string(settings::kPlaatsPath)], "Ede");
    EXPECT_EQ(ports.settings.values[std::string(settings::kBreedtegraadPath)], "52.03333");
    EXPECT_EQ(ports.settings.values[std::string(settings::kLengtegraadPath)], "5.65833");
    ASSERT_TRUE(RunUntil([&] { return ports.view.forecastPlace == "Verwachting voor: Ede"; }));
    ASSERT_TRUE(RunUntilState(DownloadCycle::Waiting));
    EXPECT_TRUE(AskedFor("52.03333", "5.65833"));
    ExpectTheWeek();
    ExpectNoBoxAndNoEnd();
}

// A place's days are its own: its time zone is stored with it and asked for, so a day runs
// from its own midnight to the next (a missing one is Amsterdam's, as before).
TEST_F(Form1LiveTest, APlacesOwnTimeZoneIsStoredAndAskedFor) {
    Start();
    ASSERT_TRUE(RunUntilState(DownloadCycle::Waiting));
    EXPECT_NE(api.Requests().back().find("&timezone=Europe%2FAmsterdam&"), std::string::npos)
        << api.Requests().back();
    ports.view.placeText = "Ede";
    form->Command3_Click();
    ASSERT_TRUE(RunUntil([&] { return !ports.view.placeMatches.empty(); }));
    ports.view.chosenMatch = 1;
    form->Combo1_Click();
    EXPECT_EQ(ports.settings.values[std::string(settings::kTijdzonePath)], "Africa/Lagos");
    ASSERT_TRUE(RunUntil([&] { return AskedFor("7.73732", "4.43596"); }));
    EXPECT_NE(api.Requests().back().find("&timezone=Africa%2FLagos&"), std::string::npos)
        << api.Requests().back();
}

TEST_F(Form1LiveTest, PlaceOnTheCommandLineTakesTheFirstMatchAsIfChosen) {
    Start("Ede");
    ASSERT_TRUE(RunUntil([&] { return AskedFor("52.03333", "5.65833"); }));
    EXPECT_EQ(ports.settings.values[std::string(settings::kPlaatsPath)], "Ede");
    EXPECT_TRUE(reported.empty());
    EXPECT_EQ(api.Requests().size(), 1u) << "only the chosen place is fetched, not De Bilt first";
}

TEST_F(Form1LiveTest, NoMatchSaysSoAndKeepsTheStoredPlace) {
    geocoding.SetAnswer(kNoMatches);
    Start("Nergenshuizen");
    ASSERT_TRUE(RunUntil([&] { return !reported.empty(); }));
    EXPECT_EQ(reported,
              std::vector<std::string>{"Geen plaats gevonden met de naam \"Nergenshuizen\""});
    ASSERT_TRUE(RunUntilState(DownloadCycle::Waiting));
    EXPECT_TRUE(AskedFor("52.1", "5.18"));
    EXPECT_TRUE(ports.settings.writes.empty());

    ports.view.placeText = "Xyz";
    form->Command3_Click();
    ASSERT_TRUE(RunUntil(
        [&] { return ports.view.StatusText() == "Geen plaats gevonden met de naam \"Xyz\""; }));
    EXPECT_TRUE(ports.view.placeMatches.empty());
    EXPECT_EQ(reported.size(), 1u) << "only the command line's search is reported";
    ExpectNoBoxAndNoEnd();
}

// A service that fails (an error status, a cut-off answer): the panel says so, without a box
// and without an end, and the first good answer fills the list at once.
TEST_F(Form1LiveTest, AFailureIsShownAndTheRetryFillsTheList) {
    for (const std::string& failing :
         {JsonAnswer(R"({"error":true,"reason":"busy"})", "503 Service Unavailable"),
          std::string("HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n{\"daily\":")}) {
        SCOPED_TRACE(failing.substr(0, 20));
        form.reset();
        ports.view.rows.clear();
        ports.view.statusTexts.clear();
        api.SetAnswer(failing);
        Start();
        ASSERT_TRUE(RunUntil([&] { return ports.view.statusTexts.size() > 1; }));
        const std::string problem = ports.view.StatusText();
        EXPECT_NE(problem.find("; volgende poging om "), std::string::npos) << problem;
        EXPECT_EQ(problem.find("verwachting van"), std::string::npos) << "none is shown yet";
        EXPECT_EQ(ports.view.RowCount(), 0);
        ExpectNoBoxAndNoEnd();

        api.SetAnswer(RecordedWeek());
        ASSERT_TRUE(RunUntilState(DownloadCycle::Waiting)) << problem;
        ExpectTheWeek();
        ExpectNoBoxAndNoEnd();
    }
}

TEST_F(Form1LiveTest, AFailedRefreshKeepsTheTableAndSaysSo) {
    Start();
    ASSERT_TRUE(RunUntilState(DownloadCycle::Waiting));
    const std::size_t shown = ports.view.statusTexts.size();
    api.SetBehaviour(Behaviour::CloseAtOnce);
    ASSERT_TRUE(RunUntil([&] { return ports.view.statusTexts.size() > shown; }));  // 2 s on
    EXPECT_NE(ports.view.StatusText().find("; verwachting van "), std::string::npos)
        << "since when the table is shown: " << ports.view.StatusText();
    ExpectTheWeek();
    ExpectNoBoxAndNoEnd();
}

// "Laatste update op" gives the time the forecast shown came. While the service fails, the
// hourly countdown does not fetch the old forecast again, and the problem text stays.
TEST_F(Form1LiveTest, LastUpdateIsTheTimeOfTheForecastShown) {
    Start();
    ASSERT_TRUE(RunUntilState(DownloadCycle::Waiting));
    EXPECT_EQ(ports.view.StatusText(), "Laatste update op: 07-12-2026, 16:05");
    api.SetBehaviour(Behaviour::CloseAtOnce);
    const auto failing = [&] {
        return ports.view.StatusText().find("; verwachting van ") != std::string::npos;
    };
    ASSERT_TRUE(RunUntil(failing));

    ports.clock.now = {2026, 12, 7, 17, 4};
    ports.timers.Advance(59min);
    EXPECT_EQ(form->DownloadCycleState(), DownloadCycle::Waiting);
    EXPECT_TRUE(failing()) << ports.view.StatusText();

    api.SetBehaviour(Behaviour::Answer);
    ASSERT_TRUE(RunUntil([&] { return ports.view.StatusText().starts_with("Laatste update"); }));
    EXPECT_EQ(ports.view.StatusText(), "Laatste update op: 07-12-2026, 17:04");
    ExpectTheWeek();
}

TEST_F(Form1LiveTest, WithAPageServerThereIsNoPlaceToChoose) {
    form = std::make_unique<Form1>(ports.Ports(), ForecastServer{"127.0.0.1", api.Port()});
    form->Form_Load();
    EXPECT_FALSE(ports.view.placeSearchEnabled);
    form->Command3_Click();
    EXPECT_EQ(ports.view.StatusText(),
              "Plaats kiezen kan alleen met de eigen weerdata (zonder --host en --port)");
    EXPECT_TRUE(geocoding.Requests().empty());
}

}  // namespace
}  // namespace zonbode::app
