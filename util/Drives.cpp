// Drive types, the removable test behind portable mode, and cluster sizes.
#include "util/InstUtils.h"
#include "util/ScopedWin.h"

#include <windows.h>

#include <climits>
#include <cstddef>

namespace {

// The storage query's structures, laid out here because the Windows 2000 headers hide them.
constexpr DWORD IoctlStorageQueryProperty = 0x2D1400;
constexpr DWORD DescriptorBufferSize = 548;
constexpr DWORD StorageBus1394 = 4; // BusType1394
constexpr DWORD StorageBusUsb = 7;  // BusTypeUsb
// Used when a drive is missing or not ready: the common allocation unit.
constexpr std::int32_t DefaultClusterSize = 4096;

struct TStoragePropertyQuery {
    DWORD PropertyId; // StorageDeviceProperty = 0
    DWORD QueryType;  // PropertyStandardQuery = 0
    BYTE AdditionalParameters[4];
};
static_assert(sizeof(TStoragePropertyQuery) == 12);

struct TStorageDeviceDescriptor {
    DWORD Version;
    DWORD Size;
    BYTE DeviceType;
    BYTE DeviceTypeModifier;
    BYTE RemovableMedia;
    BYTE CommandQueueing;
    DWORD VendorIdOffset;
    DWORD ProductIdOffset;
    DWORD ProductRevisionOffset;
    DWORD SerialNumberOffset;
    DWORD BusType;
    DWORD RawPropertiesLength;
    BYTE RawDeviceProperties[1];
};
static_assert(offsetof(TStorageDeviceDescriptor, RemovableMedia) == 10);
static_assert(offsetof(TStorageDeviceDescriptor, BusType) == 28);

std::string DriveRoot(const std::string& path) {
    std::string root = DrivePart(path);
    AppendBackslash(root);
    return root;
}

} // namespace

unsigned GetDriveKind(const std::string& path) {
    const std::string root = DriveRoot(path);
    // A path without a drive names no root (and must not fall back to the current drive).
    if (root.empty()) return DRIVE_NO_ROOT_DIR;
    return GetDriveTypeA(root.c_str());
}

bool IsRemovableDrive(const std::string& path) {
    const unsigned kind = GetDriveKind(path);
    if (kind == DRIVE_REMOVABLE) return true;
    if (kind != DRIVE_FIXED) return false;

    // A fixed disk on USB or IEEE 1394 can leave with its user: it counts as removable.
    const std::string volume = "\\\\.\\" + DrivePart(path);
    win::UniqueFile device(CreateFileA(volume.c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       0, nullptr));
    if (!device) return false;
    TStoragePropertyQuery query = {};
    alignas(DWORD) BYTE buffer[DescriptorBufferSize] = {};
    auto* descriptor = reinterpret_cast<TStorageDeviceDescriptor*>(buffer);
    descriptor->Size = DescriptorBufferSize;
    DWORD returned = 0;
    if (!DeviceIoControl(device.get(), IoctlStorageQueryProperty, &query, sizeof query, buffer,
                         DescriptorBufferSize, &returned, nullptr))
        return false;
    return descriptor->BusType == StorageBus1394 || descriptor->BusType == StorageBusUsb ||
           descriptor->RemovableMedia != 0;
}

std::int32_t GetClusterSize(const std::string& path) {
    const std::string root = DriveRoot(path);
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    if (root.empty() || !GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector,
                                           &freeClusters, &totalClusters))
        return DefaultClusterSize;
    const std::uint64_t size = std::uint64_t{sectorsPerCluster} * bytesPerSector;
    if (size == 0 || size > INT32_MAX) return DefaultClusterSize;
    return static_cast<std::int32_t>(size);
}

std::int32_t RoundToClusters(const std::string& path, std::int32_t size) {
    return RoundUpToCluster(size, GetClusterSize(path));
}
