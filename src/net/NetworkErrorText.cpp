#include "net/NetworkErrorText.h"

#include <algorithm>

#include "net/WindowsSocketsCodes.h"

namespace zonbode::net {

std::string NetworkErrorText(std::int32_t code) {
    const auto* it =
        std::find_if(kWindowsSocketsCodes.begin(), kWindowsSocketsCodes.end(),
                     [code](const WindowsSocketsCode& entry) { return entry.code == code; });
    if (it == kWindowsSocketsCodes.end() || it->text.empty()) {
        return "Unknown error.";
    }
    return std::string(it->text);
}

}  // namespace zonbode::net
