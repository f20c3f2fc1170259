#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ClosingMessenger.h"
#include "app/Ports.h"
#include "live/LiveSource.h"
#include "net/CNetSocket.h"

namespace zonbode::app {

// An outside page server the forecast page comes from (--host, --port), instead of the live
// source inside the program. The defaults are the institute's former web server.
struct ForecastServer {
    std::string host{forecast::kForecastHost};
    std::uint16_t port = forecast::kForecastPort;
};

// The live forecast inside the program, the desktop programs' default: the services it asks,
// its schedule, and a place asked for on the command line.
struct LiveOptions {
    live::LiveEndpoints endpoints;
    live::LiveSchedule schedule;
    // Searched at start-up; the first match becomes the place, as if chosen in the window.
    std::string placeQuery;
    // Told, in one line, when that search finds nothing or fails (standard error).
    std::function<void(const std::string&)> report;
};

// Mouse message code of a left-button release over the tray icon.
inline constexpr int kTrayLeftButtonUp = 0x0202;

// Where the download cycle stands. The window shows none of this; headless tools use it to
// know when a download has ended one way or the other.
enum class DownloadCycle {
    Idle,        // before Form_Load
    Connecting,  // Connect called, no connection yet
    Receiving,   // connected, collecting the answer
    Parsing,     // the server closed; the parser runs
    Waiting,     // parsed; counting down to the refresh
    Retrying,    // refused, failed, stalled or oversize: counting down to the next try
    Ended,       // the parser failed and the process was ended
};

// What SetPSM did.
enum class SetPSMResult {
    Delivered,   // composed, shown in the preview and delivered
    TooFewRows,  // fewer than 5 rows: nothing happens
    NoSuchRow,   // the row lookup failed: nothing changed
    NotActing,   // the window has been unloaded, or a failed parse is ending the program
};

// The main window's behaviour: its state and every handler. It reaches the screen and the
// platform only through its ports, so it runs headless. A front-end creates it when the
// window is created, calls Form_Load (which ends by showing the window, unless the window
// starts hidden in the tray), forwards every event, and calls Form_Unload when the window is
// closed or the session ends. When start-up minimizes the window it runs Form_Resize itself; a
// resize event the front-end forwards for the same change does no harm.
//
// The unload runs once. After it, and from the moment a failed parse shows its message (the
// platform's modal loop goes on dispatching while the box is open) until the process ends,
// every handler does nothing: a tick, a socket event or a click still queued finds nothing
// to act on.
class Form1 {
public:
    // Creates the three timers, all stopped: tmrDiscon runs while a download is under way.
    explicit Form1(Ports ports, ForecastServer server = {});
    // With the live source: the download cycle fetches the page it serves on loopback when it
    // says a page is ready; its problems go to the status panel, with no box and no exit.
    Form1(Ports ports, LiveOptions live);
    ~Form1();

    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // Window events.
    void Form_Load();
    void Form_Unload();
    void Form_Resize();                        // the window's size or state changed
    void TrayIcon_Callback(int mouseMessage);  // a mouse event over the tray icon
    void TaskbarCreated();  // the notification area was created (anew): it holds no icon of ours
    // The program was started again and handed over to this copy: the window comes to the
    // front, out of the tray or out of minimized.
    void AnotherCopyStarted();
    void Command1_Click();
    void Command2_Click();
    void Check1_Click();  // after Check1's value changed
    void Check4_Click();  // after Check4's value changed
    void ListView1_DblClick();
    void Command3_Click();  // the search button, or Enter in the place box
    void Combo1_Click();
    void Combo1_CloseUp();  // the list of matches closed, with or without a choice
                            // the user chose one of the matches

    // Composes row `day` (1-based), shows it and delivers it; does nothing with fewer than 5
    // rows or when the row lookup fails. The automatic cycle's ticks say they are not by hand,
    // so a messenger that must write sparingly may let them pass.
    SetPSMResult SetPSM(std::int16_t day, bool chosenByHand = true);

    // Where the download cycle stands (not shown anywhere; for headless tools and tests).
    DownloadCycle DownloadCycleState() const { return cycle_; }

    // An answer longer than this many bytes is abandoned like a watchdog abort.
    static constexpr std::size_t kMaxAnswerBytes = 8u * 1024u * 1024u;
    // A download that failed is tried again after the first wait; each further failure doubles
    // the wait, up to the longest. A good parse starts again from the first.
    static constexpr int kFirstRetryMinutes = 1;
    static constexpr int kLongestRetryMinutes = 15;

private:
    // Socket events.
    void Winsock_Connect();
    void Winsock_DataArrival(std::int32_t bytesTotal);
    void Winsock_CloseSck();
    void Winsock_Error();

    // Timer ticks.
    void tmrDiscon_Timer();
    void Updatetmr_Timer();
    void PSMtmr_Timer();

    bool ReadStoredChoices();

    // The live source's side (Form1Live.cpp).
    void StartLiveSource();
    void LiveSource_PageReady();
    void LiveSource_Problem(const std::string& text);
    void SearchPlace(const std::string& name, bool takeFirst);
    void PlaceSearchDone(const std::string& name, bool takeFirst, live::SearchOutcome outcome);
    void ChoosePlace(const live::Place& place);

    void LoadSignInChoice();
    void ConnectToForecastServer();
    void StartDownload();
    void ParseForecastPage();
    void ShowLastUpdate();
    // What the panel says outside a search; a search's texts stand in for it until a match is
    // chosen or the list closes.
    void ShowStatus(const std::string& text);
    void ShowStandingStatus();
    void AbortProgram();
    void DownloadFailed();
    void StopActing();
    void StoreAndSwitchOff();
    bool Acting() const { return acting_; }

    Ports ports_;
    ForecastServer server_;
    ClosingMessenger messenger_{ports_.messenger};

    std::shared_ptr<net::CNetSocket> Winsock;
    std::string ForecastHost;
    std::string ForecastPath;
    std::int16_t CurrentDay = 0;
    std::string PageBuffer;
    std::size_t answerBytes_ = 0;  // bytes of the current answer (PageBuffer is UTF-8 text)
    std::int16_t UpdateCounter = 0;
    int retryMinutes_ = 0;  // the last wait before a retry; 0 after a good parse

    std::unique_ptr<Timer> tmrDiscon;
    std::unique_ptr<Timer> Updatetmr;
    std::unique_ptr<Timer> PSMtmr;

    std::optional<LiveOptions> live_;
    std::unique_ptr<live::LiveSource> source_;  // only with live_, from Form_Load on
    // When the live source served the forecast shown, and whether its fetches fail since.
    std::optional<forecast::LocalDateTime> livePageAt_;
    bool liveFailing_ = false;
    std::string standingStatus_;
    std::vector<live::PlaceMatch> matches_;  // what Combo1 offers
    int searches_ = 0;                       // only the latest search's answer counts

    DownloadCycle cycle_ = DownloadCycle::Idle;
    bool acting_ = true;
    // Between start-up and the end the icon is wanted in the notification area; whether it is
    // shown there is the tray's to say (an add fails while there is no notification area).
    bool trayIconWanted_ = false;
};

}  // namespace zonbode::app
