// The install plan against the build's sample payload: queues, targets, log states, the small
// files it writes, in ordinary and portable installs and reinstalls.
#include <gtest/gtest.h>

#include <memory>

#include "ProductTestSupport.h"
#include "engine/AttachFiles.h"
#include "product/InstallPlan.h"
#include "product/InstallStamp.h"
#include "util/InstUtils.h"
#include "util/InstallLog.h"

using namespace product_test;

namespace {

constexpr double PlanTime = 42760.0;

std::unique_ptr<TAttachedFiles> LoadSamplePayload() {
    const std::string bytes = ReadFileBytes(WindowsPathOfUnixFile(SARVELLO_TEST_PAYLOAD));
    return std::make_unique<TAttachedFiles>(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                            bytes.size());
}

struct TQueued {
    std::string Name, Target;
    bool LogEnabled;
    bool operator==(const TQueued&) const = default;
};
std::ostream& operator<<(std::ostream& os, const TQueued& q) {
    return os << q.Name << " -> " << q.Target << (q.LogEnabled ? "" : " (unlogged)");
}

std::vector<TQueued> Queue(const TAttachedFiles& files, int queue) {
    std::vector<TQueued> items;
    for (const auto& item : files.Queues[queue])
        items.push_back({item->AttachedFile->Name, item->TargetPath, item->LogEnabled});
    return items;
}

std::array<std::size_t, QueueCount> QueueSizes(const TAttachedFiles& files) {
    std::array<std::size_t, QueueCount> sizes{};
    for (int q = 0; q < QueueCount; ++q)
        sizes[q] = files.Queues[q].size();
    return sizes;
}

void ExtractEverythingQueued(TAttachedFiles& files) {
    for (const auto& queue : files.Queues)
        for (const auto& item : queue)
            ASSERT_TRUE(
                files.ExtractFile(item->AttachedFile, item->AttachedFile->Name, item->TargetPath))
                << item->TargetPath;
}

class InstallPlanTest : public ::testing::Test {
  protected:
    void SetUp() override {
        files_ = LoadSamplePayload();
        map_ = TestShellFolderMap(machine_.Root());
        shell_ = MappedShellFolders(map_);
        base_ = map_.at(CsidlCommonAppData) + "\\Sarvello\\";
        dest_ = machine_.Root() + "\\Program Files\\Sarvello";
        choices_.DestDir = dest_;
        StartEmptyInstallLog();
    }
    void Plan() {
        BuildInstallPlan(choices_, *files_, shell_, [] { return PlanTime; });
        EXPECT_FALSE(TargetIsFullPath);
        EXPECT_EQ(0, InstallLogSuspendCount);
    }

    TTestTree machine_;
    std::unique_ptr<TAttachedFiles> files_;
    std::map<int, std::string> map_;
    TShellFolderLookup shell_;
    std::string base_, dest_;
    TWizardChoices choices_;
};

TEST_F(InstallPlanTest, MainProgramOnlyOnACleanMachine) {
    choices_.SelectedComponents = 0x01;
    Plan();
    EXPECT_EQ((std::vector<TQueued>{{"mrv.exe", dest_ + "\\mrv.exe", true},
                                    {"License.txt", dest_ + "\\License.txt", true}}),
              Queue(*files_, 0));
    EXPECT_EQ((std::array<std::size_t, QueueCount>{2, 0, 0, 0, 0, 0}), QueueSizes(*files_));
    EXPECT_TRUE(files_->ForceOverwrite);
    EXPECT_FALSE(FileExists(base_ + "Sarvello.ini"));
    // The stamp needs the hidden folder, and with it the shared one.
    EXPECT_EQ((std::vector<std::string>{"Made Dir: " + base_, "Made Dir: " + base_ + "Hidden\\"}),
              InstallLogLines());
    EXPECT_EQ(PlanTime, choices_.InstallStamp);
    EXPECT_EQ(std::string("\x00\x00\x00\x00\x00\xE1\xE4\x40", 8),
              ReadFileBytes(base_ + "Hidden\\install_stamp"));
}

TEST_F(InstallPlanTest, TheStampIsTheLocalTimeOfTheInstallation) {
    choices_.SelectedComponents = 0x01;
    BuildInstallPlan(choices_, *files_, shell_);
    const std::string stampFile = base_ + "Hidden\\install_stamp";
    EXPECT_EQ(InstallStampBytes(choices_.InstallStamp), ReadFileBytes(stampFile));
    // The file system's own record of local time (2-second steps) agrees within a minute.
    EXPECT_NEAR(GetFileWriteDate(stampFile), choices_.InstallStamp, 1.0 / 24 / 60);
}

TEST_F(InstallPlanTest, AnOldMainProgramGetsTheClipLibraryAnyway) {
    struct Case {
        std::int32_t LastRun;
        std::size_t Clips;
    };
    const Case cases[] = {{20003999, 273}, {-1, 273}, {20004000, 0}, {2147483647, 0}};
    for (const Case& c : cases) {
        choices_.SelectedComponents = 0x01;
        choices_.LastRunVersion = c.LastRun;
        Plan();
        EXPECT_EQ(c.Clips, files_->Queues[4].size()) << c.LastRun;
    }
    choices_.LastRunVersion = 0;
    Plan();
    for (const auto& item : Queue(*files_, 4)) {
        EXPECT_EQ(base_ + "Public\\" + item.Name, item.Target);
        EXPECT_EQ(0, item.Name.compare(0, 13, "Clip Library\\")) << item.Name;
        EXPECT_FALSE(item.LogEnabled) << item.Name;
    }
}

TEST_F(InstallPlanTest, SpellCheckerFilesGoUnloggedWithTheBritishCache) {
    choices_.SelectedComponents = 0x03;
    Plan();
    const std::string spell = base_ + "Public\\Spellcheck\\";
    EXPECT_EQ((std::vector<TQueued>{
                  {"English (American).dvk", spell + "English (American).dvk", false},
                  {"English (American).cache", spell + "English (American).cache", false},
                  {"English (British).dvk", spell + "English (British).dvk", false},
                  {"English (American).cache", spell + "English (British).cache", false},
                  {"english.zlx", spell + "english.zlx", false},
                  {"us.zlx", spell + "us.zlx", false},
                  {"uk.zlx", spell + "uk.zlx", false},
                  {"userdicen.tlx", spell + "userdicen.tlx", false},
              }),
              Queue(*files_, 1));
    // The spell-checker folders were made while the log was suspended.
    EXPECT_TRUE(FolderExistsOnDisk(spell));
    EXPECT_EQ(std::vector<std::string>{"Made Dir: " + base_ + "Hidden\\"}, InstallLogLines());
}

TEST_F(InstallPlanTest, EveryComponentFillsItsQueue) {
    choices_.SelectedComponents = 0x3F;
    CreateDirectoryA((machine_.Root() + "\\Program Files").c_str(), nullptr);
    CreateDirectoryA(dest_.c_str(), nullptr);
    WriteFileBytes(dest_ + "\\Sarvello.chm", "legacy");
    WriteFileBytes(dest_ + "\\Sarvello.exe", "legacy");
    Plan();
    EXPECT_EQ((std::array<std::size_t, QueueCount>{2, 8, 1, 19, 273, 1}), QueueSizes(*files_));
    EXPECT_EQ((std::vector<TQueued>{{"Hyphenation.dat", dest_ + "\\Hyphenation.dat", true}}),
              Queue(*files_, 2));
    EXPECT_EQ((std::vector<TQueued>{{"Basic.wmq", base_ + "Public\\Basic.wmq", true}}),
              Queue(*files_, 5));
    for (const auto& item : Queue(*files_, 3)) {
        EXPECT_EQ(base_ + "Public\\" + item.Name, item.Target);
        EXPECT_FALSE(item.LogEnabled);
    }
    EXPECT_FALSE(FileExists(dest_ + "\\Sarvello.chm"));
    EXPECT_FALSE(FileExists(dest_ + "\\Sarvello.exe"));
    const std::string ini = ReadFileBytes(base_ + "Sarvello.ini");
    EXPECT_EQ(82u, ini.size());
    EXPECT_EQ("[\\Software\\Sarvello Word Processor\\Sounds\\General Settings]\r\n"
              "SoundScheme=Basic.wmq",
              ini);
}

TEST_F(InstallPlanTest, OrdinaryReinstallCopiesEverythingAgainAndRewritesTheSettings) {
    choices_.SelectedComponents = 0x3F;
    Plan();
    ExtractEverythingQueued(*files_);
    WriteFileBytes(base_ + "Sarvello.ini", "changed by the user");
    Plan();
    EXPECT_TRUE(files_->ForceOverwrite);
    EXPECT_EQ((std::array<std::size_t, QueueCount>{2, 8, 1, 19, 273, 1}), QueueSizes(*files_));
    EXPECT_EQ(SoundSettingsText, ReadFileBytes(base_ + "Sarvello.ini"));
    EXPECT_EQ(82u, ReadFileBytes(base_ + "Sarvello.ini").size());
}

TEST_F(InstallPlanTest, PortableReinstallKeepsWhatIsInPlace) {
    TTestTree drive('R');
    const std::string dest = drive.Root() + "\\Sarvello";
    choices_.DestDir = dest;
    choices_.SelectedComponents = 0x3F;
    Plan();
    EXPECT_FALSE(files_->ForceOverwrite);
    // Everything lands on the drive, the spell checker in its own folder.
    EXPECT_EQ((std::array<std::size_t, QueueCount>{2, 8, 1, 19, 273, 1}), QueueSizes(*files_));
    EXPECT_EQ(dest + "\\Spellcheck\\us.zlx", Queue(*files_, 1)[5].Target);
    EXPECT_EQ(dest + "\\Basic.wmq", Queue(*files_, 5)[0].Target);
    EXPECT_EQ(SoundSettingsText, ReadFileBytes(dest + "\\Sarvello.ini"));
    // No stamp in portable mode, and nothing on the machine.
    EXPECT_EQ(0.0, choices_.InstallStamp);
    EXPECT_FALSE(FileExists(dest + "\\install_stamp"));
    EXPECT_FALSE(FolderExistsOnDisk(base_));

    ExtractEverythingQueued(*files_);
    WriteFileBytes(dest + "\\Sarvello.ini", "changed by the user");
    // A program whose date differs is copied again; everything else is in place.
    WriteFileBytes(dest + "\\mrv.exe", "older program");
    Plan();
    EXPECT_EQ((std::array<std::size_t, QueueCount>{1, 0, 0, 0, 0, 0}), QueueSizes(*files_));
    EXPECT_EQ("mrv.exe", Queue(*files_, 0).at(0).Name);
    EXPECT_EQ("changed by the user", ReadFileBytes(dest + "\\Sarvello.ini"));
}

} // namespace
