#include "app/win32/OptionTextOutput.h"

#include <windows.h>

#include "app/WindowLayout.h"
#include "app/win32/WideText.h"

namespace zonbode::app::win32 {

namespace {

bool WriteToHandle(HANDLE handle, std::string_view text) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    return WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

}  // namespace

void WriteOptionTextOrBox(OptionText kind, std::string_view text) {
    const bool problem = kind == OptionText::Problem;
    if (WriteToHandle(GetStdHandle(problem ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE), text)) {
        return;
    }
    MessageBoxW(nullptr, Widen(text).c_str(), Widen(layout::kWindowCaption).c_str(),
                MB_OK | (problem ? MB_ICONERROR : MB_ICONINFORMATION));
}

}  // namespace zonbode::app::win32
