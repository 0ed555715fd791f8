// "Update.log" rewritten in the shared data folder of a test machine.
#include <gtest/gtest.h>

#include "ProductTestSupport.h"
#include "product/InstallStamp.h"
#include "product/UpdateLog.h"
#include "util/Errors.h"
#include "util/ScopedWin.h"

using namespace product_test;

namespace {

std::string CrLf(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& l : lines)
        text += l + "\r\n";
    return text;
}

class UpdateLogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        map_ = TestShellFolderMap(tree_.Root());
        shell_ = MappedShellFolders(map_);
        shared_ = map_.at(CsidlCommonAppData) + "\\Sarvello\\";
        pub_ = shared_ + "Public\\";
        choices_.DestDir = tree_.Root() + "\\Dest";
        StartEmptyInstallLog();
    }
    TTestTree tree_;
    std::map<int, std::string> map_;
    TShellFolderLookup shell_;
    std::string shared_, pub_;
    TWizardChoices choices_;
};

TEST_F(UpdateLogTest, FilesStayListedOnceUnderTheLatestStamp) {
    const std::string s1 = StampLine(42760.0), s2 = StampLine(42761.5), s3 = StampLine(42762.25);
    const std::string a = pub_ + "a.txt", b = pub_ + "B.txt", c = pub_ + "Templates\\c.rtf\t!";
    const std::string fax = pub_ + "Templates\\Faxes\\Fax 1.rtf\t!", wmq = pub_ + "Basic.wmq";
    using Lines = std::vector<std::string>;
    struct Case {
        const char* Name;
        const char* Earlier; // null: no file yet
        Lines EarlierLines;
        Lines Public;
        double Stamp;
        Lines Expected;
    };
    const Case cases[] = {
        {"first install", nullptr, {}, {fax, wmq}, 42760.0, {s1, wmq, fax}},
        {"some delivered again", "", {s1, a, b, c}, {b, a}, 42761.5, {s1, c, s2, a, b}},
        {"all delivered again", "", {s1, a, b}, {a, b}, 42761.5, {s2, a, b}},
        {"stamps in a row", "", {s1, s2, c}, {a}, 42762.25, {s1, c, s3, a}},
    };
    for (const Case& tc : cases) {
        DeleteFileA((shared_ + "Update.log").c_str());
        if (tc.Earlier) {
            CreateDirectoryA(shared_.c_str(), nullptr);
            WriteFileBytes(shared_ + "Update.log", CrLf(tc.EarlierLines));
        }
        Lines publicFiles = tc.Public;
        choices_.InstallStamp = tc.Stamp;
        WriteUpdateLog(choices_, publicFiles, shell_);
        EXPECT_EQ(CrLf(tc.Expected), ReadFileBytes(shared_ + "Update.log")) << tc.Name;
        // The public list stays sorted.
        Lines sorted = tc.Public;
        std::sort(sorted.begin(), sorted.end(), [](const std::string& x, const std::string& y) {
            return CompareTextNoCase(x, y) < 0;
        });
        EXPECT_EQ(sorted, publicFiles) << tc.Name;
    }
}

TEST_F(UpdateLogTest, AnEmptyPublicListTouchesNothing) {
    std::vector<std::string> none;
    WriteUpdateLog(choices_, none, shell_);
    // Not even the shared data folder is looked for.
    EXPECT_FALSE(FolderExistsOnDisk(shared_));

    CreateDirectoryA(shared_.c_str(), nullptr);
    WriteFileBytes(shared_ + "Update.log", "*0000000000E1E440\r\nkept\r\n");
    WriteUpdateLog(choices_, none, shell_);
    EXPECT_EQ("*0000000000E1E440\r\nkept\r\n", ReadFileBytes(shared_ + "Update.log"));
}

TEST_F(UpdateLogTest, AFileThatCannotBeReadOrWrittenAbortsSilently) {
    std::vector<std::string> list = {pub_ + "a.txt"};
    CreateDirectoryA(shared_.c_str(), nullptr);
    // Held open by another program without sharing: neither readable nor writable.
    WriteFileBytes(shared_ + "Update.log", "old\r\n");
    {
        win::UniqueFile held(CreateFileA((shared_ + "Update.log").c_str(), GENERIC_READ, 0, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        EXPECT_THROW(WriteUpdateLog(choices_, list, shell_), EAbort);
    }
    EXPECT_EQ("old\r\n", ReadFileBytes(shared_ + "Update.log"));
    // A folder in the file's place.
    DeleteFileA((shared_ + "Update.log").c_str());
    CreateDirectoryA((shared_ + "Update.log").c_str(), nullptr);
    EXPECT_THROW(WriteUpdateLog(choices_, list, shell_), EAbort);
}

} // namespace
