#include "secrets/posix/SecretServiceStore.h"

// libsecret's headers use "signals" as a name, which Qt defines as a keyword.
#undef signals
#include <libsecret/secret.h>

namespace zonbode::secrets {
namespace {

// Matched by attributes alone, so `secret-tool lookup application zonbode service slack`
// finds the same item.
const SecretSchema* Schema() {
    static const SecretSchema schema = {"nl.kavelo.Zonbode",
                                        SECRET_SCHEMA_DONT_MATCH_NAME,
                                        {{"application", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                         {"service", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                         {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING}},
                                        0,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr};
    return &schema;
}

constexpr const char* kApplication = "zonbode";

// Consumes the error: whatever went wrong is a failure of the call, never reported further.
bool Failed(GError* error) {
    if (error == nullptr) {
        return false;
    }
    g_error_free(error);
    return true;
}

}  // namespace

std::optional<std::string> SecretServiceStore::ReadSecret() {
    GError* error = nullptr;
    gchar* secret = secret_password_lookup_sync(Schema(), nullptr, &error, "application",
                                                kApplication, "service", service_.c_str(), nullptr);
    if (Failed(error)) {
        return std::nullopt;
    }
    std::string out = secret != nullptr ? secret : "";
    secret_password_free(secret);
    return out;
}

bool SecretServiceStore::WriteSecret(const std::string& secret) {
    GError* error = nullptr;
    const std::string label = "Zonbode " + service_;
    const gboolean stored = secret_password_store_sync(
        Schema(), SECRET_COLLECTION_DEFAULT, label.c_str(), secret.c_str(), nullptr, &error,
        "application", kApplication, "service", service_.c_str(), nullptr);
    return !Failed(error) && stored;
}

bool SecretServiceStore::ForgetSecret() {
    GError* error = nullptr;
    secret_password_clear_sync(Schema(), nullptr, &error, "application", kApplication, "service",
                               service_.c_str(), nullptr);
    return !Failed(error);
}

}  // namespace zonbode::secrets
