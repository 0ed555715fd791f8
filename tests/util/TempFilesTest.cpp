// Temporary file names and their removal. Each test points this process's TMP and TEMP at a
// scratch folder: other test programs share the prefix's temporary folder, and DeleteTempFiles
// must not take their files.
#include "tests/util/ScratchFolder.h"
#include "util/InstUtils.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

class TempFilesTest : public testing::Test {
  protected:
    void SetUp() override {
        Remember("TMP", savedTmp_, hadTmp_);
        Remember("TEMP", savedTemp_, hadTemp_);
        ASSERT_TRUE(MakeFolder(dir / "Temp"));
        UseTempFolder(dir / "Temp");
    }
    void TearDown() override {
        SetEnvironmentVariableA("TMP", hadTmp_ ? savedTmp_.c_str() : nullptr);
        SetEnvironmentVariableA("TEMP", hadTemp_ ? savedTemp_.c_str() : nullptr);
    }
    static void UseTempFolder(const std::string& folder) {
        SetEnvironmentVariableA("TMP", folder.c_str());
        SetEnvironmentVariableA("TEMP", folder.c_str());
    }
    static void Remember(const char* name, std::string& value, bool& had) {
        char buffer[MAX_PATH * 2];
        const DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
        had = n > 0 && n < sizeof buffer;
        value.assign(buffer, had ? n : 0);
    }

    TScratchFolder dir;
    std::string savedTmp_, savedTemp_;
    bool hadTmp_ = false, hadTemp_ = false;
};

TEST_F(TempFilesTest, PrefixIsTheLettersOfTheSetupTitle) {
    EXPECT_EQ("~SarvelloWordProcessorSetup", TempFilePrefix());
}

TEST_F(TempFilesTest, TempFolderEndsInBackslashAndFallsBackToDocuments) {
    EXPECT_TRUE(EqualNoCase(dir / "Temp\\", GetTempFolder()));

    UseTempFolder(dir / "Gone");
    const std::string documents = GetShellFolder(0x05);
    ASSERT_FALSE(documents.empty());
    EXPECT_EQ(documents + "\\", GetTempFolder());
}

TEST_F(TempFilesTest, NewTempFileNameTakesTheFirstFreeNumber) {
    const std::string first = NewTempFileName();
    EXPECT_TRUE(EqualNoCase(dir / "Temp\\~SarvelloWordProcessorSetup0.tmp", first)) << first;
    EXPECT_FALSE(IsFile(first)); // named, not created

    WriteBytes(first, "licence");
    const std::string second = NewTempFileName();
    EXPECT_TRUE(EqualNoCase(dir / "Temp\\~SarvelloWordProcessorSetup1.tmp", second)) << second;

    // A folder of the next name is no file: the name stays free.
    ASSERT_TRUE(MakeFolder(second));
    EXPECT_EQ(second, NewTempFileName());
}

TEST_F(TempFilesTest, DeleteTempFilesTakesOnlyNamesBeginningWithThePrefix) {
    const std::string temp = dir / "Temp\\";
    WriteBytes(temp + "~SarvelloWordProcessorSetup0.tmp", "a");
    WriteBytes(temp + "~SarvelloWordProcessorSetup12.tmp", "b");
    ASSERT_TRUE(SetFileAttributesA((temp + "~SarvelloWordProcessorSetup12.tmp").c_str(),
                                   FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(MakeFolder(temp + "~SarvelloWordProcessorSetupData"));
    ASSERT_TRUE(MakeFolder(temp + "~SarvelloWordProcessorSetupData\\Sub"));
    WriteBytes(temp + "~SarvelloWordProcessorSetupData\\Sub\\x.txt", "x");
    // Left alone: another letter case, the prefix later in the name, an unrelated file.
    WriteBytes(temp + "~sarvelloWordProcessorSetup5.tmp", "c");
    WriteBytes(temp + "a~SarvelloWordProcessorSetup0.tmp", "d");
    WriteBytes(temp + "other.tmp", "e");
    WriteBytes(dir / "~SarvelloWordProcessorSetup0.tmp", "outside the temporary folder");

    DeleteTempFiles();

    const std::vector<std::string> left = {"a~SarvelloWordProcessorSetup0.tmp", "other.tmp",
                                           "~sarvelloWordProcessorSetup5.tmp"};
    EXPECT_EQ(left, FolderEntries(temp));
    EXPECT_TRUE(IsFile(dir / "~SarvelloWordProcessorSetup0.tmp"));
}

} // namespace
