#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zonbode::messengers {

// The saved statuses of a libpurple client (Pidgin, Finch), as it offers them to other
// programs. Ids are the client's own, 0 for none; types are libpurple's status primitives;
// messages are libpurple markup. A call that fails (client gone, hung, out of time) gives
// nullopt or false and never throws.
class PurpleService {
public:
    virtual ~PurpleService() = default;

    virtual std::optional<std::int32_t> SavedstatusGetCurrent() = 0;
    virtual std::optional<std::int32_t> SavedstatusGetType(std::int32_t status) = 0;
    virtual std::optional<std::string> SavedstatusGetMessage(std::int32_t status) = 0;
    virtual std::optional<std::int32_t> SavedstatusGetCreationTime(std::int32_t status) = 0;
    virtual std::optional<std::int32_t> SavedstatusFindByCreationTime(
        std::int32_t creationTime) = 0;
    virtual std::optional<std::int32_t> SavedstatusFindTransientByTypeAndMessage(
        std::int32_t type, const std::string& message) = 0;
    // An empty title makes an unnamed (transient) status.
    virtual std::optional<std::int32_t> SavedstatusNew(const std::string& title,
                                                       std::int32_t type) = 0;
    virtual bool SavedstatusSetMessage(std::int32_t status, const std::string& message) = 0;
    virtual bool SavedstatusActivate(std::int32_t status) = 0;
};

}  // namespace zonbode::messengers
