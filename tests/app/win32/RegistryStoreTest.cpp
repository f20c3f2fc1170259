// The settings store on the registry of the build's wine prefix, under a key of its own.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/win32/RegistryStore.h"

namespace zonbode::app::win32 {
namespace {

class RegistryStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        subKey_ = L"Software\\Kavelo\\ZonbodeTest" + std::to_wstring(GetCurrentProcessId());
        base_ = "HKEY_CURRENT_USER\\Software\\Kavelo\\ZonbodeTest" +
                std::to_string(GetCurrentProcessId());
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, subKey_.c_str()); }

    DWORD StoredType(const std::wstring& key, const std::wstring& value) const {
        DWORD type = 0;
        const std::wstring path = subKey_ + key;
        if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), value.c_str(), RRF_RT_ANY, &type, nullptr,
                         nullptr) != ERROR_SUCCESS) {
            return REG_NONE;
        }
        return type;
    }

    RegistryStore store_;
    std::wstring subKey_;
    std::string base_;
};

TEST_F(RegistryStoreTest, MissingValuesAndKeysReadAsEmptyText) {
    EXPECT_EQ("", store_.ReadRegValue(base_ + "\\PSM"));
    EXPECT_EQ("", store_.ReadRegValue(base_ + "\\No\\Such\\Key\\PSM"));
}

TEST_F(RegistryStoreTest, TextIsStoredAsRegSzAndComesBackUnchanged) {
    const std::string text = "[dag]: zon [zon]% \xE2\x98\x80 12\xC2\xB0 \\0 \"quoted\"";
    store_.WriteRegString(base_ + "\\PSM", text);
    EXPECT_EQ(text, store_.ReadRegValue(base_ + "\\PSM"));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), StoredType(L"", L"PSM"));

    // 40,000 characters, a tenth of them outside the Basic Multilingual Plane.
    std::string longText;
    for (int i = 0; i < 4000; ++i) {
        longText += "Zon\xF0\x9F\x8C\x9E [zon]";
    }
    store_.WriteRegString(base_ + "\\PSM", longText);
    EXPECT_TRUE(store_.ReadRegValue(base_ + "\\PSM") == longText);

    store_.WriteRegString(base_ + "\\PSM", "");
    EXPECT_EQ("", store_.ReadRegValue(base_ + "\\PSM"));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), StoredType(L"", L"PSM")) << "an empty text is stored";
}

TEST_F(RegistryStoreTest, NumbersAreStoredAsRegDwordAndReadAsTheirDigits) {
    store_.WriteRegDword(base_ + "\\Auto", 1);
    store_.WriteRegDword(base_ + "\\Systeemvak", 0);
    EXPECT_EQ("1", store_.ReadRegValue(base_ + "\\Auto"));
    EXPECT_EQ("0", store_.ReadRegValue(base_ + "\\Systeemvak"));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), StoredType(L"", L"Auto"));
    store_.WriteRegDword(base_ + "\\Auto", -2);
    EXPECT_EQ("-2", store_.ReadRegValue(base_ + "\\Auto"));
}

TEST_F(RegistryStoreTest, ATextValueOneReadsLikeTheNumberOne) {
    store_.WriteRegString(base_ + "\\Auto", "1");
    EXPECT_EQ("1", store_.ReadRegValue(base_ + "\\Auto"));
}

TEST_F(RegistryStoreTest, WritingCreatesEveryMissingKeyOnThePath) {
    store_.WriteRegDword(base_ + "\\Deeper\\Still\\Auto", 1);
    EXPECT_EQ("1", store_.ReadRegValue(base_ + "\\Deeper\\Still\\Auto"));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), StoredType(L"\\Deeper\\Still", L"Auto"));
}

TEST_F(RegistryStoreTest, ShortRootNamesWorkAndBadPathsFailSilently) {
    const std::string shortBase = "HKCU" + base_.substr(base_.find('\\'));
    store_.WriteRegString(shortBase + "\\PSM", "kort");
    EXPECT_EQ("kort", store_.ReadRegValue(base_ + "\\PSM"));

    for (const std::string& bad : {std::string(), std::string("PSM"),
                                   std::string("HKEY_NOWHERE\\Software\\PSM"), base_ + "\\"}) {
        store_.WriteRegString(bad, "x");
        store_.WriteRegDword(bad, 1);
        EXPECT_EQ("", store_.ReadRegValue(bad)) << bad;
    }
}

}  // namespace
}  // namespace zonbode::app::win32
