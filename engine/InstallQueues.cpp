// The install queues: which payload entries go where, the overwrite policy that leaves out the
// copies already in place, and the sizes that the wizard shows.
#include "engine/AttachFiles.h"

#include "util/InstUtils.h"
#include "util/InstallLog.h"

#include <windows.h>

#include <shlobj.h>

bool TargetIsFullPath = false;

namespace {

bool IsPrefixPattern(const std::string& pattern) {
    return !pattern.empty() && pattern.back() == '\\';
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && EqualNoCase(text.substr(0, prefix.size()), prefix);
}

bool Selects(const std::string& pattern, const std::string& name) {
    return IsPrefixPattern(pattern) ? StartsWithNoCase(name, pattern) : EqualNoCase(name, pattern);
}

// A folder of that name counts as no file.
bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The shared public data folder: files that land there are listed in "Update.log".
std::string PublicPrefix() {
    std::string prefix = GetShellFolder(CSIDL_COMMON_APPDATA);
    AppendBackslash(prefix);
    return prefix + "Sarvello\\Public\\";
}

// A pattern list holds one pattern per line; a line ends at CR, LF or CR LF.
std::vector<std::string> SplitPatterns(const std::string& patterns) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= patterns.size(); ++i) {
        if (i == patterns.size() || patterns[i] == '\r' || patterns[i] == '\n') {
            lines.push_back(patterns.substr(start, i - start));
            if (i + 1 < patterns.size() && patterns[i] == '\r' && patterns[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    return lines;
}

} // namespace

bool TAttachedFiles::QueueFiles(const std::string& pattern, const std::string& target,
                                std::uint8_t queue, std::uint8_t policy) {
    if (pattern.empty() || queue >= QueueCount) return false;
    const std::uint8_t inForce = ForceOverwrite ? 2 : policy;
    if (!IsPrefixPattern(pattern)) {
        for (const auto& file : Files)
            if (EqualNoCase(file->Name, pattern))
                return QueueFile(*file, target, queue, policy, inForce);
        return false;
    }
    bool queued = false;
    for (const auto& file : Files)
        if (StartsWithNoCase(file->Name, pattern))
            queued = QueueFile(*file, target, queue, policy, inForce) || queued;
    return queued;
}

bool TAttachedFiles::QueueFile(const TAttachedFile& file, const std::string& target,
                               std::uint8_t queue, std::uint8_t requestedPolicy,
                               std::uint8_t policy) {
    std::string path = target;
    if (!TargetIsFullPath) {
        AppendBackslash(path);
        path += file.Name;
    }
    if (policy != 2 && FileExists(path)) {
        if (policy == 0) return false;
        if (policy == 1 && GetFileWriteDate(path) == file.Date) return false;
    }
    auto item = std::make_unique<TFileToInstall>();
    item->AttachedFile = &file;
    item->TargetPath = path;
    item->LogEnabled = InstallLogSuspendCount == 0;
    Queues[queue].push_back(std::move(item));
    if (StartsWithNoCase(path, PublicPrefix()))
        PublicFiles.push_back(requestedPolicy == 0 ? path + "\t!" : path);
    return true;
}

void TAttachedFiles::ClearQueue(std::uint8_t queue) {
    if (queue < QueueCount) Queues[queue].clear();
}

std::int32_t TAttachedFiles::TotalSize() const {
    std::uint32_t sum = 0; // the wizard's 32-bit range; wraps as the platform's integers do
    for (const auto& items : Queues)
        for (const auto& item : items)
            sum += static_cast<std::uint32_t>(item->AttachedFile->Size);
    return static_cast<std::int32_t>(sum);
}

std::int32_t TAttachedFiles::ComponentSize(const std::string& patterns,
                                           const std::string& destDir) const {
    const std::vector<std::string> list = SplitPatterns(patterns);
    std::uint32_t sum = 0;
    for (auto pattern = list.rbegin(); pattern != list.rend(); ++pattern) {
        if (pattern->empty()) continue;
        const bool prefix = IsPrefixPattern(*pattern);
        for (auto file = Files.rbegin(); file != Files.rend(); ++file) {
            if (!Selects(*pattern, (*file)->Name)) continue;
            sum += static_cast<std::uint32_t>(RoundToClusters(destDir, (*file)->Size));
            if (!prefix) break;
        }
    }
    return static_cast<std::int32_t>(sum);
}
