// zonbode-cli fetch: the real download cycle, headless. Form1 runs with the real socket and
// the event loop's own timers; the window is a console that prints each status panel text to
// standard error; tray, settings and messenger do nothing.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "CliIo.h"
#include "Commands.h"
#include "ForecastRows.h"
#include "app/Form1.h"
#include "app/LoopTimers.h"
#include "app/MemoryView.h"
#include "app/ServerOptions.h"
#include "app/SystemClock.h"
#include "net/EventLoop.h"

namespace zonbode::cli {

namespace {

using namespace std::chrono_literals;

constexpr std::string_view kUsage =
    "Usage: zonbode-cli fetch [--host HOST] [--port PORT]\n"
    "       zonbode-cli fetch [--place NAME] [--api-url URL] [--geocoding-url URL]\n"
    "Downloads the forecast page through the program's own download cycle, from HOST:PORT\n"
    "(port 80 when not given) or, without either, from the program's own live source (the\n"
    "desktop program's options), and prints the forecast table as 'parse' does. Each status\n"
    "text the window would show goes to standard error on a line of its own.\n"
    "Exit status: 0 parsed, 1 the page could not be parsed (the message goes to standard\n"
    "error), 2 the download failed (no connection, no close within 4 s of the start, a reset\n"
    "or an answer over 8 MiB) or bad arguments.\n";

constexpr int kExitStalled = 2;

// A window that is a terminal: held in memory, with the status panel's texts and the message
// boxes written to standard error as they come.
class ConsoleView final : public app::MemoryView {
public:
    void SetStatusText(const std::string& text) override {
        MemoryView::SetStatusText(text);
        WriteAll(stderr, text + "\n");
    }

    // The text as the box would show it ("\r\n" line breaks included), as 'parse' writes it.
    void ShowMessage(const std::string& text, const std::string&, app::MessageIcon) override {
        WriteAll(stderr, text + "\n");
    }
};

class NoTray final : public app::Tray {
public:
    void AddTrayIcon() override {}
    void RemoveTrayIcon() override {}
    bool IsIconShown() const override { return false; }
};

class NoSettings final : public app::SettingsStore {
public:
    std::string ReadRegValue(const std::string&) override { return {}; }
    void WriteRegString(const std::string&, const std::string&) override {}
    void WriteRegDword(const std::string&, std::int16_t) override {}
};

class NoMessenger final : public messengers::MessengerTransport {
public:
    std::vector<std::string> Receivers() override { return {}; }
    void Send(const std::string&, std::uint32_t, std::span<const std::uint8_t>) override {}
};

// A terminal command never starts at sign-in, and leaves the program's entry alone.
class NoSignInEntry final : public app::SignInEntry {
public:
    State Look() const override { return State::Missing; }
    void Put() override {}
    void Remove() override {}
};

// The parser's fatal exit: remembered, so the command can return its exit code.
class EndRecorder final : public app::ProcessControl {
public:
    bool ended = false;
    void EndProcess() override { ended = true; }
};

}  // namespace

int RunFetch(const Arguments& args) {
    if (!args.empty() && IsHelp(args[0])) {
        return WriteAll(stdout, kUsage) ? kExitOk : kExitUsage;
    }
    std::string problem;
    std::optional<app::DesktopOptions> options = app::ParseDesktopOptions(args, problem);
    if (!options) {
        return UsageError("fetch", problem, kUsage);
    }
    // A --place without a match is told once, on the status panel's line of standard error.
    ConsoleView view;
    app::LoopTimers timers;
    NoSettings settings;
    NoMessenger messenger;
    NoTray tray;
    EndRecorder process;
    app::SystemClock clock;
    NoSignInEntry signIn;
    const std::unique_ptr<app::Form1> owned = app::CreateForm1(
        {view, timers, settings, messenger, tray, process, clock, signIn}, std::move(*options));
    app::Form1& form = *owned;
    form.Form_Load();

    auto finished = [&form] {
        auto state = form.DownloadCycleState();
        return state == app::DownloadCycle::Waiting || state == app::DownloadCycle::Retrying ||
               state == app::DownloadCycle::Ended;
    };
    // The watchdog ends a slow download 4 s after its start; the timeout is a safety net, and
    // the end of a live source that gets no forecast.
    net::EventLoop::RunUntil(finished, 15s);

    switch (form.DownloadCycleState()) {
        case app::DownloadCycle::Waiting:
            return WriteAll(stdout, FormatForecastRows(view.rows)) ? kExitOk : kExitUsage;
        case app::DownloadCycle::Ended:
            return kExitParseFailed;
        default:
            return kExitStalled;
    }
}

}  // namespace zonbode::cli
