#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/Ports.h"
#include "net/CNetSocket.h"

namespace zonbode::app {

// Where the forecast comes from. The defaults are the institute's web server.
struct ForecastServer {
    std::string host{forecast::kForecastHost};
    std::uint16_t port = forecast::kForecastPort;
};

// Mouse message code of a left-button release over the tray icon.
inline constexpr int kTrayLeftButtonUp = 0x0202;

// The main window's behaviour: its state and every handler. It reaches the screen and the
// platform only through its ports, so it runs headless. A front-end creates it when the
// window is created, calls Form_Load before showing the window, forwards every event, and
// calls Form_Unload when the window is closed.
class Form1 {
public:
    // Creates the three timers: tmrDiscon running, Updatetmr and PSMtmr stopped.
    explicit Form1(Ports ports, ForecastServer server = {});
    ~Form1();

    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // Window events.
    void Form_Load();
    void Form_Unload();
    void Form_Resize();                          // the window's size or state changed
    void TrayIcon_Callback(int mouseMessage);    // a mouse event over the tray icon
    void Command1_Click();
    void Command2_Click();
    void Check1_Click();                         // after Check1's value changed
    void ListView1_DblClick();

    // Composes row `day` (1-based), shows it and delivers it. Throws std::out_of_range when
    // the row lookup fails (nothing changed); does nothing with fewer than 5 rows.
    void SetPSM(std::int16_t day);

private:
    // Fields and handlers follow here.
};

}  // namespace zonbode::app
