#include "app/Form1.h"

#include <chrono>
#include <string_view>
#include <vector>

#include "app/StoredSettings.h"
#include "app/WindowLayout.h"
#include "forecast/ForecastPage.h"
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
    tmrDiscon = ports_.timers.CreateTimer(4000ms, true, [this] { tmrDiscon_Timer(); });
    Updatetmr = ports_.timers.CreateTimer(60000ms, false, [this] { Updatetmr_Timer(); });
    PSMtmr = ports_.timers.CreateTimer(30000ms, false, [this] { PSMtmr_Timer(); });
}

Form1::~Form1() {
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
    // Not shown to the user (CancelDisplay stays set); the cycle just stalls.
    Winsock->Events.Error = [this](net::ErrorEventArgs&) { Winsock_Error(); };

    ForecastHost = server_.host;
    ForecastPath = std::string(forecast::kForecastPath);

    trayIconWanted_ = true;
    ports_.tray.AddTrayIcon();

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

    view.SetupList(
        std::vector<std::string>(forecast::kColumnHeaders.begin(), forecast::kColumnHeaders.end()));
    view.SetStatusText(std::string(kConnecting));
    ConnectToForecastServer();

    if (!hiddenInTray) {
        view.Show();
    }
}

void Form1::Form_Unload() {
    if (!Acting()) {
        return;
    }
    trayIconWanted_ = false;
    ports_.tray.RemoveTrayIcon();
    status::SendMessengerStatus(ports_.messenger, "Music", false, "{0} - {1}", "");

    View& view = ports_.view;
    SettingsStore& settings = ports_.settings;
    settings.WriteRegString(std::string(settings::kPsmPath), view.TemplateText());
    settings.WriteRegDword(std::string(settings::kAutoPath),
                           settings::StoredChoice(view.IsChecked(CheckBox::Check2)));
    settings.WriteRegDword(std::string(settings::kSysteemvakPath),
                           settings::StoredChoice(view.IsChecked(CheckBox::Check3)));
    StopActing();
    Winsock->CloseSck();
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

SetPSMResult Form1::SetPSM(std::int16_t day) {
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
    status::DayFields fields;
    for (int column = 0; column < forecast::kColumnCount; ++column) {
        fields[column] = view.CellText(day, column);
    }
    status::SendDayStatus(ports_.messenger, text, fields);
    return SetPSMResult::Delivered;
}

void Form1::PSMtmr_Timer() {
    if (!Acting()) {
        return;
    }
    CurrentDay = status::NextDay(CurrentDay, ports_.view.RowCount());
    // NextDay keeps CurrentDay within the rows; should the table still not hold it, the tick
    // is skipped and the next one starts again at row 1.
    SetPSM(CurrentDay);
}

// ---- Download cycle -----------------------------------------------------------------------

void Form1::ConnectToForecastServer() {
    cycle_ = DownloadCycle::Connecting;
    try {
        Winsock->Connect(net::Variant(ForecastHost),
                         net::Variant(static_cast<std::int32_t>(server_.port)));
    } catch (const net::RaisedError&) {
        // Nothing is shown for a failed download; the cycle stalls.
        Stall();
    }
}

void Form1::Winsock_Connect() {
    if (!Acting()) {
        return;
    }
    cycle_ = DownloadCycle::Receiving;
    tmrDiscon->Start();
    ports_.view.SetStatusText(std::string(kFetching));
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
        Stall();
        return;
    }
    PageBuffer += piece;
}

void Form1::Winsock_CloseSck() {
    if (!Acting()) {
        return;
    }
    tmrDiscon->Stop();
    ports_.view.SetStatusText(std::string(kProcessing));
    ParseForecastPage();
}

void Form1::Winsock_Error() {
    if (!Acting()) {
        return;
    }
    Stall();
}

void Form1::Stall() {
    if (cycle_ == DownloadCycle::Connecting || cycle_ == DownloadCycle::Receiving) {
        cycle_ = DownloadCycle::Stalled;
    }
}

void Form1::tmrDiscon_Timer() {
    if (!Acting()) {
        return;
    }
    Winsock->CloseSck();
    Stall();
}

void Form1::Updatetmr_Timer() {
    if (!Acting()) {
        return;
    }
    if (UpdateCounter < INT16_MAX) {
        ++UpdateCounter;
    }
    if (UpdateCounter == 60) {
        Updatetmr->Stop();
        Winsock->CloseSck();
        ConnectToForecastServer();
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
        view.ShowMessage(forecast::ParseFailureMessage(outcome.failureCode),
                         std::string(layout::kWindowCaption), MessageIcon::Critical);
        AbortProgram();
        return;
    }
    view.SetStatusText(forecast::LastUpdateText(ports_.clock.LocalNow()));
    Updatetmr->Start();
    UpdateCounter = 1;
    cycle_ = DownloadCycle::Waiting;
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
