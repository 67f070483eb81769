// The registry family against a real settings file in a temporary XDG_CONFIG_HOME.
#include "platform/registry.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

/* The settings key, open for the object's lifetime; values as raw UTF-16 units. */
struct Key {
    Key() {
        status = RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\MyCompany\\Pemblar", 0, nullptr, 0,
                                 0, nullptr, &hkey, &disposition);
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
    DWORD disposition = 0;
    LSTATUS status;
};

TEST(Registry, KeysAreHandlesOnTheOneSettingsFile) {
    ScopedSettingsHome home;
    const int openBefore = platform_testing::OpenRegistryKeyCount();
    {
        Key first;
        ASSERT_EQ(first.status, ERROR_SUCCESS);
        EXPECT_EQ(first.disposition, REG_CREATED_NEW_KEY);
        EXPECT_TRUE(QFileInfo(home.SettingsFile()).isFile());
        Key second;
        EXPECT_EQ(second.disposition, REG_OPENED_EXISTING_KEY);
        EXPECT_NE(first.hkey, second.hkey);
        EXPECT_EQ(platform_testing::OpenRegistryKeyCount(), openBefore + 2);
        ASSERT_EQ(first.Write(u"Shared", u"one\0"s), ERROR_SUCCESS);
        std::u16string units;
        ASSERT_EQ(second.Read(u"Shared", &units), ERROR_SUCCESS);
        EXPECT_EQ(units, u"one\0"s);

        ASSERT_EQ(RegCloseKey(first.hkey), ERROR_SUCCESS);
        EXPECT_EQ(RegCloseKey(first.hkey), ERROR_INVALID_HANDLE);
        EXPECT_EQ(first.Read(u"Shared", &units), ERROR_INVALID_HANDLE);
        EXPECT_EQ(first.Write(u"Shared", u"two\0"s), ERROR_INVALID_HANDLE);
        first.hkey = nullptr;
    }
    EXPECT_EQ(platform_testing::OpenRegistryKeyCount(), openBefore);

    // Every organisation's application has a file of its own; a key that names no file inside
    // the settings home is refused.
    HKEY other = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"software\\MyCompany\\Other", 0, nullptr, 0, 0,
                              nullptr, &other, nullptr),
              ERROR_SUCCESS);
    std::u16string units;
    EXPECT_EQ(Key().Read(u"Shared", &units), ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExW(other, u"Shared", nullptr, nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(QFileInfo(home.Folder() + "/Other.conf").isFile());
    EXPECT_EQ(RegCloseKey(other), ERROR_SUCCESS);
    for (LPCWSTR refused :
         {u"Software\\MyCompany\\..", u"Software\\..\\Pemblar", u"Software\\.\\Pemblar",
          u"Software\\MyCompany\\a/b", u"Software\\MyCompany\\", u"Software\\\\Pemblar",
          u"Software\\MyCompany", u"Software\\MyCompany\\Pemblar\\Sub",
          u"Hardware\\MyCompany\\Pemblar"}) {
        other = reinterpret_cast<HKEY>(1);
        EXPECT_EQ(
            RegCreateKeyExW(HKEY_CURRENT_USER, refused, 0, nullptr, 0, 0, nullptr, &other, nullptr),
            ERROR_ACCESS_DENIED)
            << QString::fromUtf16(refused).toStdString();
        EXPECT_EQ(other, nullptr);
    }
    EXPECT_EQ(QDir(home.Root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).join(u','),
              "MyCompany");
    // A pipe where the file should be would block its reader: it is no settings file.
    ScopedSettingsHome piped;
    ASSERT_TRUE(QDir().mkpath(piped.Folder()));
    ASSERT_EQ(mkfifo(QFile::encodeName(piped.SettingsFile()).constData(), 0600), 0);
    EXPECT_EQ(Key().status, ERROR_ACCESS_DENIED);
    EXPECT_EQ(platform_testing::OpenRegistryKeyCount(), openBefore);
}

TEST(Registry, AnyTextReadsBackExactlyFromTheFileAlone) {
    std::u16string everyUnit;
    for (unsigned unit = 0; unit <= 0xFFFF; ++unit) everyUnit += static_cast<char16_t>(unit);
    const std::vector<std::pair<LPCWSTR, std::u16string>> values = {
        {u"Empty", u"\0"s},
        {u"Camera IP", u"80..!@#$%..a=b;c..!@#$%..\0"s},
        {u"Quotes and backslashes", u"\"q\" 'q' \\\\srv\\x \\u0041 \\\0"s},
        {u"Lines and markers", u"[General]\r\nk=sz:v\n@ByteArray(y); \0 after a NUL\0"s},
        {u"Non-ASCII", u"\u00fc\u00df \u65e5\u672c \U0001F4F7 a\xD800 b\xDFFF\0"s},
        {u"Every unit", everyUnit},
        {u"No terminator", u"abc"s},
    };
    ScopedSettingsHome home;
    {
        Key key;
        for (const auto& [name, units] : values) ASSERT_EQ(key.Write(name, units), ERROR_SUCCESS);
    }
    // The file is plain ASCII, one readable line per value.
    const QByteArray file = home.ReadSettingsFile();
    EXPECT_TRUE(file.contains("\nCamera IP=sz:80..!@#$%..a=b;c..!@#$%..\\u0000\n"));
    EXPECT_EQ(std::count_if(file.begin(), file.end(),
                            [](char ch) { return (ch < 0x20 && ch != '\n') || ch > 0x7E; }),
              0);

    ScopedSettingsHome nextRun;  // nothing in this process has seen its path
    ASSERT_TRUE(home.CopySettingsTo(nextRun));
    Key key;
    EXPECT_EQ(key.disposition, REG_OPENED_EXISTING_KEY);
    std::u16string units;
    for (const auto& [name, expected] : values) {
        ASSERT_EQ(key.Read(name, &units), ERROR_SUCCESS);
        EXPECT_TRUE(units == expected) << QString::fromUtf16(name).toStdString();
    }

    // A buffer one byte short: ERROR_MORE_DATA with the size needed, the buffer untouched.
    std::vector<BYTE> buffer(64, 0xA5);
    DWORD size = 51;
    EXPECT_EQ(RegQueryValueExW(key.hkey, u"Camera IP", nullptr, nullptr, buffer.data(), &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, 52u);
    EXPECT_EQ(std::count(buffer.begin(), buffer.end(), BYTE{0xA5}), 64);
    DWORD type = REG_NONE;
    EXPECT_EQ(RegQueryValueExW(key.hkey, u"Camera IP", nullptr, &type, buffer.data(), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(buffer[52], 0xA5);
    EXPECT_EQ(key.Read(u"Missing", &units), ERROR_FILE_NOT_FOUND);
    const BYTE odd[3] = {'a', 0, 'b'};
    EXPECT_EQ(RegSetValueExW(key.hkey, u"Odd", 0, REG_SZ, odd, 3), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExW(key.hkey, u"Binary", 0, 3, odd, 2), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExW(key.hkey, u"a/b", 0, REG_SZ, odd, 2), ERROR_INVALID_PARAMETER);
}

TEST(Registry, AFileOfTheEarlierReleaseReadsAndItsCommentNamesNoProgram) {
    ScopedSettingsHome home;
    ASSERT_TRUE(home.WriteSettingsFile(
        "; Pemblar settings: name=sz:text, where \\\\ is a backslash and \\uXXXX any other "
        "UTF-16 unit.\nCamera IP=sz:192.168.0.10..!@#$%..\\u0000\nCamera Port=sz:80\\u0000\n"
        "Save=sz:\\\\srv\\u00fc\\u0000\n"));
    Key key;
    ASSERT_EQ(key.status, ERROR_SUCCESS);
    EXPECT_EQ(key.disposition, REG_OPENED_EXISTING_KEY);
    std::u16string units;
    for (auto [name, expected] :
         {std::pair{u"Camera IP", u"192.168.0.10..!@#$%..\0"s}, std::pair{u"Camera Port", u"80\0"s},
          std::pair{u"Save", u"\\srv\u00fc\0"s}}) {
        ASSERT_EQ(key.Read(name, &units), ERROR_SUCCESS);
        EXPECT_EQ(units, expected);
    }
    ASSERT_EQ(key.Write(u"Camera Port", u"81\0"s), ERROR_SUCCESS);
    const QByteArray rewritten = home.ReadSettingsFile();
    EXPECT_TRUE(rewritten.startsWith("; Settings: ")) << rewritten.toStdString();
    EXPECT_FALSE(rewritten.contains("Pemblar")) << rewritten.toStdString();
}

TEST(Registry, WrongTypesAndGarbageFailOnlyTheirOwnReads) {
    ScopedSettingsHome home;
    ASSERT_TRUE(
        home.WriteSettingsFile("\xEF\xBB\xBF\x01 garbage\n=nameless\n[General]\n"
                               "Plain=text\nNumber=dword:00000005\n"
                               "Qt ini=@ByteArray(a\\0\\0\\0)\nBad escape=sz:a\\q\n"
                               "Short escape=sz:a\\u12\nRaw=sz:\xff\\u0000\n"
                               "Good=sz:o\\u006b\\u0000\r\n\xff=sz:\\u0000\nHuge=sz:" +
                               QByteArray(1000000, 'x') + "\n"));
    Key key;
    ASSERT_EQ(key.status, ERROR_SUCCESS);
    std::u16string units;
    for (LPCWSTR name : {u"Plain", u"Number", u"Qt ini", u"Bad escape", u"Short escape", u"Raw"}) {
        EXPECT_EQ(key.Read(name, &units), ERROR_INVALID_DATA)
            << QString::fromUtf16(name).toStdString();
    }
    DWORD size = 20000;
    std::vector<BYTE> buffer(size);
    EXPECT_EQ(RegQueryValueExW(key.hkey, u"Huge", nullptr, nullptr, buffer.data(), &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, 2000000u);

    // Writing into the damaged file keeps every line that had a name.
    ASSERT_EQ(key.Write(u"Written", u"w\0"s), ERROR_SUCCESS);
    ScopedSettingsHome nextRun;
    ASSERT_TRUE(home.CopySettingsTo(nextRun));
    Key reopened;
    for (auto [name, expected] : {std::pair{u"Good", u"ok\0"s}, std::pair{u"Written", u"w\0"s}}) {
        ASSERT_EQ(reopened.Read(name, &units), ERROR_SUCCESS);
        EXPECT_EQ(units, expected);
    }
    EXPECT_EQ(reopened.Read(u"Plain", &units), ERROR_INVALID_DATA);
}

TEST(Registry, FailedWritesLeaveTheFileAndNoLaterWriteStoresThem) {
    ScopedSettingsHome home;
    Key key;
    ASSERT_EQ(key.Write(u"Kept", u"kept\0"s), ERROR_SUCCESS);
    const QByteArray before = home.ReadSettingsFile();
    // A folder where the file should be, a file where the folder should be, a file size limit
    // (which a writer that checks only at closing time would miss): each fails a changed and a
    // new value.
    const std::u16string large(5000, u'L');
    for (int way = 0; way < 3; ++way) {
        ASSERT_TRUE(way == 2 ||
                    (way == 0 ? home.BlockFileWithFolder() : home.BlockFolderWithFile()));
        std::optional<ScopedFileSizeLimit> limit;
        if (way == 2) limit.emplace(4096);
        EXPECT_EQ(key.Write(u"Kept", large), ERROR_ACCESS_DENIED) << way;
        EXPECT_EQ(key.Write(u"New", large), ERROR_ACCESS_DENIED) << way;
        limit.reset();
        ASSERT_TRUE(home.Unblock());
        EXPECT_EQ(home.ReadSettingsFile(), before) << way;
        EXPECT_EQ(home.FolderEntries().join(u',').toStdString(), "Pemblar.conf");
    }

    ASSERT_EQ(key.Write(u"Later", u"later\0"s), ERROR_SUCCESS);
    ScopedSettingsHome nextRun;
    ASSERT_TRUE(home.CopySettingsTo(nextRun));
    Key reopened;
    std::u16string units;
    ASSERT_EQ(reopened.Read(u"Kept", &units), ERROR_SUCCESS);
    EXPECT_EQ(units, u"kept\0"s);
    EXPECT_EQ(reopened.Read(u"New", &units), ERROR_FILE_NOT_FOUND);
}

}  // namespace
