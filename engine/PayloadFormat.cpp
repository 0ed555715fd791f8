#include "engine/PayloadFormat.h"

#include <zlib.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

static_assert(std::endian::native == std::endian::little,
              "the payload's numbers are little-endian and read in place");

namespace Payload {

namespace {

[[noreturn]] void Damaged(const char* what) {
    throw EPayloadDamaged(DamagedMessage(what));
}

// zlib's own record must be ended on every path out of the loop, or its window leaks.
struct TInflateEnd {
    z_stream& Stream;
    ~TInflateEnd() { inflateEnd(&Stream); }
};

bool OnlyDotsAndSpaces(std::string_view part) {
    return part.find_first_not_of(". ") == std::string_view::npos;
}

} // namespace

std::string DamagedMessage(const std::string& what) {
    return "The setup file is damaged: " + what +
           ".\r\rPlease download the setup again and run the new copy.";
}

TBlock Inflate(const std::uint8_t* compressed, std::size_t count, std::size_t estimate,
               std::int32_t& inflatedSize, TInflateTrace* trace) {
    inflatedSize = 0;
    if (compressed == nullptr || count == 0) Damaged("it carries no product files");
    if (count > MaxInflatedSize) Damaged("its product files are too large");

    const std::size_t step = (count + 255) & ~static_cast<std::size_t>(255);
    std::size_t capacity = std::min(estimate != 0 ? estimate : step, MaxInflatedSize);
    TBlock block(static_cast<std::uint8_t*>(std::malloc(capacity)));
    if (!block) throw std::bad_alloc();

    z_stream zs{};
    zs.next_in = const_cast<Bytef*>(compressed);
    zs.avail_in = static_cast<uInt>(count);
    zs.next_out = block.get();
    zs.avail_out = static_cast<uInt>(capacity);
    const int init = inflateInit(&zs);
    if (init == Z_MEM_ERROR) throw std::bad_alloc();
    if (init != Z_OK) Damaged("its product files cannot be unpacked");
    TInflateEnd end{zs};

    int calls = 0;
    for (;;) {
        const int rc = inflate(&zs, Z_NO_FLUSH);
        ++calls;
        if (rc == Z_STREAM_END) break;
        if (rc == Z_MEM_ERROR) throw std::bad_alloc();
        if (rc != Z_OK && rc != Z_BUF_ERROR) Damaged("its product files are corrupt");
        // zlib stops with room left only when the input is used up before the stream's end
        // (or when it cannot move at all): more room would never help.
        if (zs.avail_out != 0) Damaged("its product files are incomplete");
        if (capacity >= MaxInflatedSize) Damaged("its product files are too large");
        const std::size_t grown = static_cast<std::size_t>(
            std::min<std::uint64_t>(std::uint64_t{capacity} + step, MaxInflatedSize));
        auto* p = static_cast<std::uint8_t*>(std::realloc(block.get(), grown));
        if (!p) throw std::bad_alloc(); // the old block is still owned and freed
        block.release();
        block.reset(p);
        capacity = grown;
        zs.next_out = block.get() + zs.total_out;
        zs.avail_out = static_cast<uInt>(capacity - zs.total_out);
    }

    const std::size_t total = zs.total_out;
    if (trace) {
        trace->InflateCalls = calls;
        trace->PeakCapacity = capacity;
        trace->TrailingBytes = zs.avail_in;
    }
    // A failed shrink keeps the larger block, which is just as good.
    if (total < capacity) {
        if (auto* p = static_cast<std::uint8_t*>(
                std::realloc(block.get(), std::max<std::size_t>(total, 1)))) {
            block.release();
            block.reset(p);
        }
    }
    inflatedSize = static_cast<std::int32_t>(total);
    return block;
}

const char* NameProblem(std::string_view name) {
    if (name.empty()) return "a file name is empty";
    if (name.size() > MaxNameLength) return "a file name is too long";
    if (name.front() == '\\') return "a file name is an absolute path";
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (c == ':') return "a file name names a drive";
        if (c == '/') return "a file name contains a slash";
        // Wildcards would make a lookup by name match other files; the rest Windows refuses.
        if (u < 0x20 || std::strchr("<>\"|?*", c))
            return "a file name contains a character "
                   "that Windows does not allow";
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t stop = name.find('\\', start);
        const std::string_view part = name.substr(start, stop - start);
        if (part.empty()) return "a file name contains an empty folder name";
        // Windows drops trailing dots and spaces, so ".. " would step out like "..".
        if (OnlyDotsAndSpaces(part)) return "a file name leaves its folder";
        if (stop == std::string_view::npos) break;
        start = stop + 1;
    }
    return nullptr;
}

std::vector<std::unique_ptr<TAttachedFile>> ParseIndex(const std::uint8_t* data,
                                                       std::int32_t size) {
    std::vector<std::unique_ptr<TAttachedFile>> files;
    if (size < 0 || (size > 0 && data == nullptr)) Damaged("its index is corrupt");
    const std::size_t end = static_cast<std::size_t>(size);
    std::size_t offset = 0;
    while (offset < end) {
        const std::size_t nameLength = data[offset];
        if (end - offset < EntryOverhead + nameLength)
            Damaged("a file entry runs past the end of the product files");
        auto file = std::make_unique<TAttachedFile>();
        file->Name.assign(reinterpret_cast<const char*>(data + offset + 1), nameLength);
        if (const char* problem = NameProblem(file->Name)) Damaged(problem);
        offset += 1 + nameLength;
        std::memcpy(&file->Date, data + offset, 8);
        offset += 8;
        std::memcpy(&file->Size, data + offset, 4);
        offset += 4;
        if (file->Size < 0) Damaged("a file entry has a negative size");
        if (static_cast<std::size_t>(file->Size) > end - offset)
            Damaged("a file entry runs past the end of the product files");
        file->DataOffset = static_cast<std::int32_t>(offset);
        offset += static_cast<std::size_t>(file->Size);
        files.push_back(std::move(file));
    }
    return files;
}

} // namespace Payload
