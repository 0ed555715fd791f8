// The payload archive under Wine: loading from the executable's own "FILES" resource (this test
// program carries the sample payload), from a buffer, refusing damaged payloads without writing
// anything, the release at the end, and the payload inside the built setup.exe.
#include "engine/AttachFiles.h"
#include "engine/PayloadFormat.h"
#include "tests/support/TestFiles.h"
#include "util/InstUtils.h"
#include "util/ScopedWin.h"
#include "wizard/ResConst.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

using testsupport::ListTree;
using testsupport::WinePath;

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The archive's release deletes the setup's temporary files in the temporary folder; each test
// gets a temporary folder of its own so that parallel tests keep theirs.
class AttachedFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char base[MAX_PATH];
        GetTempPathA(MAX_PATH, base);
        Temp = std::string(base) + "attached-files-test-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(Temp.c_str(), nullptr);
        GetEnvironmentVariableA("TMP", OldTmp, MAX_PATH);
        GetEnvironmentVariableA("TEMP", OldTemp, MAX_PATH);
        SetEnvironmentVariableA("TMP", Temp.c_str());
        SetEnvironmentVariableA("TEMP", Temp.c_str());
    }
    void TearDown() override {
        SetEnvironmentVariableA("TMP", OldTmp);
        SetEnvironmentVariableA("TEMP", OldTemp);
        DeleteFolderTree(Temp);
    }
    std::vector<std::string> TempContents() const {
        std::vector<std::string> files;
        ListTree(Temp, files);
        return files;
    }
    std::string Temp;
    char OldTmp[MAX_PATH] = {};
    char OldTemp[MAX_PATH] = {};
};

std::vector<std::uint8_t> PackEntries(const std::vector<std::pair<std::string, std::string>>& e) {
    std::string raw;
    for (const auto& [name, data] : e)
        Payload::AppendEntry(raw, name, 45000.5, data.data(),
                             static_cast<std::int32_t>(data.size()));
    return Payload::Deflate(raw);
}

TEST_F(AttachedFilesTest, BufferIsInflatedIndexedAndReleasedWithTheTempFiles) {
    const auto packed = PackEntries({{"mrv.exe", std::string(70'000, 'x')},
                                     {"Templates\\Faxes\\Fax 1.rtf", "{\\rtf1 fax}"},
                                     {"empty.txt", ""}});
    // A leftover of an earlier setup run and a file of someone else.
    const std::string leftover = Temp + "\\" + TempFilePrefix() + "7.tmp";
    const std::string foreign = Temp + "\\keep-me.tmp";
    WriteTextFile(leftover, "old licence");
    WriteTextFile(foreign, "not ours");
    {
        TAttachedFiles archive(packed.data(), packed.size());
        ASSERT_EQ(3u, archive.Files.size());
        EXPECT_EQ("Templates\\Faxes\\Fax 1.rtf", archive.Files[1]->Name);
        EXPECT_EQ(0, std::memcmp("{\\rtf1 fax}", archive.Data + archive.Files[1]->DataOffset, 11));
        EXPECT_EQ(archive.DataSize, archive.Files[2]->DataOffset);
        EXPECT_EQ(0, archive.Files[2]->Size);
        EXPECT_FALSE(archive.ForceOverwrite);
        EXPECT_TRUE(archive.PublicFiles.empty());
        for (const auto& q : archive.Queues)
            EXPECT_TRUE(q.empty());
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(leftover.c_str()));
    }
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(leftover.c_str()));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(foreign.c_str()));
}

TEST_F(AttachedFilesTest, DamagedBufferThrowsAndWritesNothing) {
    const auto good = PackEntries({{"License.txt", "licence"}});
    const std::vector<std::vector<std::uint8_t>> damaged = {
        {},
        {good.begin(), good.end() - 5},
        PackEntries({{"..\\..\\Windows\\evil.exe", "x"}}),
        PackEntries({{"C:\\evil.exe", "x"}}),
    };
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, cwd);
    std::vector<std::string> before;
    ListTree(cwd, before);
    for (const auto& d : damaged) {
        EXPECT_THROW(TAttachedFiles(d.data(), d.size()), EPayloadDamaged);
    }
    std::vector<std::string> after;
    ListTree(cwd, after);
    EXPECT_EQ(before, after);
    EXPECT_TRUE(TempContents().empty());
}

// The component a payload entry belongs to: the first pattern list that names it or a prefix
// of it, compared without regard to case; -1 for none, -2 when two components claim it.
int ComponentOf(const std::string& name) {
    int found = -1;
    for (int c = 0; c < ResConst::ComponentCount; ++c) {
        std::stringstream patterns(ResConst::ComponentPatterns[c]);
        std::string p;
        while (std::getline(patterns, p, '\r')) {
            const bool prefix = !p.empty() && p.back() == '\\';
            const std::string part = prefix ? name.substr(0, p.size()) : name;
            if (part.size() == p.size() && EqualNoCase(part, p)) found = found == -1 ? c : -2;
        }
    }
    return found;
}

TEST_F(AttachedFilesTest, OwnResourceHoldsTheSampleProductOfTheComponentTable) {
    // This test program carries the same stream as the setup, as resource "FILES".
    TAttachedFiles archive;
    ASSERT_EQ(303u, archive.Files.size());
    EXPECT_EQ(4'890'807, archive.DataSize);
    int perComponent[ResConst::ComponentCount] = {};
    std::int64_t end = 0;
    for (const auto& f : archive.Files) {
        const int c = ComponentOf(f->Name);
        ASSERT_GE(c, 0) << f->Name;
        ++perComponent[c];
        EXPECT_EQ(end + 13 + static_cast<std::int64_t>(f->Name.size()), f->DataOffset);
        end = f->DataOffset + f->Size;
        if (f->Name == "Hyphenation.dat") {
            EXPECT_EQ(182'700, f->Size);
        }
        if (f->Name == "mrv.exe") {
            EXPECT_EQ(3'795'456, f->Size);
            EXPECT_EQ(0, std::memcmp("MZ", archive.Data + f->DataOffset, 2));
        }
    }
    EXPECT_EQ(archive.DataSize, end);
    const int expected[ResConst::ComponentCount] = {2, 7, 1, 19, 273, 1};
    for (int c = 0; c < ResConst::ComponentCount; ++c)
        EXPECT_EQ(expected[c], perComponent[c]) << ResConst::ComponentNames[c];
}

TEST_F(AttachedFilesTest, BuiltSetupCarriesThePackedStreamUnchanged) {
    win::UniqueModule setup(LoadLibraryExA(WinePath(SARVELLO_TEST_SETUP_EXE).c_str(), nullptr,
                                           LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(setup);
    HRSRC resource = FindResourceA(setup.get(), "FILES", "FILES");
    ASSERT_NE(nullptr, resource);
    const DWORD size = SizeofResource(setup.get(), resource);
    const auto* bytes =
        static_cast<const std::uint8_t*>(LockResource(LoadResource(setup.get(), resource)));
    ASSERT_NE(nullptr, bytes);
    ASSERT_GT(size, 2u);
    EXPECT_EQ(0x78, bytes[0]);
    EXPECT_EQ(0xDA, bytes[1]);
    const std::string packed = ReadWholeFile(WinePath(SARVELLO_TEST_PAYLOAD));
    ASSERT_EQ(packed.size(), size);
    EXPECT_EQ(0, std::memcmp(packed.data(), bytes, size));
}

} // namespace
