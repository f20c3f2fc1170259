#include "secrets/win32/CredentialStore.h"

#include <windows.h>
// wincred.h needs the types of windows.h.
#include <wincred.h>

namespace zonbode::secrets {

std::optional<std::string> CredentialStore::ReadSecret() {
    PCREDENTIALW credential = nullptr;
    if (!CredReadW(target_.c_str(), CRED_TYPE_GENERIC, 0, &credential)) {
        if (GetLastError() == ERROR_NOT_FOUND) {
            return std::string();
        }
        return std::nullopt;
    }
    std::string secret(reinterpret_cast<const char*>(credential->CredentialBlob),
                       credential->CredentialBlobSize);
    SecureZeroMemory(credential->CredentialBlob, credential->CredentialBlobSize);
    CredFree(credential);
    return secret;
}

bool CredentialStore::WriteSecret(const std::string& secret) {
    std::string blob = secret;
    CREDENTIALW credential{};
    credential.Type = CRED_TYPE_GENERIC;
    credential.TargetName = const_cast<wchar_t*>(target_.c_str());
    credential.CredentialBlobSize = static_cast<DWORD>(blob.size());
    credential.CredentialBlob = reinterpret_cast<BYTE*>(blob.data());
    credential.Persist = CRED_PERSIST_LOCAL_MACHINE;
    credential.UserName = const_cast<wchar_t*>(L"Zonbode");
    const bool written = CredWriteW(&credential, 0) != FALSE;
    SecureZeroMemory(blob.data(), blob.size());
    return written;
}

bool CredentialStore::ForgetSecret() {
    return CredDeleteW(target_.c_str(), CRED_TYPE_GENERIC, 0) != FALSE ||
           GetLastError() == ERROR_NOT_FOUND;
}

}  // namespace zonbode::secrets
