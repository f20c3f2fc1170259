#include "messengers/copydata/win32/CopyDataTransport.h"

#include <windows.h>

#include <charconv>
#include <cstdint>

namespace zonbode::messengers::win32 {

// Receivers are named by their window handle in decimal.
std::vector<std::string> CopyDataTransport::Receivers() {
    std::vector<std::string> receivers;
    HWND found = nullptr;
    while ((found = FindWindowExA(nullptr, found, "MsnMsgrUIManager", nullptr)) != nullptr) {
        receivers.push_back(std::to_string(reinterpret_cast<std::uintptr_t>(found)));
    }
    return receivers;
}

void CopyDataTransport::Send(const std::string& receiver, std::uint32_t dwData,
                             std::span<const std::uint8_t> record) {
    const std::chrono::milliseconds wait = waits_.For(receiver, std::chrono::steady_clock::now());
    if (wait.count() <= 0) {
        return;
    }
    std::uintptr_t value = 0;
    const auto [end, error] =
        std::from_chars(receiver.data(), receiver.data() + receiver.size(), value);
    if (error != std::errc() || end != receiver.data() + receiver.size()) {
        return;
    }
    COPYDATASTRUCT data;
    data.dwData = dwData;
    data.cbData = static_cast<DWORD>(record.size());
    // The receiver only reads the record, while the call lasts.
    data.lpData = const_cast<std::uint8_t*>(record.data());
    DWORD_PTR result = 0;
    // SMTO_BLOCK: what other programs send us meanwhile (the session's end among them) waits
    // until this send is done, so nothing runs in the middle of a delivery or the unload.
    const LRESULT sent = SendMessageTimeoutA(
        reinterpret_cast<HWND>(value), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
        SMTO_ABORTIFHUNG | SMTO_BLOCK, static_cast<UINT>(wait.count()), &result);
    const DWORD failure = sent == 0 ? GetLastError() : ERROR_SUCCESS;
    waits_.Answered(receiver, failure != ERROR_TIMEOUT);
}

}  // namespace zonbode::messengers::win32
