// Delivery to the messenger's windows: real top-level windows of class "MsnMsgrUIManager".

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

#include "messengers/MessengerDelivery.h"
#include "messengers/copydata/win32/CopyDataTransport.h"
#include "status/StatusMessage.h"

namespace zonbode::messengers::win32 {
namespace {

struct Received {
    HWND window;
    ULONG_PTR dwData;
    std::vector<std::uint8_t> bytes;
};

std::vector<Received>& ReceivedRecords() {
    static std::vector<Received> received;
    return received;
}

std::atomic<int>& HangMilliseconds() {
    static std::atomic<int> ms{0};
    return ms;
}

// Windows of a slow messenger thread take their time over every record (until released).
thread_local bool t_slow = false;
HANDLE SlowRelease() {
    static HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    return release;
}

LRESULT CALLBACK MessengerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA && t_slow) {
        WaitForSingleObject(SlowRelease(), 3000);
        return TRUE;
    }
    if (message == WM_COPYDATA) {
        if (int hang = HangMilliseconds(); hang > 0) {
            Sleep(static_cast<DWORD>(hang));
            return TRUE;
        }
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        const auto* bytes = static_cast<const std::uint8_t*>(data->lpData);
        ReceivedRecords().push_back({window, data->dwData, {bytes, bytes + data->cbData}});
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateMessengerWindow() {
    static const ATOM registered = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &MessengerProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"MsnMsgrUIManager";
        return RegisterClassW(&windowClass);
    }();
    EXPECT_NE(0, registered);
    return CreateWindowExW(0, L"MsnMsgrUIManager", L"", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

class CopyDataTransportTest : public ::testing::Test {
protected:
    void SetUp() override {
        ReceivedRecords().clear();
        HangMilliseconds() = 0;
    }
    void TearDown() override {
        stop_ = true;
        SetEvent(SlowRelease());
        for (std::thread& thread : threads_) {
            thread.join();
        }
        ResetEvent(SlowRelease());
        for (HWND window : windows_) {
            DestroyWindow(window);
        }
    }
    // A messenger window on a thread of its own, which handles its messages until the test
    // ends; a slow one takes 3 s over every record.
    HWND AddOnItsOwnThread(bool slow) {
        std::atomic<HWND> window{nullptr};
        threads_.emplace_back([this, slow, &window] {
            t_slow = slow;
            HWND own = CreateMessengerWindow();
            window = own;
            MSG msg;
            while (!stop_) {
                while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                    DispatchMessageW(&msg);
                }
                Sleep(10);
            }
            DestroyWindow(own);
        });
        while (window.load() == nullptr) {
            Sleep(10);
        }
        return window;
    }
    HWND Add() {
        HWND window = CreateMessengerWindow();
        EXPECT_NE(nullptr, window);
        windows_.push_back(window);
        return window;
    }
    static std::string Id(HWND window) {
        return std::to_string(reinterpret_cast<std::uintptr_t>(window));
    }

    CopyDataTransport transport_;
    std::vector<HWND> windows_;
    std::atomic<bool> stop_{false};
    std::vector<std::thread> threads_;
};

TEST_F(CopyDataTransportTest, NoMessengerWindowsNoReceivers) {
    EXPECT_TRUE(transport_.Receivers().empty());
}

TEST_F(CopyDataTransportTest, EveryMessengerWindowGetsTheRecordWithItsBytesAndDwData) {
    HWND first = Add();
    HWND second = Add();
    const auto receivers = transport_.Receivers();
    ASSERT_EQ(2u, receivers.size());
    EXPECT_NE(receivers.end(), std::find(receivers.begin(), receivers.end(), Id(first)));
    EXPECT_NE(receivers.end(), std::find(receivers.begin(), receivers.end(), Id(second)));

    const std::vector<std::uint8_t> record{0x5C, 0x00, 0x30, 0x00, 0x00, 0x00};
    for (const auto& receiver : receivers) {
        transport_.Send(receiver, 0x547, record);
    }
    ASSERT_EQ(2u, ReceivedRecords().size());
    for (const auto& received : ReceivedRecords()) {
        EXPECT_EQ(0x547u, received.dwData);
        EXPECT_EQ(record, received.bytes);
    }
    EXPECT_NE(ReceivedRecords()[0].window, ReceivedRecords()[1].window);
}

TEST_F(CopyDataTransportTest, OtherWindowClassesAndBadReceiverIdsGetNothing) {
    HWND other = CreateWindowExW(0, L"STATIC", L"MsnMsgrUIManager", 0, 0, 0, 0, 0, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    EXPECT_TRUE(transport_.Receivers().empty());
    const std::vector<std::uint8_t> record{1, 2};
    transport_.Send("not a window", 0x547, record);
    transport_.Send("", 0x547, record);
    transport_.Send("12x", 0x547, record);
    EXPECT_TRUE(ReceivedRecords().empty());
    DestroyWindow(other);
}

// A messenger that takes far longer than the bound must not hold the caller with it.
TEST_F(CopyDataTransportTest, AHangingReceiverIsGivenUpOnAfterTheBound) {
    std::atomic<HWND> window{nullptr};
    std::atomic<bool> stop{false};
    std::thread messenger([&] {
        window = CreateMessengerWindow();
        MSG msg;
        while (!stop) {
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                DispatchMessageW(&msg);
            }
            Sleep(10);
        }
        DestroyWindow(window);
    });
    while (window.load() == nullptr) {
        Sleep(10);
    }
    HangMilliseconds() = 20000;
    const std::vector<std::uint8_t> record{1, 2, 3, 4};
    const auto start = std::chrono::steady_clock::now();
    transport_.Send(Id(window), 0x547, record);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_LT(waited, std::chrono::seconds(15)) << "the send waited for the hung receiver";
    stop = true;
    messenger.join();
}

// Three messenger windows that take 3 s over every record, and one that answers at once: a
// record holds the caller at most the bound in all, the one that answers gets every record,
// and the slow ones cost only a short probe on the records after.
TEST_F(CopyDataTransportTest, SlowWindowsHoldARecordAtMostTheBoundInAll) {
    for (int i = 0; i < 3; ++i) {
        AddOnItsOwnThread(true);
    }
    Add();  // answers at once: its thread is this one
    std::vector<long long> waits;
    for (const char* text : {"Maandag", "Dinsdag"}) {
        const auto start = std::chrono::steady_clock::now();
        messengers::SendMessengerStatus(transport_, "Office", true, "{0}", text);
        waits.push_back(std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - start)
                            .count());
    }
    RecordProperty("first_record_ms", static_cast<int>(waits[0]));
    RecordProperty("second_record_ms", static_cast<int>(waits[1]));
    EXPECT_EQ(ReceivedRecords().size(), 2u) << "the window that answers got every record";
    EXPECT_LT(waits[0], 6000);  // three sends of 3 s each: 9 s
    EXPECT_LT(waits[1], 3000);
}

// What other programs send to Zonbode's windows while a messenger is slow (the session's end
// among them) waits until the record is delivered: handled inside the send, it would run the
// unload in the middle of a delivery.
TEST_F(CopyDataTransportTest, MessagesSentToUsDuringTheWaitAreNotHandledInsideIt) {
    static std::atomic<bool> sending{false};
    static std::atomic<int> handledInside{0};
    sending = false;
    handledInside = 0;
    WNDCLASSW ownClass{};
    ownClass.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_APP && sending) {
            ++handledInside;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    };
    ownClass.hInstance = GetModuleHandleW(nullptr);
    ownClass.lpszClassName = L"ZonbodeTestOwnWindow";
    RegisterClassW(&ownClass);
    HWND own = CreateWindowExW(0, L"ZonbodeTestOwnWindow", L"", WS_OVERLAPPED, 0, 0, 0, 0, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, own);

    HWND window = AddOnItsOwnThread(true);
    // While the messenger takes its time over the record, another thread sends to our window.
    const std::vector<std::uint8_t> record{1, 2, 3, 4};
    std::thread other([&] {
        while (!sending) {
            Sleep(1);
        }
        DWORD_PTR result = 0;
        SendMessageTimeoutW(own, WM_APP, 0, 0, SMTO_NORMAL, 300, &result);
    });
    sending = true;
    transport_.SetDeadline(std::chrono::steady_clock::now() + std::chrono::milliseconds(800));
    transport_.Send(Id(window), 0x547, record);
    sending = false;
    other.join();
    DestroyWindow(own);
    EXPECT_EQ(handledInside, 0);
}

}  // namespace
}  // namespace zonbode::messengers::win32
