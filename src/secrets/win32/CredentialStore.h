#pragma once

#include <string>

#include "secrets/SecretStore.h"

namespace zonbode::secrets {

// A secret in this user's Credential Manager: a generic credential of the given target name
// ("Zonbode/Slack"), its blob the secret in UTF-8, kept across log-ons on this machine.
class CredentialStore final : public SecretStore {
public:
    explicit CredentialStore(std::wstring target) : target_(std::move(target)) {}

    std::optional<std::string> ReadSecret() override;
    bool WriteSecret(const std::string& secret) override;
    bool ForgetSecret() override;

private:
    std::wstring target_;
};

}  // namespace zonbode::secrets
