// Whole-file writes and file dates as the overwrite policy compares them.
#include "util/DateTime.h"
#include "util/InstUtils.h"
#include "util/ScopedWin.h"

#include <windows.h>

void WriteTextFile(const std::string& fileName, const std::string& text) {
    win::UniqueFile file(CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file || text.empty()) return;
    DWORD written = 0;
    WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

bool ReadTextFile(const std::string& fileName, std::string& text) {
    win::UniqueFile file(CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return false;
    DWORD high = 0;
    const DWORD low = GetFileSize(file.get(), &high);
    if ((low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || high != 0 || low > 0x7FFFFFFF)
        return false;
    text.assign(low, '\0');
    DWORD got = 0;
    return text.empty() || (ReadFile(file.get(), text.data(), low, &got, nullptr) && got == low);
}

double GetFileWriteDate(const std::string& fileName) {
    WIN32_FIND_DATAA entry;
    win::UniqueFind find(FindFirstFileA(fileName.c_str(), &entry));
    FILETIME local;
    WORD dosDate = 0, dosTime = 0;
    if (!find || !FileTimeToLocalFileTime(&entry.ftLastWriteTime, &local) ||
        !FileTimeToDosDateTime(&local, &dosDate, &dosTime)) {
        // "Now" never equals a stored date, so a missing file is always copied.
        SYSTEMTIME now;
        GetLocalTime(&now);
        return EncodeDateTime({now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond,
                               now.wMilliseconds});
    }
    CalendarTime t;
    t.Year = ((dosDate >> 9) & 0x7F) + 1980;
    t.Month = (dosDate >> 5) & 0x0F;
    t.Day = dosDate & 0x1F;
    t.Hour = (dosTime >> 11) & 0x1F;
    t.Minute = (dosTime >> 5) & 0x3F;
    t.Second = 2 * (dosTime & 0x1F);
    t.Millisecond = 0;
    return EncodeDateTime(t);
}
