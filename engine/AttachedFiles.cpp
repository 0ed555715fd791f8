// The payload archive's life: loading and indexing at start, releasing at the end.
#include "engine/AttachFiles.h"
#include "engine/PayloadFormat.h"
#include "util/InstUtils.h"

#include <windows.h>

#include <cstdlib>

TAttachedFiles* AttachedFiles = nullptr;

TAttachedFiles::TAttachedFiles() {
    // The resource lives in the loaded image: read only, never copied, never released.
    HRSRC resource = FindResourceA(nullptr, "FILES", "FILES");
    if (!resource) throw EPayloadDamaged(Payload::DamagedMessage("it carries no product files"));
    const DWORD count = SizeofResource(nullptr, resource);
    HGLOBAL loaded = LoadResource(nullptr, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || count == 0)
        throw EPayloadDamaged(Payload::DamagedMessage("its product files cannot be read"));
    Load(static_cast<const std::uint8_t*>(bytes), count);
}

TAttachedFiles::TAttachedFiles(const std::uint8_t* compressed, std::size_t count) {
    Load(compressed, count);
}

void TAttachedFiles::Load(const std::uint8_t* compressed, std::size_t count) {
    // Five times the compressed size covers a normal product in one inflate call.
    const std::size_t estimate =
        count > Payload::MaxInflatedSize / 5 ? Payload::MaxInflatedSize : count * 5;
    std::int32_t size = 0;
    Payload::TBlock block = Payload::Inflate(compressed, count, estimate, size);
    Files = Payload::ParseIndex(block.get(), size);
    Data = block.release();
    DataSize = size;
}

TAttachedFiles::~TAttachedFiles() {
    PublicFiles.clear();
    for (auto& queue : Queues)
        queue.clear();
    std::free(Data);
    Data = nullptr;
    DataSize = 0;
    Files.clear();
    DeleteTempFiles();
}
