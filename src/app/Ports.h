#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "forecast/ForecastPage.h"
#include "messengers/MessengerTransport.h"

// What Form1 needs of the platform. Each front-end implements these; tests fake them.
namespace zonbode::app {

enum class MessageIcon { Information, Critical };
enum class WindowState { Normal = 0, Minimized = 1 };
enum class CheckBox { Check1, Check2, Check3, Check4 };

// The main window's controls and the window itself.
class View {
public:
    virtual ~View() = default;

    // ListView1: report view with the given column headers (set once at start-up).
    virtual void SetupList(const std::vector<std::string>& columnHeaders) = 0;
    virtual void ClearRows() = 0;
    // Appends a row whose column 0 is text and whose other columns are empty.
    virtual void AddRow(const std::string& text) = 0;
    // row is 1-based, column 0..7. Cells hold text of any length, whole. A cell outside the
    // list (row not 1..RowCount(), column not 0..7) is not written, and reads as "".
    virtual void SetCell(int row, int column, const std::string& text) = 0;
    virtual int RowCount() const = 0;
    virtual std::string CellText(int row, int column) const = 0;
    // The selected row, 1-based; nullopt when none is selected.
    virtual std::optional<int> SelectedRow() const = 0;

    // StatusBar1's single panel, Label1 (the preview) and Text1 (the template).
    virtual void SetStatusText(const std::string& text) = 0;
    virtual void SetPreviewText(const std::string& text) = 0;
    // The template box holds text of any length, whole.
    virtual std::string TemplateText() const = 0;
    virtual void SetTemplateText(const std::string& text) = 0;

    // The place controls: Text2 (the name to search for), Combo1 (the matches of a search,
    // none chosen; showing entries opens the list), Label4 (which place the forecast is for).
    virtual std::string PlaceText() const = 0;
    virtual void SetPlaceText(const std::string& text) = 0;
    virtual void SetPlaceMatches(const std::vector<std::string>& labels) = 0;
    // The match the user chose in Combo1, 0-based; nullopt when none is chosen.
    virtual std::optional<int> ChosenMatch() const = 0;
    virtual void SetForecastPlaceText(const std::string& text) = 0;
    // Without the live source there is no place to choose.
    virtual void SetPlaceSearchEnabled(bool enabled) = 0;

    virtual bool IsChecked(CheckBox box) const = 0;
    virtual void SetChecked(CheckBox box, bool on) = 0;

    virtual void SetApplicationTitle(const std::string& title) = 0;
    virtual WindowState GetWindowState() const = 0;
    virtual void SetWindowState(WindowState state) = 0;
    virtual bool IsShown() const = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;

    // A modal box with one OK button, over the whole program (whether the window is shown or
    // not): no input reaches the program's windows until the user has closed it.
    virtual void ShowMessage(const std::string& text, const std::string& title,
                             MessageIcon icon) = 0;
};

// A repeating timer. Start on a running timer keeps its schedule.
class Timer {
public:
    virtual ~Timer() = default;
    virtual void Start() = 0;
    virtual void Stop() = 0;
    virtual bool IsRunning() const = 0;
};

class TimerFactory {
public:
    virtual ~TimerFactory() = default;
    virtual std::unique_ptr<Timer> CreateTimer(std::chrono::milliseconds interval, bool running,
                                               std::function<void()> onTick) = 0;
};

// One value to store: a text (REG_SZ) or a number (REG_DWORD), by its full value path.
struct StoredValue {
    std::string valuePath;
    std::variant<std::string, std::int16_t> value;
};

// The stored values, addressed by their full value path
// ("HKEY_CURRENT_USER\Software\Kavelo\Zonbode\PSM"). Never fails: unreadable reads as "".
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::string ReadRegValue(const std::string& valuePath) = 0;
    virtual void WriteRegString(const std::string& valuePath, const std::string& text) = 0;
    virtual void WriteRegDword(const std::string& valuePath, std::int16_t value) = 0;
    // Any number of values in one go: a store that can writes all of them or, when that fails,
    // leaves every value as it was. Here: one at a time, in order.
    virtual void WriteRegValues(const std::vector<StoredValue>& values) {
        for (const StoredValue& stored : values) {
            if (const auto* text = std::get_if<std::string>(&stored.value)) {
                WriteRegString(stored.valuePath, *text);
            } else {
                WriteRegDword(stored.valuePath, std::get<std::int16_t>(stored.value));
            }
        }
    }
};

// The notification-area icon. Adding may fail (no notification area yet, or none at all); the
// icon is then not shown until a later AddTrayIcon succeeds. Adding an icon that is shown
// already changes nothing.
class Tray {
public:
    virtual ~Tray() = default;
    virtual void AddTrayIcon() = 0;
    virtual void RemoveTrayIcon() = 0;
    // Whether the icon is in the notification area now, so a hidden window can be brought back.
    virtual bool IsIconShown() const = 0;
};

// Ends the process at once. Tests record the call instead; Form1 stops its work after it.
class ProcessControl {
public:
    virtual ~ProcessControl() = default;
    virtual void EndProcess() = 0;
};

// The entry that starts the program when the user signs in: an autostart file on the Linux
// desktop, a Run value on Windows. What "this program" is (its installed path) is the
// adapter's to know; Form1 decides when the entry is put in place or removed.
class SignInEntry {
public:
    enum class State {
        Missing,    // no entry
        Elsewhere,  // an entry that does not start this program where it is now
        InPlace,    // an entry that starts this program
    };
    virtual ~SignInEntry() = default;
    virtual State Look() const = 0;
    // Never fail the caller: an entry that cannot be written or removed stays as it was.
    virtual void Put() = 0;
    virtual void Remove() = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual forecast::LocalDateTime LocalNow() const = 0;
};

struct Ports {
    View& view;
    TimerFactory& timers;
    SettingsStore& settings;
    messengers::MessengerTransport& messenger;
    Tray& tray;
    ProcessControl& process;
    Clock& clock;
    SignInEntry& signIn;
};

}  // namespace zonbode::app
