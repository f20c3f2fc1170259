#pragma once

#include <optional>
#include <string>

namespace zonbode::secrets {

// One secret of this user in the system's own store (the Secret Service on Linux, the
// Credential Manager on Windows), never in the settings. A store that cannot be reached reads
// as nullopt and refuses writes; nothing is thrown.
class SecretStore {
public:
    virtual ~SecretStore() = default;
    // The secret; "" when none is stored, nullopt when the store could not be asked.
    virtual std::optional<std::string> ReadSecret() = 0;
    virtual bool WriteSecret(const std::string& secret) = 0;
    // Forgetting a secret that is not there succeeds.
    virtual bool ForgetSecret() = 0;
};

}  // namespace zonbode::secrets
