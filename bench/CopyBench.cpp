// copy_bench PAYLOAD.Z [ROUNDS [FOLDER]]: the install worker's copy of a whole payload, from
// Running to Stopped, side by side with the floor: a loop that writes the same entries from memory
// with one CreateFileA/WriteFile/SetFileTime each. Both write into fresh folders below FOLDER
// (default C:\sarvello-bench-copy\; ./dev bench gives a drive in memory, since the disk's
// write-back otherwise decides more of each figure than the code does) and create
// the entries' folders; the install log is on, so every file is recorded. Prints the medians and
// their ratio; asserts nothing.
#include "engine/AttachFiles.h"
#include "engine/InstallThread.h"
#include "engine/InstallThreadStatus.h"
#include "util/DateTime.h"
#include "util/InstUtils.h"
#include "util/InstallLog.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

std::vector<std::uint8_t> ReadWhole(const char* path) {
    std::vector<std::uint8_t> data;
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return data;
    data.resize(GetFileSize(f, nullptr));
    DWORD got = 0;
    ReadFile(f, data.data(), static_cast<DWORD>(data.size()), &got, nullptr);
    data.resize(got);
    CloseHandle(f);
    return data;
}

FILETIME EntryTime(double date) {
    const CalendarTime t = DecodeDateTime(date);
    FILETIME local = {}, utc = {};
    DosDateTimeToFileTime(static_cast<WORD>((t.Year - 1980) * 512 + t.Month * 32 + t.Day),
                          static_cast<WORD>(t.Hour * 2048 + t.Minute * 32 + t.Second / 2), &local);
    LocalFileTimeToFileTime(&local, &utc);
    return utc;
}

// The floor: nothing but the system calls that putting the files on disk needs.
double FloorRun(const TAttachedFiles& files, const std::string& folder) {
    const double t0 = Now();
    std::set<std::string> made;
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const auto& e : files.Files) {
        const std::string path = folder + e->Name;
        for (std::size_t cut = path.find('\\', folder.size()); cut != std::string::npos;
             cut = path.find('\\', cut + 1)) {
            const std::string sub = path.substr(0, cut);
            if (made.insert(sub).second) CreateDirectoryA(sub.c_str(), nullptr);
        }
        HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(h, files.Data + e->DataOffset, static_cast<DWORD>(e->Size), &written, nullptr);
        const FILETIME ft = EntryTime(e->Date);
        SetFileTime(h, nullptr, nullptr, &ft);
        CloseHandle(h);
    }
    return Now() - t0;
}

double WorkerRun(TAttachedFiles& files, const std::string& folder) {
    for (std::uint8_t q = 0; q < QueueCount; ++q)
        files.ClearQueue(q);
    for (const auto& e : files.Files)
        files.QueueFiles(e->Name, folder, 0, 2);
    PrepareInstallLog(std::string());
    InstallThreadStatus.State = Running;
    const double t0 = Now();
    {
        TInstallThread worker(files);
        worker.WaitFor();
    }
    const double ms = Now() - t0;
    if (InstallThreadStatus.Read() != Stopped) std::printf("worker did not stop cleanly\n");
    InstallThreadStatus.State = Idle;
    return ms;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: copy_bench PAYLOAD.Z [ROUNDS [FOLDER]]\n");
        return 2;
    }
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
    const std::vector<std::uint8_t> z = ReadWhole(argv[1]);
    if (z.empty()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    TAttachedFiles files(z.data(), z.size());
    double bytes = 0;
    for (const auto& e : files.Files)
        bytes += e->Size;

    std::string root = argc > 3 ? argv[3] : "C:\\sarvello-bench-copy\\";
    AppendBackslash(root);
    DeleteFolderTree(root);
    CreateDirectoryA(root.c_str(), nullptr);
    std::vector<double> floor, worker, ratios;
    // Side by side, each into a fresh folder, taking turns at going first (the second of a pair
    // meets the first one's writes still being flushed); the first pair warms the caches.
    for (int r = 0; r <= rounds; ++r) {
        const std::string a = root + "floor" + std::to_string(r) + "\\";
        const std::string b = root + "worker" + std::to_string(r) + "\\";
        double f = 0, w = 0;
        if (r % 2) {
            w = WorkerRun(files, b);
            f = FloorRun(files, a);
        } else {
            f = FloorRun(files, a);
            w = WorkerRun(files, b);
        }
        if (r > 0) floor.push_back(f), worker.push_back(w), ratios.push_back(w / f);
        DeleteFolderTree(a);
        DeleteFolderTree(b);
    }
    DeleteFolderTree(root);

    const double fm = Median(floor), wm = Median(worker);
    const double fmin = *std::min_element(floor.begin(), floor.end());
    const double wmin = *std::min_element(worker.begin(), worker.end());
    const auto line = [&](const char* what, double ms, double best) {
        std::printf("%-28s %8.1f ms %8.1f MB/s %8.0f files/s   (best %.1f ms)\n", what, ms,
                    bytes / 1048576.0 / (ms / 1000.0), files.Files.size() / (ms / 1000.0), best);
    };
    std::printf("%zu files, %.0f bytes, median of %d rounds\n", files.Files.size(), bytes, rounds);
    line("floor (Create/Write/SetTime)", fm, fmin);
    line("install worker", wm, wmin);
    // Each pair ran back to back, so the median of the pairs' ratios stands best against a busy
    // machine; the ratio of the best runs shows the cost without interference.
    std::printf("ratio worker/floor: %.2fx median of pairs, %.2fx of best runs (target <= 1.3x)\n",
                Median(ratios), wmin / fmin);
    return 0;
}
