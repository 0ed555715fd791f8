#include "util/InstallLog.h"

#include "util/InstUtils.h"
#include "util/ScopedWin.h"
#include "util/TextLines.h"

#include <windows.h>

#include <mutex>
#include <unordered_map>

std::unique_ptr<std::vector<std::string>> InstallLog;
std::string InstallLogPath;
bool InstallStarted = false;
std::atomic<std::int32_t> InstallLogSuspendCount{0};

namespace {

// The worker records lines while the wizard may save at exit; the list is guarded by one lock.
std::mutex InstallLogLock;

constexpr DWORD LineCompareFlags = NORM_IGNORECASE | SORT_STRINGSORT;

bool SameLine(const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_USER_DEFAULT, LineCompareFlags, a.data(),
                          static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) == CSTR_EQUAL;
}

// The line's sort key under the same rules: lines compare equal exactly when their keys are
// equal. False when the platform gives none.
bool LineKey(const std::string& line, std::string& key) {
    key.assign(1, 'k'); // the empty line has a key too
    if (line.empty()) return true;
    const int length = static_cast<int>(line.size());
    const int size = LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | LineCompareFlags,
                                  line.data(), length, nullptr, 0);
    if (size <= 0) return false;
    key.resize(1 + static_cast<std::size_t>(size));
    return LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | LineCompareFlags, line.data(), length,
                        &key[1], size) == size;
}

// Every copied file adds a line, and comparing it with every line before it costs seconds for
// a few hundred files: the lines are found by their sort keys instead, and the comparison only
// confirms the candidates. The index follows InstallLog as others append to it.
class TLineIndex {
  public:
    bool Contains(const std::vector<std::string>& log, const std::string& line) {
        CatchUp(log);
        std::string key;
        if (!LineKey(line, key)) {
            for (const std::string& recorded : log)
                if (SameLine(recorded, line)) return true;
            return false;
        }
        const auto [first, last] = keys_.equal_range(key);
        for (auto it = first; it != last; ++it)
            if (SameLine(log[it->second], line)) return true;
        for (const std::size_t i : unkeyed_)
            if (SameLine(log[i], line)) return true;
        return false;
    }
    void Clear() {
        keys_.clear();
        unkeyed_.clear();
        log_ = nullptr;
        indexed_ = 0;
        lastIndexed_.clear();
    }

  private:
    void CatchUp(const std::vector<std::string>& log) {
        // A list replaced or cut behind our back is indexed again from its start.
        if (&log != log_ || log.size() < indexed_ ||
            (indexed_ > 0 && log[indexed_ - 1] != lastIndexed_)) {
            Clear();
            log_ = &log;
        }
        std::string key;
        for (; indexed_ < log.size(); ++indexed_) {
            if (LineKey(log[indexed_], key))
                keys_.emplace(key, indexed_);
            else
                unkeyed_.push_back(indexed_);
        }
        if (indexed_ > 0) lastIndexed_ = log[indexed_ - 1];
    }

    std::unordered_multimap<std::string, std::size_t> keys_;
    std::vector<std::size_t> unkeyed_;
    const std::vector<std::string>* log_ = nullptr;
    std::size_t indexed_ = 0;
    std::string lastIndexed_;
};

TLineIndex LineIndex; // guarded by InstallLogLock

bool IsFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The old file stays whole unless the new content is known to be on disk: it is written beside
// it first and then put in its place.
void ReplaceFileContent(const std::string& path, const std::string& content) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        // What a plain rewrite could not change stays as it is: a read-only file, a folder, or
        // a file another program holds open without sharing it for writing.
        if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) return;
        win::UniqueFile probe(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!probe) return;
    }
    const std::size_t cut = path.find_last_of("\\/:");
    const std::string folder =
        cut == std::string::npos ? std::string(".") : path.substr(0, cut + 1);
    char temp[MAX_PATH];
    if (!GetTempFileNameA(folder.c_str(), "log", 0, temp)) return;
    bool written = false;
    {
        win::UniqueFile file(CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            DWORD count = 0;
            // A nearly full disk may accept part of a write and still report success.
            written = content.empty() ||
                      (WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()),
                                 &count, nullptr) &&
                       count == content.size());
            written = written && FlushFileBuffers(file.get());
        }
    }
    if (!written ||
        !MoveFileExA(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        DeleteFileA(temp);
}

} // namespace

void AddToInstallLog(const std::string& line) {
    if (InstallLogSuspendCount.load() != 0) return;
    const std::lock_guard<std::mutex> lock(InstallLogLock);
    if (!InstallLog) return;
    if (LineIndex.Contains(*InstallLog, line)) return;
    InstallLog->push_back(line);
}

void SuspendInstallLog() {
    ++InstallLogSuspendCount;
}

void ResumeInstallLog() {
    --InstallLogSuspendCount;
}

void PrepareInstallLog(const std::string& path) {
    auto log = std::make_unique<std::vector<std::string>>();
    if (!path.empty() && IsFile(path)) {
        std::string content;
        if (ReadTextFile(path, content)) *log = SplitLines(content);
    }
    {
        const std::lock_guard<std::mutex> lock(InstallLogLock);
        InstallLog = std::move(log);
        LineIndex.Clear();
        InstallLogPath = path;
    }
    InstallStarted = true;
}

void SaveInstallLog() {
    std::string content, path;
    {
        const std::lock_guard<std::mutex> lock(InstallLogLock);
        if (!InstallStarted || !InstallLog || InstallLogPath.empty()) return;
        content = JoinLinesCrLf(*InstallLog);
        path = InstallLogPath;
    }
    ReplaceFileContent(path, content);
}
