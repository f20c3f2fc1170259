// The sign-in entry on the registry of the build's wine prefix.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/win32/RunEntry.h"

namespace zonbode::app::win32 {
namespace {

using State = SignInEntry::State;

std::wstring StoredCommand() {
    wchar_t text[512] = {};
    DWORD size = sizeof text;
    if (RegGetValueW(HKEY_CURRENT_USER, RunEntry::kRunKey, RunEntry::kValueName, RRF_RT_REG_SZ,
                     nullptr, text, &size) != ERROR_SUCCESS) {
        return L"(none)";
    }
    return text;
}

class RunEntryTest : public ::testing::Test {
protected:
    void TearDown() override { RunEntry(L"").Remove(); }
};

TEST_F(RunEntryTest, PutNamesTheProgramQuotedAndAMovedCopyFindsItElsewhere) {
    RunEntry here(L"C:\\Program Files\\Zonbode\\zonbode.exe");
    RunEntry moved(L"D:\\Tools\\Zon bode\\zonbode.exe");
    here.Remove();
    EXPECT_EQ(State::Missing, here.Look());
    here.Put();
    EXPECT_EQ(L"\"C:\\Program Files\\Zonbode\\zonbode.exe\"", StoredCommand());
    EXPECT_EQ(State::InPlace, here.Look());
    EXPECT_EQ(State::InPlace, RunEntry(L"c:\\program files\\zonbode\\ZONBODE.EXE").Look());
    EXPECT_EQ(State::Elsewhere, moved.Look());
    moved.Put();
    EXPECT_EQ(State::InPlace, moved.Look());
    EXPECT_EQ(State::Elsewhere, here.Look());
    moved.Remove();
    EXPECT_EQ(State::Missing, moved.Look());
    EXPECT_EQ(L"(none)", StoredCommand());
    moved.Remove();  // removing what is not there is no failure
}

TEST_F(RunEntryTest, TheOwnPathIsThisProgramsFileAndAnUnknownPathWritesNothing) {
    const std::wstring own = RunEntry::OwnPath();
    EXPECT_TRUE(own.ends_with(L"\\app_win32_tests.exe")) << own.size();
    RunEntry(L"").Put();
    EXPECT_EQ(State::Missing, RunEntry(own).Look());
}

}  // namespace
}  // namespace zonbode::app::win32
