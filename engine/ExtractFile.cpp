// Writing one payload entry to disk, with Abort/Retry/Ignore when it cannot be written.
#include "engine/AttachFiles.h"

#include "engine/ThreadMessage.h"
#include "ui/MessageDialog.h"
#include "util/DateTime.h"
#include "util/InstUtils.h"
#include "util/InstallLog.h"
#include "util/ScopedWin.h"

#include <windows.h>

namespace {

const TAttachedFile* FindLastByName(const TAttachedFiles& files, const std::string& name) {
    for (auto it = files.Files.rbegin(); it != files.Files.rend(); ++it)
        if (EqualNoCase((*it)->Name, name)) return it->get();
    return nullptr;
}

// The folder part of a path: up to and including its last backslash, else its drive colon.
std::string FolderOf(const std::string& path) {
    const std::size_t cut = path.find_last_of('\\');
    if (cut != std::string::npos) return path.substr(0, cut + 1);
    const std::size_t colon = path.find_last_of(':');
    if (colon != std::string::npos) return path.substr(0, colon + 1);
    return {};
}

// The stored date as a file time: through the local calendar at DOS date-time precision, so that
// the file's date reads back exactly as stored. False for years a DOS date cannot hold.
bool StoredDateToFileTime(double date, FILETIME& utc) {
    const CalendarTime t = DecodeDateTime(date);
    if (t.Year < 1980 || t.Year > 2099) return false;
    const WORD dosDate = static_cast<WORD>((t.Year - 1980) * 512 + t.Month * 32 + t.Day);
    const WORD dosTime = static_cast<WORD>(t.Hour * 2048 + t.Minute * 32 + t.Second / 2);
    FILETIME local;
    return DosDateTimeToFileTime(dosDate, dosTime, &local) && LocalFileTimeToFileTime(&local, &utc);
}

// One attempt. A short write (a full disk reports success with fewer bytes) is a failure, and
// the incomplete file is removed so that it is never taken for the product's file.
bool WriteEntry(const TAttachedFiles& files, const TAttachedFile& entry,
                const std::string& target) {
    const std::string folder = FolderOf(target);
    if (!folder.empty()) ForceFolders(folder);
    win::UniqueFile file(CreateFileA(target.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file.get(), files.Data + entry.DataOffset,
                              static_cast<DWORD>(entry.Size), &written, nullptr);
    if (!ok || written != static_cast<DWORD>(entry.Size)) {
        file.reset();
        DeleteFileA(target.c_str());
        return false;
    }
    // The date goes on through the handle that wrote the data: nothing writes after it, and a
    // second open per file would only cost time.
    FILETIME utc;
    if (StoredDateToFileTime(entry.Date, utc)) SetFileTime(file.get(), nullptr, nullptr, &utc);
    return true;
}

} // namespace

bool TAttachedFiles::ExtractFile(const TAttachedFile* entry, const std::string& name,
                                 const std::string& target) {
    if (!entry) entry = FindLastByName(*this, name);
    for (;;) {
        // A name that the payload does not hold cannot be written: the same question as any
        // other file that cannot be created.
        if (entry && WriteEntry(*this, *entry, target)) {
            AddToInstallLog("File Copy: " + target);
            return true;
        }
        const int answer = ShowThreadMessage("Cannot create file \"" + target +
                                                 "\".\rAnother application might already be "
                                                 "using this file.",
                                             mtError, mbAbort | mbRetry | mbIgnore);
        if (answer == mrAbort) return false;
        if (answer == mrIgnore) return true;
    }
}
