// Queueing under Wine: the overwrite policy against real files and folders, the public list,
// pattern matching, full target paths and the sizes the wizard shows.
#include "install_test_support.h"

#include "engine/AttachFiles.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

using namespace installtest;

namespace {

const char* const Root = "queues";
const double Stored = Date(2024, 6, 15, 13, 37, 42);

class Queues : public testing::Test {
  protected:
    void SetUp() override {
        FreshInstallLog();
        TargetIsFullPath = false;
    }
    void TearDown() override {
        TargetIsFullPath = false;
        InstallLogSuspendCount = 0;
    }
    std::vector<std::string> Targets(std::uint8_t queue) const {
        std::vector<std::string> paths;
        for (const auto& item : Files->Queues[queue])
            paths.push_back(item->TargetPath);
        return paths;
    }
    TScratch Dir{Root};
    std::unique_ptr<TAttachedFiles> Files = MakeArchive({
        {"mrv.exe", "MZ", Stored},
        {"Templates\\Letter.rtf", "l", Stored},
        {"Templates\\Faxes\\Fax 1.rtf", "f", Stored},
        {"TemplatesIndex.txt", "i", Stored},
        {"Clips\\a.txt", "a", Stored},
        {"Hyphenation.dat", std::string(182700, 'h'), Stored},
        {"Empty.dat", "", Stored},
        {"English (American).cache", "us", Stored},
        {"English (British).cache", "gb", Stored},
    });
};

TEST_F(Queues, TheOverwritePolicyDecidesWhatIsQueued) {
    enum Target { Missing, SameDate, TwoSecondsApart, Folder };
    struct Case {
        std::uint8_t Policy;
        Target At;
        bool Force;
        bool Queued;
    };
    const Case cases[] = {
        {0, Missing, false, true},          {0, SameDate, false, false},
        {0, TwoSecondsApart, false, false}, {0, Folder, false, true},
        {1, Missing, false, true},          {1, SameDate, false, false},
        {1, TwoSecondsApart, false, true},  {1, Folder, false, true},
        {2, Missing, false, true},          {2, SameDate, false, true},
        {2, TwoSecondsApart, false, true},  {2, Folder, false, true},
        {0, SameDate, true, true},          {1, SameDate, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "policy " << int(c.Policy) << " target " << c.At << " force " << c.Force);
        const std::string folder = Dir / "t\\";
        DeleteFolderTree(folder);
        CreateDirectoryA(folder.c_str(), nullptr);
        const std::string target = folder + "mrv.exe";
        if (c.At == SameDate || c.At == TwoSecondsApart) {
            WriteAll(target, "old");
            SetLocalWriteDate(target, c.At == SameDate ? Stored : Stored + 2.0 / 86400);
        } else if (c.At == Folder) {
            CreateDirectoryA(target.c_str(), nullptr);
        }
        Files->ClearQueue(0);
        Files->ForceOverwrite = c.Force;
        EXPECT_EQ(c.Queued, Files->QueueFiles("mrv.exe", folder, 0, c.Policy));
        EXPECT_EQ(c.Queued ? std::vector<std::string>{target} : std::vector<std::string>{},
                  Targets(0));
    }
    EXPECT_TRUE(Files->PublicFiles.empty());
}

TEST_F(Queues, PrefixesAndNamesIgnoreCaseAndAPrefixNeedsItsBackslash) {
    EXPECT_TRUE(Files->QueueFiles("Templates\\", Dir.Path, 1, 2));
    EXPECT_TRUE(Files->QueueFiles("templates\\", Dir.Path, 2, 2));
    EXPECT_FALSE(Files->QueueFiles("Templates", Dir.Path, 3, 2));
    EXPECT_TRUE(
        Files->QueueFiles("HYPHENATION.DAT", Dir.Path.substr(0, Dir.Path.size() - 1), 4, 2));
    const std::vector<std::string> templates = {Dir / "Templates\\Letter.rtf",
                                                Dir / "Templates\\Faxes\\Fax 1.rtf"};
    EXPECT_EQ(templates, Targets(1));
    EXPECT_EQ(templates, Targets(2));
    EXPECT_TRUE(Targets(3).empty());
    EXPECT_EQ(std::vector<std::string>{Dir / "Hyphenation.dat"}, Targets(4));
    EXPECT_FALSE(Files->QueueFiles("Nothing\\", Dir.Path, 5, 2));
    EXPECT_FALSE(Files->QueueFiles("nothing.txt", Dir.Path, 5, 2));
}

TEST_F(Queues, QueuedCopiesRememberWhetherTheLogWasOn) {
    ASSERT_TRUE(Files->QueueFiles("mrv.exe", Dir.Path, 0, 2));
    SuspendInstallLog();
    ASSERT_TRUE(Files->QueueFiles("Clips\\", Dir.Path, 0, 2));
    ResumeInstallLog();
    ASSERT_EQ(2u, Files->Queues[0].size());
    EXPECT_TRUE(Files->Queues[0][0]->LogEnabled);
    EXPECT_FALSE(Files->Queues[0][1]->LogEnabled);
}

TEST_F(Queues, AFullTargetPathWritesTheAmericanCacheUnderTheBritishName) {
    const std::string british = Dir / "Spell\\English (British).cache";
    TargetIsFullPath = true;
    ASSERT_TRUE(Files->QueueFiles("English (American).cache", british, 4, 2));
    TargetIsFullPath = false;
    ASSERT_EQ(1u, Files->Queues[4].size());
    const TFileToInstall& item = *Files->Queues[4][0];
    EXPECT_EQ("English (American).cache", item.AttachedFile->Name);
    EXPECT_EQ(british, item.TargetPath);
    ASSERT_TRUE(Files->ExtractFile(item.AttachedFile, "", item.TargetPath));
    EXPECT_EQ("us", ReadAll(british));
}

TEST_F(Queues, CopiesIntoThePublicFolderAreListedWithTheRequestedPolicy) {
    char common[MAX_PATH] = {};
    ASSERT_EQ(S_OK, SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, common));
    // A folder of this test's own below the public folder; nothing is written there.
    const std::string pub = std::string(common) + "\\Sarvello\\Public\\queues-test\\";
    std::string lower = pub;
    for (char& ch : lower)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    struct Case {
        const char* Name;
        std::string Target;
        std::uint8_t Policy;
        bool Force;
        std::vector<std::string> Lines;
    };
    const std::vector<Case> cases = {
        {"policy 0 forced", pub, 0, true, {pub + "mrv.exe\t!"}},
        {"policy 0", pub, 0, false, {pub + "mrv.exe\t!"}},
        {"policy 1", pub, 1, false, {pub + "mrv.exe"}},
        {"policy 2", pub, 2, false, {pub + "mrv.exe"}},
        {"other case", lower, 2, false, {lower + "mrv.exe"}},
        {"elsewhere", Dir.Path, 0, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Files->PublicFiles.clear();
        Files->ForceOverwrite = c.Force;
        ASSERT_TRUE(Files->QueueFiles("mrv.exe", c.Target, 0, c.Policy));
        EXPECT_EQ(c.Lines, Files->PublicFiles);
    }
}

TEST_F(Queues, ACopyThePolicyLeavesOutIsNotListed) {
    char common[MAX_PATH] = {};
    ASSERT_EQ(S_OK, SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, common));
    const std::string pub = std::string(common) + "\\Sarvello\\Public\\queues-test-present\\";
    ForceFolders(pub);
    WriteAll(pub + "mrv.exe", "old");
    SetLocalWriteDate(pub + "mrv.exe", Stored);
    EXPECT_FALSE(Files->QueueFiles("mrv.exe", pub, 0, 0));
    EXPECT_FALSE(Files->QueueFiles("mrv.exe", pub, 0, 1));
    EXPECT_TRUE(Files->PublicFiles.empty());
    DeleteFolderTree(pub);
    RemoveDirectoryA((std::string(common) + "\\Sarvello\\Public").c_str());
    RemoveDirectoryA((std::string(common) + "\\Sarvello").c_str());
}

TEST_F(Queues, TotalSizeCountsEveryQueuedCopyAndClearQueueEmptiesOneQueue) {
    EXPECT_EQ(0, Files->TotalSize());
    ASSERT_TRUE(Files->QueueFiles("Hyphenation.dat", Dir.Path, 0, 2));
    ASSERT_TRUE(Files->QueueFiles("Templates\\", Dir.Path, 3, 2));
    ASSERT_TRUE(Files->QueueFiles("Hyphenation.dat", Dir / "again", 5, 2)); // counts twice
    EXPECT_EQ(182700 + 1 + 1 + 182700, Files->TotalSize());
    Files->ClearQueue(3);
    EXPECT_TRUE(Files->Queues[3].empty());
    EXPECT_EQ(2 * 182700, Files->TotalSize());
    EXPECT_EQ(9u, Files->Files.size()); // the entries stay in the index
}

TEST_F(Queues, ComponentSizeRoundsEachEntryToClusters) {
    DWORD sectors = 0, bytes = 0, freeClusters = 0, clusters = 0;
    ASSERT_TRUE(GetDiskFreeSpaceA("C:\\", &sectors, &bytes, &freeClusters, &clusters));
    if (sectors * bytes != 4096) GTEST_SKIP() << "drive C: has clusters of " << sectors * bytes;
    const std::string dest = Dir / "not yet created";
    struct Case {
        const char* Patterns;
        std::int32_t Size;
    };
    const Case cases[] = {
        {"Hyphenation.dat", 184320},
        {"Empty.dat", 0},
        {"mrv.exe\rTemplates\\", 3 * 4096},
        {"mrv.exe\nmrv.exe\r\n\rMRV.EXE", 3 * 4096}, // each pattern on its own; empty lines skipped
        {"Templates\\\r\nHyphenation.dat", 2 * 4096 + 184320},
        {"English (American).cache\rEnglish (American).cache", 2 * 4096},
        {"Missing.dat", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Patterns);
        EXPECT_EQ(c.Size, Files->ComponentSize(c.Patterns, dest));
    }
}

} // namespace
