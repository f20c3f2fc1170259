#include "app/Form1.h"

#include <algorithm>
#include <chrono>
#include <string_view>
#include <vector>

#include "app/SignInChoice.h"
#include "app/StoredSettings.h"
#include "app/WindowLayout.h"
#include "forecast/ForecastPage.h"
#include "messengers/MessengerDelivery.h"
#include "net/RaisedError.h"
#include "net/Variant.h"
#include "status/StatusMessage.h"

namespace zonbode::app {

namespace {

using namespace std::chrono_literals;

constexpr std::string_view kTemplateHelp =
    "[dag] = Dag\r\n"
    "[zon] = Zonneschijn\r\n"
    "[neerslag-mm] = Neerslaghoeveelheid\r\n"
    "[neerslag-%] = Neerslagkans\r\n"
    "[mintemp] = Minimumtemperatuur\r\n"
    "[midtemp] = Middagtemperatuur\r\n"
    "[richting] = Windrichting\r\n"
    "[kracht] = Windkracht";

constexpr std::string_view kAutomaticHelp =
    "Met de knop \"Automatisch\" kan je inschakkelen dat iedere\r\n"
    "halve minuut automatisch de volgende dag in je PSM komt te staan.";

constexpr std::string_view kConnecting = "Verbinding maken...";
constexpr std::string_view kFetching = "Gegevens ophalen...";
constexpr std::string_view kProcessing = "Gegevens verwerken...";

// UTF-8 characters in text that came from bytes one character per byte: the byte count.
std::size_t CharacterCount(std::string_view text) {
    std::size_t count = 0;
    for (char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++count;
        }
    }
    return count;
}

}  // namespace

Form1::Form1(Ports ports, ForecastServer server) : ports_(ports), server_(std::move(server)) {
    tmrDiscon = ports_.timers.CreateTimer(4000ms, false, [this] { tmrDiscon_Timer(); });
    Updatetmr = ports_.timers.CreateTimer(60000ms, false, [this] { Updatetmr_Timer(); });
    PSMtmr = ports_.timers.CreateTimer(30000ms, false, [this] { PSMtmr_Timer(); });
}

Form1::Form1(Ports ports, LiveOptions live) : Form1(ports, ForecastServer{"127.0.0.1", 0}) {
    live_ = std::move(live);
}

Form1::~Form1() {
    source_.reset();  // its events reach into this window
    if (Winsock) {
        Winsock->Events = {};  // no handler may run on a half-destroyed window
        Winsock->CloseSck();
    }
}

// ---- Start-up and shutdown ----------------------------------------------------------------

void Form1::Form_Load() {
    if (!Acting()) {
        return;
    }
    View& view = ports_.view;
    view.SetApplicationTitle(std::string(layout::kWindowCaption));

    Winsock = net::CNetSocket::Create();
    Winsock->Events.Connect = [this] { Winsock_Connect(); };
    Winsock->Events.DataArrival = [this](std::int32_t bytesTotal) {
        Winsock_DataArrival(bytesTotal);
    };
    Winsock->Events.CloseSck = [this] { Winsock_CloseSck(); };
    // Not shown to the user (CancelDisplay stays set); the download is tried again later.
    Winsock->Events.Error = [this](net::ErrorEventArgs&) { Winsock_Error(); };

    ForecastHost = server_.host;
    ForecastPath = std::string(forecast::kForecastPath);

    trayIconWanted_ = true;
    ports_.tray.AddTrayIcon();

    const bool hiddenInTray = ReadStoredChoices();

    view.SetupList(
        std::vector<std::string>(forecast::kColumnHeaders.begin(), forecast::kColumnHeaders.end()));
    ShowStatus(std::string(kConnecting));
    if (live_) {
        StartLiveSource();  // the download starts when the source has its first page
    } else {
        view.SetPlaceSearchEnabled(false);
        ConnectToForecastServer();
    }

    if (!hiddenInTray) {
        view.Show();
    }
}

// The template and the three start-up choices; whether the window starts hidden in the tray.
bool Form1::ReadStoredChoices() {
    View& view = ports_.view;
    SettingsStore& settings = ports_.settings;
    const std::string psmPath(settings::kPsmPath);
    if (!settings.ReadRegValue(psmPath).empty()) {
        view.SetTemplateText(settings.ReadRegValue(psmPath));
    }
    if (settings::IsSwitchedOn(settings.ReadRegValue(std::string(settings::kAutoPath)))) {
        view.SetChecked(CheckBox::Check1, true);
        view.SetChecked(CheckBox::Check2, true);
        Check1_Click();
    }
    bool hiddenInTray = false;
    if (settings::IsSwitchedOn(settings.ReadRegValue(std::string(settings::kSysteemvakPath)))) {
        view.SetChecked(CheckBox::Check3, true);
        view.SetWindowState(WindowState::Minimized);
        Form_Resize();
        // Without an icon to bring it back the window is shown, minimized.
        hiddenInTray = ports_.tray.IsIconShown();
    }
    LoadSignInChoice();
    return hiddenInTray;
}

void Form1::Form_Unload() {
    if (!Acting()) {
        return;
    }
    // Nothing acts from here on: not a second unload that the platform dispatches while a
    // messenger holds the switch-off, not a timer.
    StopActing();
    trayIconWanted_ = false;
    ports_.tray.RemoveTrayIcon();
    StoreAndSwitchOff();
    Winsock->CloseSck();
}

// The settings are read and stored before anything is sent: the platform may end the process
// while a slow messenger holds the switch-off record.
void Form1::StoreAndSwitchOff() {
    const View& view = ports_.view;
    ports_.settings.WriteRegValues(
        {{std::string(settings::kPsmPath), view.TemplateText()},
         {std::string(settings::kAutoPath),
          static_cast<std::int16_t>(settings::StoredChoice(view.IsChecked(CheckBox::Check2)))},
         {std::string(settings::kSysteemvakPath),
          static_cast<std::int16_t>(settings::StoredChoice(view.IsChecked(CheckBox::Check3)))},
         {std::string(settings::kAanmeldenPath),
          static_cast<std::int16_t>(settings::StoredChoice(view.IsChecked(CheckBox::Check4)))}});
    messengers::SendMessengerStatus(messenger_, "Music", false, "{0} - {1}", "");
    // A day record whose delivery the switch-off interrupted reaches no one after it.
    messenger_.Close();
}

void Form1::StopActing() {
    acting_ = false;
    tmrDiscon->Stop();
    Updatetmr->Stop();
    PSMtmr->Stop();
}

// ---- Window and controls ------------------------------------------------------------------

void Form1::Form_Resize() {
    if (!Acting() || ports_.view.GetWindowState() != WindowState::Minimized) {
        return;
    }
    Tray& tray = ports_.tray;
    if (trayIconWanted_ && !tray.IsIconShown()) {
        tray.AddTrayIcon();  // the notification area may be there by now
    }
    // A hidden window comes back only through the icon: without it the window stays minimized.
    if (tray.IsIconShown()) {
        ports_.view.Hide();
    }
}

void Form1::TaskbarCreated() {
    if (!Acting() || !trayIconWanted_) {
        return;
    }
    ports_.tray.AddTrayIcon();
    if (!ports_.tray.IsIconShown() && !ports_.view.IsShown()) {
        ports_.view.Show();
    }
}

void Form1::TrayIcon_Callback(int mouseMessage) {
    if (!Acting()) {
        return;
    }
    if (mouseMessage == kTrayLeftButtonUp) {
        ports_.view.SetWindowState(WindowState::Normal);
        ports_.view.Show();
    }
}

void Form1::AnotherCopyStarted() {
    if (!Acting()) {
        return;
    }
    ports_.view.SetWindowState(WindowState::Normal);
    ports_.view.Show();
}

void Form1::Command1_Click() {
    if (!Acting()) {
        return;
    }
    ports_.view.ShowMessage(std::string(kTemplateHelp), std::string(layout::kWindowCaption),
                            MessageIcon::Information);
}

void Form1::Command2_Click() {
    if (!Acting()) {
        return;
    }
    ports_.view.ShowMessage(std::string(kAutomaticHelp), std::string(layout::kWindowCaption),
                            MessageIcon::Information);
}

void Form1::Check1_Click() {
    if (!Acting()) {
        return;
    }
    if (ports_.view.IsChecked(CheckBox::Check1)) {
        PSMtmr->Start();
    } else {
        PSMtmr->Stop();
    }
}

// The entry is put right at once; the choice itself is stored at the end, with the others.
void Form1::Check4_Click() {
    if (!Acting()) {
        return;
    }
    KeepSignInEntry(ports_.signIn, ports_.view.IsChecked(CheckBox::Check4));
}

// An entry that disagrees with the stored choice (the program moved, or the entry was removed
// by hand) is put right before the window shows.
void Form1::LoadSignInChoice() {
    const std::string stored = ports_.settings.ReadRegValue(std::string(settings::kAanmeldenPath));
    const bool on = SignInChoiceAtStart(stored, ports_.signIn);
    ports_.view.SetChecked(CheckBox::Check4, on);
    KeepSignInEntry(ports_.signIn, on);
}

void Form1::ListView1_DblClick() {
    if (!Acting()) {
        return;
    }
    std::optional<int> selected = ports_.view.SelectedRow();
    if (!selected || *selected < 1 || *selected > INT16_MAX) {
        return;
    }
    SetPSM(static_cast<std::int16_t>(*selected));  // a row that cannot be composed: nothing
}

// ---- Status composition and automatic cycling ---------------------------------------------

SetPSMResult Form1::SetPSM(std::int16_t day, bool chosenByHand) {
    if (!Acting()) {
        return SetPSMResult::NotActing;
    }
    View& view = ports_.view;
    std::string text;
    auto cell = [&view](int row, int column) { return view.CellText(row, column); };
    switch (status::ComposeDayStatus(view.TemplateText(), view.RowCount(), day, cell, text)) {
        case status::DayStatusResult::TooFewRows:
            return SetPSMResult::TooFewRows;
        case status::DayStatusResult::DayOutOfRange:
            return SetPSMResult::NoSuchRow;
        case status::DayStatusResult::Composed:
            break;
    }
    CurrentDay = day;
    view.SetPreviewText(text);
    messengers::DayRecord record;
    for (int column = 0; column < forecast::kColumnCount; ++column) {
        record.fields[column] = view.CellText(day, column);
    }
    record.chosenByHand = chosenByHand;
    messengers::SendDayStatus(messenger_, text, record);
    return SetPSMResult::Delivered;
}

void Form1::PSMtmr_Timer() {
    if (!Acting()) {
        return;
    }
    CurrentDay = status::NextDay(CurrentDay, ports_.view.RowCount());
    // NextDay keeps CurrentDay within the rows; should the table still not hold it, the tick
    // is skipped and the next one starts again at row 1.
    SetPSM(CurrentDay, false);
}

// ---- Download cycle -----------------------------------------------------------------------

void Form1::ConnectToForecastServer() {
    cycle_ = DownloadCycle::Connecting;
    // The watchdog gives the whole download, from the lookup to the server's close, its time.
    tmrDiscon->Stop();
    tmrDiscon->Start();
    try {
        Winsock->Connect(net::Variant(ForecastHost),
                         net::Variant(static_cast<std::int32_t>(server_.port)));
    } catch (const net::RaisedError&) {
        DownloadFailed();  // nothing is shown; the download is tried again later
    }
}

// A refresh or a retry: never two downloads at once.
void Form1::StartDownload() {
    Updatetmr->Stop();
    Winsock->CloseSck();
    ConnectToForecastServer();
}

void Form1::Winsock_Connect() {
    if (!Acting()) {
        return;
    }
    cycle_ = DownloadCycle::Receiving;
    ShowStatus(std::string(kFetching));
    PageBuffer.clear();
    answerBytes_ = 0;
    Winsock->SendData(
        net::Variant(forecast::BuildForecastRequest(ForecastPath, ForecastHost, server_.port)));
}

void Form1::Winsock_DataArrival(std::int32_t /*bytesTotal*/) {
    if (!Acting()) {
        return;
    }
    net::Variant data{std::string()};
    Winsock->GetData(data);
    if (data.Type() != net::VarType::String) {
        return;  // nothing was waiting
    }
    const std::string& piece = data.AsString();
    answerBytes_ += CharacterCount(piece);
    if (answerBytes_ > kMaxAnswerBytes) {
        // A server that never stops sending would exhaust memory before the watchdog fires.
        Winsock->CloseSck();
        PageBuffer.clear();
        PageBuffer.shrink_to_fit();
        DownloadFailed();
        return;
    }
    PageBuffer += piece;
}

void Form1::Winsock_CloseSck() {
    if (!Acting() || cycle_ != DownloadCycle::Receiving) {
        return;
    }
    tmrDiscon->Stop();
    ShowStatus(std::string(kProcessing));
    ParseForecastPage();
}

void Form1::Winsock_Error() {
    if (!Acting()) {
        return;
    }
    DownloadFailed();
}

// The table keeps its rows and the panel its text; the refresh countdown brings the next try,
// so a table never silently stops changing while automatic mode goes on sending its days.
void Form1::DownloadFailed() {
    if (cycle_ != DownloadCycle::Connecting && cycle_ != DownloadCycle::Receiving) {
        return;
    }
    tmrDiscon->Stop();
    Winsock->CloseSck();
    cycle_ = DownloadCycle::Retrying;
    retryMinutes_ =
        retryMinutes_ == 0 ? kFirstRetryMinutes : std::min(2 * retryMinutes_, kLongestRetryMinutes);
    // The tick that brings the counter to 60 starts the download.
    UpdateCounter = static_cast<std::int16_t>(60 - retryMinutes_);
    Updatetmr->Start();
}

void Form1::tmrDiscon_Timer() {
    if (!Acting()) {
        return;
    }
    DownloadFailed();
}

void Form1::Updatetmr_Timer() {
    if (!Acting()) {
        return;
    }
    if (UpdateCounter < INT16_MAX) {
        ++UpdateCounter;
    }
    if (UpdateCounter == 60) {
        if (source_ && liveFailing_) {
            // The loopback page is the old forecast until the live source has a new one (it
            // says so itself); its problem text stays on show.
            UpdateCounter = 1;
            return;
        }
        StartDownload();
    }
}

void Form1::ParseForecastPage() {
    cycle_ = DownloadCycle::Parsing;
    View& view = ports_.view;
    forecast::ParseOutcome outcome = forecast::ParseForecastPage(PageBuffer);
    PageBuffer.clear();
    answerBytes_ = 0;

    if (outcome.ok() || outcome.tableCleared) {
        view.ClearRows();
        int row = 0;
        for (const forecast::ForecastDay& day : outcome.rows) {
            view.AddRow(day[0]);
            ++row;
            for (int column = 1; column < forecast::kColumnCount; ++column) {
                if (!day[column].empty()) {
                    view.SetCell(row, column, day[column]);
                }
            }
        }
    }
    if (!outcome.ok()) {
        // The program is ending: nothing may act while the box is open (it is modal, but the
        // platform goes on dispatching timer, socket and tray messages).
        StopActing();
        // This run's settings are not lost, nor the weather left as the messenger status for
        // good. Both happen before the box: the session may end while it is open, and the
        // window with it.
        StoreAndSwitchOff();
        view.ShowMessage(forecast::ParseFailureMessage(outcome.failureCode),
                         std::string(layout::kWindowCaption), MessageIcon::Critical);
        AbortProgram();
        return;
    }
    ShowLastUpdate();
    Updatetmr->Start();
    UpdateCounter = 1;
    retryMinutes_ = 0;
    cycle_ = DownloadCycle::Waiting;
}

// The time of the forecast shown: with the live source, when it served the page (the hourly
// countdown only downloads that page again), and nothing over its problem text while it fails.
void Form1::ShowLastUpdate() {
    if (!source_) {
        ShowStatus(forecast::LastUpdateText(ports_.clock.LocalNow()));
    } else if (!liveFailing_ && livePageAt_) {
        ShowStatus(forecast::LastUpdateText(*livePageAt_));
    }
}

void Form1::ShowStatus(const std::string& text) {
    standingStatus_ = text;
    ports_.view.SetStatusText(text);
}

void Form1::ShowStandingStatus() {
    ports_.view.SetStatusText(standingStatus_);
}

void Form1::AbortProgram() {
    trayIconWanted_ = false;
    ports_.tray.RemoveTrayIcon();
    ports_.process.EndProcess();
    // Where ending the process returns (tests, headless tools), the cycle ends here; nothing
    // has acted since the failure was found.
    cycle_ = DownloadCycle::Ended;
    Winsock->CloseSck();
}

}  // namespace zonbode::app
