// Whole-file writes and the file dates the overwrite policy compares.
#include "tests/util/ScratchFolder.h"
#include "util/DateTime.h"
#include "util/InstUtils.h"
#include "util/ScopedWin.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

bool SetLocalWriteTime(const std::string& path, const SYSTEMTIME& local) {
    FILETIME localTime, utc;
    if (!SystemTimeToFileTime(&local, &localTime) || !LocalFileTimeToFileTime(&localTime, &utc))
        return false;
    win::UniqueFile file(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
    return file && SetFileTime(file.get(), nullptr, nullptr, &utc);
}

double LocalNow() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return EncodeDateTime(
        {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds});
}

TEST(WriteTextFile, ReplacesTheWholeContent) {
    TScratchFolder dir;
    const std::string path = dir / "Sarvello.ini";
    WriteBytes(path, std::string(5000, 'x'));

    WriteTextFile(path, "[Sounds]\r\nScheme=1");
    EXPECT_EQ("[Sounds]\r\nScheme=1", ReadBytes(path));

    WriteTextFile(path, std::string("a\0b", 3)); // every byte, zeros included
    EXPECT_EQ(std::string("a\0b", 3), ReadBytes(path));

    WriteTextFile(path, "");
    bool ok = false;
    EXPECT_EQ("", ReadBytes(path, &ok));
    EXPECT_TRUE(ok) << "the file stays, at zero length";

    WriteTextFile(dir / "fresh", "new");
    EXPECT_EQ("new", ReadBytes(dir / "fresh"));
    WriteTextFile(dir / "Missing\\x", "nowhere"); // nothing raised
    EXPECT_FALSE(IsFile(dir / "Missing\\x"));
}

TEST(GetFileWriteDate, HasTheEvenSecondsOfADosDate) {
    TScratchFolder dir;
    const std::string path = dir / "stamp";
    WriteBytes(path, "x");
    const struct { WORD second, expected; } cases[] = {{43, 42}, {42, 42}, {1, 0}, {59, 58}};
    for (const auto& c : cases) {
        SYSTEMTIME t = {};
        t.wYear = 2024;
        t.wMonth = 6;
        t.wDay = 15;
        t.wHour = 13;
        t.wMinute = 37;
        t.wSecond = c.second;
        t.wMilliseconds = 700;
        ASSERT_TRUE(SetLocalWriteTime(path, t));
        const double expected = EncodeDateTime({2024, 6, 15, 13, 37, c.expected, 0});
        EXPECT_EQ(expected, GetFileWriteDate(path)) << "second " << c.second;
    }
}

TEST(GetFileWriteDate, MissingFileIsNow) {
    TScratchFolder dir;
    const double before = LocalNow();
    const double date = GetFileWriteDate(dir / "missing.dat");
    const double after = LocalNow();
    EXPECT_LE(before, date);
    EXPECT_GE(after, date);
}

} // namespace
