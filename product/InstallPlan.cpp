#include "product/InstallPlan.h"

#include <windows.h>

#include "product/InstallStamp.h"
#include "util/DateTime.h"
#include "util/InstUtils.h"
#include "util/InstallLog.h"

double LocalNow() {
    SYSTEMTIME st{};
    GetLocalTime(&st);
    CalendarTime t;
    t.Year = st.wYear;
    t.Month = st.wMonth;
    t.Day = st.wDay;
    t.Hour = st.wHour;
    t.Minute = st.wMinute;
    t.Second = st.wSecond;
    t.Millisecond = st.wMilliseconds;
    return EncodeDateTime(t);
}

namespace {

enum : std::uint8_t { PolicyIfMissing = 0, PolicyIfDateDiffers = 1 };

bool FileExists(const std::string& path) {
    const DWORD attrs = GetFileAttributesA(path.c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
}

bool Chosen(const TWizardChoices& c, unsigned bit) {
    return (c.SelectedComponents & bit) != 0;
}

// Queues into a data folder; a folder that could not be resolved takes nothing, since an empty
// target would put the files wherever the current folder happens to be.
void QueueInto(TAttachedFiles& files, const std::string& pattern, const std::string& folder,
               std::uint8_t queue, std::uint8_t policy) {
    if (!folder.empty()) files.QueueFiles(pattern, folder, queue, policy);
}

void QueueSpellChecker(TAttachedFiles& files, const std::string& destDir,
                       const TShellFolderLookup& shellFolder) {
    const auto spell = [&] { return GetDataFolder(destDir, SpellcheckFolder, shellFolder); };
    QueueInto(files, "English (American).dvk", spell(), 1, PolicyIfMissing);
    QueueInto(files, "English (American).cache", spell(), 1, PolicyIfMissing);
    QueueInto(files, "English (British).dvk", spell(), 1, PolicyIfMissing);
    // The payload carries one cache; the British dictionary uses a copy of the American one.
    if (const std::string folder = spell(); !folder.empty()) {
        TargetIsFullPath = true;
        files.QueueFiles("English (American).cache", folder + "English (British).cache", 1,
                         PolicyIfMissing);
        TargetIsFullPath = false;
    }
    QueueInto(files, "english.zlx", spell(), 1, PolicyIfDateDiffers);
    QueueInto(files, "us.zlx", spell(), 1, PolicyIfDateDiffers);
    QueueInto(files, "uk.zlx", spell(), 1, PolicyIfDateDiffers);
    QueueInto(files, "userdicen.tlx", spell(), 1, PolicyIfMissing);
}

} // namespace

void BuildInstallPlan(TWizardChoices& choices, TAttachedFiles& files,
                      const TShellFolderLookup& shellFolder, const std::function<double()>& now) {
    const std::string& dest = choices.DestDir;
    for (std::uint8_t q = 0; q < QueueCount; ++q)
        files.ClearQueue(q);
    files.ForceOverwrite = !IsPortable(dest);

    files.QueueFiles("mrv.exe", dest, 0, PolicyIfDateDiffers);
    files.QueueFiles("License.txt", dest, 0, PolicyIfDateDiffers);
    // Left by older versions; they would shadow the new program and its help.
    DeleteFileA(DestFilePath(dest, "Sarvello.chm").c_str());
    DeleteFileA(DestFilePath(dest, "Sarvello.exe").c_str());

    const auto publicFolder = [&] { return GetDataFolder(dest, PublicDataFolder, shellFolder); };

    if (Chosen(choices, 0x02)) {
        // Dictionaries are shared data, not part of what this destination owns.
        SuspendInstallLog();
        QueueSpellChecker(files, dest, shellFolder);
        ResumeInstallLog();
    }
    if (Chosen(choices, 0x04)) files.QueueFiles("Hyphenation.dat", dest, 2, PolicyIfDateDiffers);

    SuspendInstallLog();
    if (Chosen(choices, 0x08)) QueueInto(files, "Templates\\", publicFolder(), 3, PolicyIfMissing);
    if (Chosen(choices, 0x10) || choices.LastRunVersion < FirstVersionWithClipLibrary)
        QueueInto(files, "Clip Library\\", publicFolder(), 4, PolicyIfMissing);
    ResumeInstallLog();

    if (Chosen(choices, 0x20)) {
        QueueInto(files, "Basic.wmq", publicFolder(), 5, PolicyIfDateDiffers);
        const std::string shared = GetDataFolder(dest, SharedDataFolder, shellFolder);
        if (!shared.empty()) {
            const std::string ini = shared + "Sarvello.ini";
            // A portable drive keeps the sound settings its user may have changed.
            if (!FileExists(ini) || !IsPortable(dest)) WriteTextFile(ini, SoundSettingsText);
        }
    }

    if (!IsPortable(dest)) {
        choices.InstallStamp = now();
        const std::string hidden = GetDataFolder(dest, HiddenDataFolder, shellFolder);
        if (!hidden.empty())
            WriteTextFile(hidden + "install_stamp", InstallStampBytes(choices.InstallStamp));
    }
}
