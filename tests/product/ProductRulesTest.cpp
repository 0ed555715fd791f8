// The platform-neutral rules of the product: command line, association letters, component
// masks, stamps and the "Update.log" merge.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "product/Associations.h"
#include "product/CommandLine.h"
#include "product/InstallStamp.h"
#include "product/UpdateLogMerge.h"
#include "product/WizardChoices.h"

namespace {

TEST(CommandLine, SplitsLikeWindowsWithoutBackslashEscapes) {
    struct Case {
        std::string Line;
        std::vector<std::string> Args;
    };
    const Case cases[] = {
        {"setup.exe", {"setup.exe"}},
        {"  setup.exe   -dC:\\A  x ", {"setup.exe", "-dC:\\A", "x"}},
        {"\"C:\\My Setup\\setup.exe\" \"-dC:\\My Programs\\Sarvello\"",
         {"C:\\My Setup\\setup.exe", "-dC:\\My Programs\\Sarvello"}},
        {"s -d\"C:\\a b\"\\c", {"s", "-dC:\\a b\\c"}},
        {"s \"-dC:\\dir\\\" next", {"s", "-dC:\\dir\\", "next"}}, // no \" escape
        {"s\t\"\"", {"s", ""}},
        {"s \"unterminated arg", {"s", "unterminated arg"}},
        {"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.Args, SplitCommandLine(c.Line)) << c.Line;
}

TEST(CommandLine, OnlyAFirstLowerCaseDashDArgumentNamesTheDestination) {
    struct Case {
        std::string Line;
        bool Present;
        std::string Dest;
    };
    const Case cases[] = {
        {"setup.exe -dE:\\Apps\\Sarvello", true, "E:\\Apps\\Sarvello"},
        {"setup.exe -DE:\\Apps", false, ""},
        {"setup.exe -d", true, ""},
        {"setup.exe \"-dC:\\My Programs\\Sarvello\"", true, "C:\\My Programs\\Sarvello"},
        {"setup.exe x -dE:\\Apps", false, ""},
        {"setup.exe -", false, ""},
        {"setup.exe", false, ""},
        {"\"-dE:\\NotAnArgument\"", false, ""}, // the program's own name
    };
    for (const Case& c : cases) {
        const auto dest = DestDirArgument(c.Line);
        ASSERT_EQ(c.Present, dest.has_value()) << c.Line;
        if (dest) {
            EXPECT_EQ(c.Dest, *dest) << c.Line;
        }
    }
}

TEST(CommandLine, VeryLongArgumentsAreKeptWhole) {
    const std::string folder = "C:\\" + std::string(5000, 'x');
    const auto dest = DestDirArgument("setup.exe \"-d" + folder + "\" " + std::string(3000, 'y'));
    ASSERT_TRUE(dest.has_value());
    EXPECT_EQ(folder, *dest);
}

TEST(Associations, LettersTickBoxesCaseSensitivelyAndAreRebuiltInOrder) {
    struct Case {
        std::string Letters;
        std::array<bool, 4> Boxes;
        std::string Rebuilt;
        std::string Argument;
    };
    const Case cases[] = {
        {"B", {false, true, false, false}, "B", "-assoc mevo_cod"},
        {"b", {false, false, false, false}, "", "-assoc mevo"},
        {"DA", {true, false, false, true}, "AD", "-assoc mevo_rtf_docx"},
        {"", {false, false, false, false}, "", "-assoc mevo"},
        {"x-D;cbBBA ", {true, true, false, true}, "ABD", "-assoc mevo_rtf_cod_docx"},
        {"DCBA", {true, true, true, true}, "ABCD", "-assoc mevo_rtf_cod_doc_docx"},
    };
    for (const Case& c : cases) {
        const auto boxes = AssocChecksFromExtensions(c.Letters);
        EXPECT_EQ(c.Boxes, boxes) << c.Letters;
        EXPECT_EQ(c.Rebuilt, ExtensionsFromAssocChecks(boxes)) << c.Letters;
        EXPECT_EQ("\"C:\\Program Files\\Sarvello\\mrv.exe\" " + c.Argument,
                  AssociationCommandLine("C:\\Program Files\\Sarvello", boxes))
            << c.Letters;
    }
}

TEST(Associations, ProgramPathIsQuotedWithOneBackslash) {
    EXPECT_EQ("\"C:\\P Q\\mrv.exe\"", LaunchCommandLine("C:\\P Q"));
    EXPECT_EQ("\"C:\\P Q\\mrv.exe\"", LaunchCommandLine("C:\\P Q\\"));
    EXPECT_EQ("\"E:\\x\\mrv.exe\"", LaunchCommandLine("E:\\x/"));
}

TEST(ComponentMask, RowsFollowTheMaskAndTheMaskKeepsItsHighBits) {
    const auto first = CheckStatesFromMask(DefaultCompsMask);
    EXPECT_EQ((std::array<std::uint8_t, 6>{Grayed, Checked, Checked, Checked, Checked, Checked}),
              first);
    EXPECT_EQ(0x3F, SelectedComponentsFromCheckStates(first));
    // Everything kept after a first run: the grayed main program clears bit 0.
    EXPECT_EQ(2147483646u, CompsMaskFromCheckStates(DefaultCompsMask, first));
    auto noHyphenation = first;
    noHyphenation[2] = Unchecked;
    EXPECT_EQ(2147483642u, CompsMaskFromCheckStates(DefaultCompsMask, noHyphenation));
    EXPECT_EQ(0x3B, SelectedComponentsFromCheckStates(noHyphenation));

    const auto none = CheckStatesFromMask(0);
    EXPECT_EQ((std::array<std::uint8_t, 6>{Grayed, 0, 0, 0, 0, 0}), none);
    EXPECT_EQ(0x01, SelectedComponentsFromCheckStates(none));
    EXPECT_EQ(0xFFFFFFC0u, CompsMaskFromCheckStates(0xFFFFFFFFu, none));
}

TEST(InstallStamp, BytesLowestFirstAndTheStampLine) {
    const std::string bytes = InstallStampBytes(42760.0);
    ASSERT_EQ(8u, bytes.size());
    const unsigned char expected[8] = {0x00, 0x00, 0x00, 0x00, 0x00, 0xE1, 0xE4, 0x40};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(expected[i], static_cast<unsigned char>(bytes[i])) << i;
    EXPECT_EQ("*0000000000E1E440", StampLine(42760.0));
    EXPECT_EQ("*0000000000000000", StampLine(0.0));
    EXPECT_EQ("*000000000000F03F", StampLine(1.0));
}

int AsciiCompareNoCase(const std::string& a, const std::string& b) {
    const auto n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int d = std::tolower(static_cast<unsigned char>(a[i])) -
                      std::tolower(static_cast<unsigned char>(b[i]));
        if (d != 0) return d;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

TEST(UpdateLogMerge, EachFileStaysUnderTheStampThatLastDeliveredIt) {
    using Lines = std::vector<std::string>;
    struct Case {
        const char* Name;
        std::optional<Lines> Earlier;
        Lines Public;
        Lines Expected;
    };
    const std::string fax = "P\\Templates\\Faxes\\Fax 1.rtf\t!";
    const Case cases[] = {
        {"first install, sorted",
         std::nullopt,
         {fax, "P\\Basic.wmq"},
         {"*S2", "P\\Basic.wmq", fax}},
        {"some files delivered again",
         Lines{"*S1", "a", "b", "c"},
         {"a", "b"},
         {"*S1", "c", "*S2", "a", "b"}},
        {"all files delivered again", Lines{"*S1", "a", "b"}, {"a", "b"}, {"*S2", "a", "b"}},
        {"stamps in a row", Lines{"*S1", "*S2", "c"}, {"a"}, {"*S1", "c", "*S2", "a"}},
        {"case, empty lines, tab marker",
         Lines{"*S1", "", "A", "b\t!", "b", "", "*S0"},
         {"a", "b"},
         {"*S1", "b\t!", "*S2", "a", "b"}},
        {"empty earlier file", Lines{}, {"a"}, {"*S2", "a"}},
    };
    for (const Case& c : cases) {
        Lines pub = c.Public;
        SortLines(pub, AsciiCompareNoCase);
        EXPECT_EQ(c.Expected, MergeUpdateLog(c.Earlier, pub, "*S2", AsciiCompareNoCase)) << c.Name;
    }
}

} // namespace
