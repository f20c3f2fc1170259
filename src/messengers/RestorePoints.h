#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace zonbode::messengers {

// What a messenger must bring back at the switch-off (the user's own status) and what Zonbode
// itself set last, kept outside the process the moment it is known: a run that ends without
// its switch-off (killed, a crash, a power cut) leaves it to the next run, which then never
// takes Zonbode's leftover for the user's. Kept beside the program's settings, as one text per
// messenger: it is the user's status, not a secret. Safe to call from any one thread.
class RestorePoints {
public:
    virtual ~RestorePoints() = default;
    // "" when none is kept.
    virtual std::string Read(std::string_view messenger) = 0;
    // "" forgets it.
    virtual void Write(std::string_view messenger, const std::string& kept) = 0;
};

// What a web messenger keeps as its restore point: the user's own status, brought back at the
// switch-off, and the one Zonbode set last, by which the switch-off knows whether the user has
// changed it since. Both or neither: one without the other restores nothing soundly.
template <typename Status>
struct RestorePair {
    std::optional<Status> earlier;
    std::optional<Status> ours;

    bool Held() const { return earlier.has_value() && ours.has_value(); }
    void Clear() {
        earlier.reset();
        ours.reset();
    }
};

// Kept in memory only: for a program without settings of its own.
class RestorePointsInMemory final : public RestorePoints {
public:
    std::string Read(std::string_view messenger) override;
    void Write(std::string_view messenger, const std::string& kept) override;

private:
    std::map<std::string, std::string, std::less<>> kept_;
};

}  // namespace zonbode::messengers
