// zonbode-soak: the desktop program's behaviour left running for hours, headless. Form1 runs
// in automatic mode (a status record every 30 s) on the real live source, refreshed every
// minute, with the real socket and the event loop's own timers; the messenger only counts.
// What the process holds is sampled once the first forecast is in and again at the end, which
// waits for a refresh that succeeds (and then 10 s), so a problem text still shown then is a
// fault.
//
//     zonbode-soak --api-url URL --minutes N
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "ProcessSample.h"
#include "app/Form1.h"
#include "app/LoopTimers.h"
#include "app/MemoryView.h"
#include "app/ServerOptions.h"
#include "app/SystemClock.h"
#include "net/EventLoop.h"

namespace {

using namespace std::chrono_literals;
using zonbode::app::CheckBox;

// The window's status line: how often a forecast was shown, and every other text told.
class CountingView final : public zonbode::app::MemoryView {
public:
    int updates = 0;
    std::map<std::string, int> others;
    void SetStatusText(const std::string& text) override {
        MemoryView::SetStatusText(text);
        if (IsUpdate(text)) {
            ++updates;
        } else {
            ++others[text];
        }
    }
    void ShowMessage(const std::string& text, const std::string&,
                     zonbode::app::MessageIcon) override {
        std::fprintf(stderr, "message box: %s\n", text.c_str());
    }
    static bool IsUpdate(const std::string& text) { return text.starts_with("Laatste update"); }
};

class NoTray final : public zonbode::app::Tray {
public:
    void AddTrayIcon() override {}
    void RemoveTrayIcon() override {}
    bool IsIconShown() const override { return false; }
};

class NoSettings final : public zonbode::app::SettingsStore {
public:
    std::string ReadRegValue(const std::string&) override { return {}; }
    void WriteRegString(const std::string&, const std::string&) override {}
    void WriteRegDword(const std::string&, std::int16_t) override {}
};

class CountingMessenger final : public zonbode::messengers::MessengerTransport {
public:
    int records = 0;
    std::vector<std::string> Receivers() override { return {"soak"}; }
    void Send(const std::string&, std::uint32_t, std::span<const std::uint8_t>) override {
        ++records;
    }
};

class NoSignInEntry final : public zonbode::app::SignInEntry {
public:
    State Look() const override { return State::Missing; }
    void Put() override {}
    void Remove() override {}
};

class NoEnd final : public zonbode::app::ProcessControl {
public:
    bool ended = false;
    void EndProcess() override { ended = true; }
};

void Print(const char* when, const zonbode::bench::ProcessSample& sample) {
    std::printf("%-6s resident %8.1f MiB  handles %4d  threads %3d\n", when,
                static_cast<double>(sample.residentBytes) / (1024.0 * 1024.0), sample.handles,
                sample.threads);
    std::fflush(stdout);
}

double Change(double start, double end) {
    return start > 0 ? (end - start) / start * 100 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string url;
    long minutes = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--api-url") {
            url = argv[i + 1];
        } else if (name == "--minutes") {
            minutes = std::strtol(argv[i + 1], nullptr, 10);
        }
    }
    if (url.empty() || minutes <= 0) {
        std::fputs("usage: zonbode-soak --api-url URL --minutes N\n", stderr);
        return 2;
    }
    std::string problem;
    auto options = zonbode::app::ParseDesktopOptions({"--api-url", url}, problem);
    if (!options) {
        std::fprintf(stderr, "zonbode-soak: %s\n", problem.c_str());
        return 2;
    }
    options->live.schedule.refresh = 1min;
    options->live.schedule.firstRetry = 1min;
    options->live.schedule.longestRetry = 1min;

    CountingView view;
    zonbode::app::LoopTimers timers;
    NoSettings settings;
    CountingMessenger messenger;
    NoTray tray;
    NoEnd process;
    zonbode::app::SystemClock clock;
    NoSignInEntry signIn;
    const auto form = zonbode::app::CreateForm1(
        {view, timers, settings, messenger, tray, process, clock, signIn}, std::move(*options));
    form->Form_Load();
    view.SetChecked(CheckBox::Check1, true);
    form->Check1_Click();

    if (!zonbode::net::EventLoop::RunUntil([&] { return view.updates > 0; }, 60s)) {
        std::fputs("zonbode-soak: no forecast within 60 s\n", stderr);
        return 1;
    }
    // The first records and refreshes settle what the allocator and the libraries keep.
    zonbode::net::EventLoop::RunUntil([] { return false; }, 2min);
    const auto start = zonbode::bench::SampleThisProcess();
    Print("start", start);

    const auto end_at = std::chrono::steady_clock::now() + std::chrono::minutes(minutes);
    zonbode::net::EventLoop::RunUntil(
        [&] { return process.ended || std::chrono::steady_clock::now() >= end_at; },
        std::chrono::minutes(minutes) + 1min);
    // The end is taken right after a refresh that succeeded.
    const int updatesBefore = view.updates;
    zonbode::net::EventLoop::RunUntil([&] { return view.updates > updatesBefore; }, 10min);
    // As at the start, the sample is taken in a quiet moment, not while that refresh's
    // exchange still winds down.
    zonbode::net::EventLoop::RunUntil([] { return false; }, 10s);
    const auto end = zonbode::bench::SampleThisProcess();
    Print("end", end);

    std::printf("minutes %ld  status records %d  forecasts shown %d\n", minutes, messenger.records,
                view.updates);
    for (const auto& [text, count] : view.others) {
        std::printf("%5d x %s\n", count, text.c_str());
    }
    std::printf(
        "change   resident %+.1f%%  handles %+.1f%%  threads %+.1f%%\n",
        Change(static_cast<double>(start.residentBytes), static_cast<double>(end.residentBytes)),
        Change(start.handles, end.handles), Change(start.threads, end.threads));
    const bool problemLeft = !CountingView::IsUpdate(view.statusText);
    std::printf("status line at the end: %s%s\n", view.statusText.c_str(),
                problemLeft ? "  (a problem left after the service answered again)" : "");
    return process.ended || problemLeft ? 1 : 0;
}
