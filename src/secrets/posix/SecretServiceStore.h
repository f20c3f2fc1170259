#pragma once

#include <string>

#include "secrets/SecretStore.h"

namespace zonbode::secrets {

// A secret in the Secret Service of the session bus (GNOME Keyring, KWallet), through
// libsecret, found by the attributes application=zonbode and service=SERVICE.
class SecretServiceStore final : public SecretStore {
public:
    explicit SecretServiceStore(std::string service) : service_(std::move(service)) {}

    std::optional<std::string> ReadSecret() override;
    bool WriteSecret(const std::string& secret) override;
    bool ForgetSecret() override;

private:
    std::string service_;
};

}  // namespace zonbode::secrets
