#pragma once

#include <functional>
#include <map>
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

// Kept in memory only: for a program without settings of its own.
class RestorePointsInMemory final : public RestorePoints {
public:
    std::string Read(std::string_view messenger) override;
    void Write(std::string_view messenger, const std::string& kept) override;

private:
    std::map<std::string, std::string, std::less<>> kept_;
};

}  // namespace zonbode::messengers
