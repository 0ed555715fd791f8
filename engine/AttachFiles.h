// The payload archive: every file of the product, inflated once from the executable's "FILES"
// resource into one block that stays for the whole run, with its index, the six install queues
// and the list of shared files.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// One entry of the index; owned by the index and never changed after construction.
struct TAttachedFile {
    std::string Name;
    std::int32_t Size = 0;
    double Date = 0;
    std::int32_t DataOffset = 0;
};

// One queued copy.
struct TFileToInstall {
    const TAttachedFile* AttachedFile = nullptr; // not owned
    std::string TargetPath;
    bool LogEnabled = true;
};

// A payload that cannot be trusted: the setup stops before the wizard with one message.
class EPayloadDamaged : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

inline constexpr int QueueCount = 6;

class TAttachedFiles {
  public:
    // Opens the resource "FILES" of type "FILES" of this executable.
    TAttachedFiles();
    // From a zlib stream held by the caller (tests, tools); only the inflated copy is kept.
    TAttachedFiles(const std::uint8_t* compressed, std::size_t count);
    ~TAttachedFiles();
    TAttachedFiles(const TAttachedFiles&) = delete;
    TAttachedFiles& operator=(const TAttachedFiles&) = delete;

    // Writes one entry (looked up by name when entry is null) to target; asks Abort/Retry/Ignore
    // when it cannot. False only when the user chose Abort.
    bool ExtractFile(const TAttachedFile* entry, const std::string& name,
                     const std::string& target);

    bool QueueFiles(const std::string& pattern, const std::string& target, std::uint8_t queue,
                    std::uint8_t policy);
    void ClearQueue(std::uint8_t queue);
    std::int32_t TotalSize() const;
    // Disk space of a pattern list on the drive of destDir, each entry rounded to clusters.
    std::int32_t ComponentSize(const std::string& patterns, const std::string& destDir) const;

    std::uint8_t* Data = nullptr; // owned
    std::int32_t DataSize = 0;
    std::vector<std::unique_ptr<TAttachedFile>> Files;
    std::array<std::vector<std::unique_ptr<TFileToInstall>>, QueueCount> Queues;
    std::vector<std::string> PublicFiles;
    bool ForceOverwrite = false;

  private:
    void Load(const std::uint8_t* compressed, std::size_t count);
    bool QueueFile(const TAttachedFile& file, const std::string& target, std::uint8_t queue,
                   std::uint8_t requestedPolicy, std::uint8_t policy);
};

extern TAttachedFiles* AttachedFiles;
// While set, the target argument of queueing is the complete path of the file to write.
extern bool TargetIsFullPath;
