#include "messengers/RestorePoints.h"

namespace zonbode::messengers {

std::string RestorePointsInMemory::Read(std::string_view messenger) {
    const auto it = kept_.find(messenger);
    return it == kept_.end() ? std::string() : it->second;
}

void RestorePointsInMemory::Write(std::string_view messenger, const std::string& kept) {
    if (kept.empty()) {
        if (const auto it = kept_.find(messenger); it != kept_.end()) {
            kept_.erase(it);
        }
    } else {
        kept_.insert_or_assign(std::string(messenger), kept);
    }
}

}  // namespace zonbode::messengers
