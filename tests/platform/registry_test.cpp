// The registry family against a real settings file in a temporary XDG_CONFIG_HOME.
#include "platform/registry.h"

#include <QDir>
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "platform/testing/hooks.h"
#include "support/file_size_limit.h"
#include "support/settings_home.h"

namespace {

using namespace std::string_literals;

std::string Narrow(LPCWSTR text) {
    return QString::fromUtf16(text).toStdString();
}

/* The settings key, open for the object's lifetime; values as raw UTF-16 units. */
struct Key {
    Key() {
        RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\MyCompany\\Pemblar", 0, nullptr, 0, 0,
                        nullptr, &hkey, nullptr);
    }
    ~Key() {
        if (hkey != nullptr) RegCloseKey(hkey);
    }
    LSTATUS Write(LPCWSTR name, const std::u16string& units) const {
        return RegSetValueExW(hkey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(units.data()),
                              static_cast<DWORD>(units.size() * 2));
    }
    LSTATUS Read(LPCWSTR name, std::u16string* units) const {
        units->assign(0x10000, u'\0');  // room for any test's value
        DWORD size = 0x20000;
        const LSTATUS status = RegQueryValueExW(hkey, name, nullptr, nullptr,
                                                reinterpret_cast<LPBYTE>(units->data()), &size);
        units->resize(status == ERROR_SUCCESS ? size / 2 : 0);
        return status;
    }
    HKEY hkey = nullptr;
};

TEST(Registry, AnyTextReadsBackExactlyFromTheFileAloneAndAClosedKeyFails) {
    std::u16string everyUnit;
    for (unsigned unit = 0; unit <= 0xFFFF; ++unit) everyUnit += static_cast<char16_t>(unit);
    const std::pair<LPCWSTR, std::u16string> values[] = {
        {u"Camera IP", u"80..!@#$%..a=b;c\0"s},
        {u"Markers", u"\"q\" \\\\srv\\u0041 [General]\r\nk=sz:v\n@ByteArray(y);\0"s},
        {u"Every unit", everyUnit}};
    ScopedSettingsHome home;
    const int openBefore = platform_testing::OpenRegistryKeyCount();
    {
        Key key;
        for (const auto& [name, units] : values) ASSERT_EQ(ERROR_SUCCESS, key.Write(name, units));
        ASSERT_EQ(ERROR_SUCCESS, RegCloseKey(key.hkey));
        EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(key.hkey));
        EXPECT_EQ(ERROR_INVALID_HANDLE, key.Write(u"Camera IP", u"x\0"s));
        key.hkey = nullptr;
    }
    EXPECT_EQ(openBefore, platform_testing::OpenRegistryKeyCount());
    ScopedSettingsHome nextRun;  // nothing in this process has seen its path
    ASSERT_TRUE(home.CopySettingsTo(nextRun));
    Key key;
    std::u16string units;
    for (const auto& [name, expected] : values) {
        ASSERT_EQ(ERROR_SUCCESS, key.Read(name, &units)) << Narrow(name);
        EXPECT_TRUE(units == expected) << Narrow(name);
    }
    // A buffer one byte short: ERROR_MORE_DATA with the size needed, the buffer untouched.
    std::vector<BYTE> buffer(64, 0xA5);
    DWORD size = 33;
    EXPECT_EQ(ERROR_MORE_DATA,
              RegQueryValueExW(key.hkey, u"Camera IP", nullptr, nullptr, buffer.data(), &size));
    EXPECT_EQ(34u, size);
    EXPECT_EQ(64, std::count(buffer.begin(), buffer.end(), BYTE{0xA5}));
}

TEST(Registry, GarbageFailsOnlyItsOwnReadsAndAWriteKeepsTheNamedLines) {
    ScopedSettingsHome home;
    ASSERT_TRUE(home.WriteSettingsFile(
        "; a comment\n\x01 garbage\n=nameless\n[General]\nPlain=text\nNumber=dword:00000005\n"
        "Bad escape=sz:a\\q\nShort escape=sz:a\\u12\nRaw=sz:\xff\\u0000\n"
        "Good=sz:o\\u006b\\u0000\r\nHuge=sz:" +
        QByteArray(1000000, 'x') + "\n"));
    Key key;
    std::u16string units;
    for (LPCWSTR name : {u"Plain", u"Number", u"Bad escape", u"Short escape", u"Raw"})
        EXPECT_EQ(ERROR_INVALID_DATA, key.Read(name, &units)) << Narrow(name);
    DWORD size = 20000;
    std::vector<BYTE> buffer(size);
    EXPECT_EQ(ERROR_MORE_DATA,
              RegQueryValueExW(key.hkey, u"Huge", nullptr, nullptr, buffer.data(), &size));
    EXPECT_EQ(2000000u, size);

    ASSERT_EQ(ERROR_SUCCESS, key.Write(u"Written", u"w\0"s));
    ScopedSettingsHome nextRun;
    ASSERT_TRUE(home.CopySettingsTo(nextRun));
    Key reopened;
    for (auto [name, expected] : {std::pair{u"Good", u"ok\0"s}, std::pair{u"Written", u"w\0"s}}) {
        ASSERT_EQ(ERROR_SUCCESS, reopened.Read(name, &units)) << Narrow(name);
        EXPECT_TRUE(units == expected) << Narrow(name);
    }
    EXPECT_EQ(ERROR_INVALID_DATA, reopened.Read(u"Plain", &units));
}

// A file blocking the folder, or a size limit: writes fail, the file stays, none is stored later.
TEST(Registry, FailedWritesLeaveTheFileAndNoLaterWriteStoresThem) {
    ScopedSettingsHome home;
    Key key;
    ASSERT_EQ(ERROR_SUCCESS, key.Write(u"Kept", u"kept\0"s));
    const QByteArray before = home.ReadSettingsFile();
    for (const bool blocked : {true, false}) {
        ASSERT_TRUE(!blocked || home.BlockFolderWithFile());
        std::optional<ScopedFileSizeLimit> limit;
        if (!blocked) limit.emplace(4096);
        EXPECT_EQ(ERROR_ACCESS_DENIED, key.Write(u"Kept", std::u16string(5000, u'L'))) << blocked;
        EXPECT_EQ(ERROR_ACCESS_DENIED, key.Write(u"New", std::u16string(5000, u'L'))) << blocked;
        limit.reset();
        ASSERT_TRUE(home.Unblock());
        EXPECT_EQ(before, home.ReadSettingsFile()) << blocked;
    }
    ASSERT_EQ(ERROR_SUCCESS, key.Write(u"Later", u"later\0"s));
    std::u16string units;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Key().Read(u"New", &units));
    EXPECT_EQ(ERROR_SUCCESS, Key().Read(u"Kept", &units));
    EXPECT_TRUE(units == u"kept\0"s);
}

// No key name may lead out of the settings home or to another depth; a refused one leaves NULL.
TEST(Registry, KeyNamesThatWouldLeaveTheSettingsHomeAreRefused) {
    ScopedSettingsHome home;
    for (LPCWSTR refused :
         {u"Software\\MyCompany\\..", u"Software\\..\\Pemblar", u"Software\\.\\Pemblar",
          u"Software\\MyCompany\\a/b", u"Software\\MyCompany\\", u"Software\\MyCompany",
          u"Software\\MyCompany\\Pemblar\\Sub", u"Hardware\\MyCompany\\Pemblar"}) {
        HKEY other = reinterpret_cast<HKEY>(1);
        EXPECT_EQ(ERROR_ACCESS_DENIED, RegCreateKeyExW(HKEY_CURRENT_USER, refused, 0, nullptr, 0, 0,
                                                       nullptr, &other, nullptr))
            << Narrow(refused);
        EXPECT_EQ(nullptr, other) << Narrow(refused);
    }
    EXPECT_TRUE(QDir(home.Root()).isEmpty()) << home.Root().toStdString();
}

}  // namespace
