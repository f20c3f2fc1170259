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

// A window that is a terminal: the list is kept in memory, the status panel and message
// boxes go to standard error, everything else is remembered and not drawn.
class ConsoleView final : public app::View {
public:
    std::vector<forecast::ForecastDay> rows;

    void SetupList(const std::vector<std::string>&) override {}
    void ClearRows() override { rows.clear(); }
    void AddRow(const std::string& text) override {
        rows.push_back({});
        rows.back()[0] = text;
    }
    void SetCell(int row, int column, const std::string& text) override {
        if (IsCell(row, column)) {
            rows[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column)] = text;
        }
    }
    int RowCount() const override { return static_cast<int>(rows.size()); }
    std::string CellText(int row, int column) const override {
        return IsCell(row, column)
                   ? rows[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column)]
                   : std::string();
    }
    std::optional<int> SelectedRow() const override { return std::nullopt; }

    void SetStatusText(const std::string& text) override { WriteAll(stderr, text + "\n"); }
    void SetPreviewText(const std::string&) override {}
    std::string TemplateText() const override { return templateText_; }
    void SetTemplateText(const std::string& text) override { templateText_ = text; }
    std::string PlaceText() const override { return {}; }
    void SetPlaceText(const std::string&) override {}
    void SetPlaceMatches(const std::vector<std::string>&) override {}
    std::optional<int> ChosenMatch() const override { return std::nullopt; }
    void SetForecastPlaceText(const std::string&) override {}
    void SetPlaceSearchEnabled(bool) override {}
    bool IsChecked(app::CheckBox) const override { return false; }
    void SetChecked(app::CheckBox, bool) override {}
    void SetApplicationTitle(const std::string&) override {}
    app::WindowState GetWindowState() const override { return app::WindowState::Normal; }
    void SetWindowState(app::WindowState) override {}
    bool IsShown() const override { return true; }
    void Show() override {}
    void Hide() override {}

    // The text as the box would show it ("\r\n" line breaks included), as 'parse' writes it.
    void ShowMessage(const std::string& text, const std::string&, app::MessageIcon) override {
        WriteAll(stderr, text + "\n");
    }

private:
    bool IsCell(int row, int column) const {
        return row >= 1 && row <= RowCount() && column >= 0 && column < forecast::kColumnCount;
    }

    std::string templateText_;
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

class NoMessenger final : public status::MessengerTransport {
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
