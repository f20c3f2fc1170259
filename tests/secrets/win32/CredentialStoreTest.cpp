// Against the Credential Manager of the build's wine prefix.
#include <gtest/gtest.h>
#include <windows.h>
// wincred.h needs the types of windows.h.
#include <wincred.h>

#include "secrets/win32/CredentialStore.h"

namespace zonbode::secrets {
namespace {

TEST(CredentialStore, KeepsOneGenericCredentialPerTargetForThisUser) {
    CredentialStore slack(L"Zonbode/Slack-test");
    CredentialStore other(L"Zonbode/Other-test");
    ASSERT_TRUE(slack.ForgetSecret());
    EXPECT_EQ(slack.ReadSecret(), "");
    ASSERT_TRUE(slack.WriteSecret("xoxp-1-first"));
    ASSERT_TRUE(other.WriteSecret("kept"));
    ASSERT_TRUE(slack.WriteSecret("xoxp-2-\xE2\x98\x80"));  // replaces, not adds
    EXPECT_EQ(CredentialStore(L"Zonbode/Slack-test").ReadSecret(), "xoxp-2-\xE2\x98\x80");

    // What other programs see: a generic credential kept for this user, the token in UTF-8.
    PCREDENTIALW credential = nullptr;
    ASSERT_TRUE(CredReadW(L"Zonbode/Slack-test", CRED_TYPE_GENERIC, 0, &credential));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(credential->CredentialBlob),
                          credential->CredentialBlobSize),
              "xoxp-2-\xE2\x98\x80");
    EXPECT_EQ(credential->Persist, static_cast<DWORD>(CRED_PERSIST_LOCAL_MACHINE));
    CredFree(credential);

    EXPECT_TRUE(slack.ForgetSecret());
    EXPECT_EQ(slack.ReadSecret(), "");
    EXPECT_TRUE(slack.ForgetSecret());
    EXPECT_EQ(other.ReadSecret(), "kept");
    EXPECT_TRUE(other.ForgetSecret());
}

}  // namespace
}  // namespace zonbode::secrets
