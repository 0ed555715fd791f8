// Path separators, size texts, label texts and line splitting: the rules the wizard shows.
#include "util/InstUtils.h"
#include "util/TextLines.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(PathText, AppendBackslash) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"", ""},
        {"C:", "C:\\"},
        {"C:\\", "C:\\"},
        {"C:\\A/", "C:\\A\\"},
        {"C:\\A\\", "C:\\A\\"},
        {"C:\\A", "C:\\A\\"},
        {"/", "\\"},
        {"\\\\srv\\share", "\\\\srv\\share\\"},
        {"a//", "a/\\"}, // only the last character is looked at
    };
    for (const auto& c : cases) {
        std::string s = c.in;
        AppendBackslash(s);
        EXPECT_EQ(c.out, s) << "in: " << c.in;
    }
}

TEST(PathText, JoinPath) {
    const struct {
        const char* folder;
        const char* name;
        const char* out;
    } cases[] = {
        {"C:\\A", "x.txt", "C:\\A\\x.txt"},  {"C:\\A\\", "x.txt", "C:\\A\\x.txt"},
        {"C:\\A/", "x.txt", "C:\\A\\x.txt"}, {"", "x.txt", "x.txt"},
        {"C:", "x.txt", "C:\\x.txt"},        {"C:\\A", "", "C:\\A\\"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.out, JoinPath(c.folder, c.name)) << c.folder << " + " << c.name;
}

TEST(PathText, CharacterEditsAreSafeOnEmptyText) {
    std::string s;
    EXPECT_EQ('\0', LastChar(s));
    DeleteLastChar(s);
    DeleteFirstChar(s);
    EXPECT_EQ("", s);

    s = "ab\\";
    EXPECT_EQ('\\', LastChar(s));
    DeleteLastChar(s);
    EXPECT_EQ("ab", s);
    DeleteFirstChar(s);
    EXPECT_EQ("b", s);
}

TEST(PathText, DrivePart) {
    const struct {
        const char* path;
        const char* drive;
    } cases[] = {
        {"C:\\x\\y", "C:"},
        {"c:", "c:"},
        {"C:rel", "C:"},
        {"\\\\server\\share\\x\\y", "\\\\server\\share"},
        {"\\\\server\\share", "\\\\server\\share"},
        {"relative\\x", ""},
        {"\\rooted", ""},
        {"", ""},
        {"C", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.drive, DrivePart(c.path)) << c.path;
}

TEST(SizeTexts, SizeText) {
    const struct {
        std::int64_t size;
        const char* text;
    } cases[] = {
        {0, "0 KB"},
        {1023, "0 KB"},
        {1024, "1 KB"},
        {1048575, "1 023 KB"},
        {1048576, "1 MB"},
        {1048577, "1 024 KB"},
        {2097152, "2 MB"},
        {16777214, "16 383 KB"},
        {16777215, "16 MB"},
        {16777216, "16 MB"},
        {17301504, "16 MB"}, // 16.5 MB: the half goes to the even neighbour
        {18350080, "18 MB"}, // 17.5 MB
        {18350081, "18 MB"},
        {123456789, "118 MB"},
        {1073741824, "1 024 MB"},
        {10737418240, "10 240 MB"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.text, SizeText(c.size)) << c.size;
}

TEST(SizeTexts, GroupDigits) {
    const struct {
        std::int32_t number;
        const char* text;
    } cases[] = {
        {0, "0"},
        {7, "7"},
        {999, "999"},
        {1000, "1 000"},
        {99999, "99 999"},
        {100000, "100 000"},
        {1234567, "1 234 567"},
        {2147483647, "2 147 483 647"},
        {-1000, "-1 000"},
        {-100, "-100"}, // no space between the sign and its digits
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.text, GroupDigits(c.number)) << c.number;
}

TEST(SizeTexts, LabelText) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"-", "- "}, {"", ""},     {"Tom & Jerry", "Tom && Jerry"},  {"&&", "&&&&"},
        {"&", "&&"}, {"--", "--"}, {"Main program", "Main program"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.out, LabelText(c.in)) << c.in;
}

TEST(SizeTexts, RoundUpToCluster) {
    const struct {
        std::int32_t size, cluster, rounded;
    } cases[] = {
        {0, 4096, 0},
        {1, 4096, 4096},
        {4096, 4096, 4096},
        {4097, 4096, 8192},
        {513, 512, 1024},
        {65535, 65536, 65536},
        {2147483647, 4096, 2147483647}, // cannot round past the 32-bit limit
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.rounded, RoundUpToCluster(c.size, c.cluster)) << c.size << " / " << c.cluster;
}

TEST(TextLines, SplitAtEveryLineEnd) {
    const struct {
        const char* text;
        std::vector<std::string> lines;
    } cases[] = {
        {"", {}},
        {"one", {"one"}},
        {"one\r\n", {"one"}},
        {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"a\r\n\r\nb\n\nc\r\r", {"a", "", "b", "", "c", ""}},
        {"\n", {""}},
        {"\n\r", {"", ""}}, // LF CR is two line ends
        {"x\r", {"x"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.lines, SplitLines(c.text)) << c.text;
}

TEST(TextLines, JoinEndsEveryLineWithCrLf) {
    EXPECT_EQ("", JoinLinesCrLf({}));
    EXPECT_EQ("\r\n", JoinLinesCrLf({""}));
    EXPECT_EQ("a\r\n\r\nb\r\n", JoinLinesCrLf({"a", "", "b"}));
    const std::vector<std::string> lines = {"Made Dir: C:\\A\\", "", "File Copy: C:\\A\\x"};
    EXPECT_EQ(lines, SplitLines(JoinLinesCrLf(lines)));
}

} // namespace
