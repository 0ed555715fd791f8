// The byte format of the payload, shared by the setup (reader) and the release tools (writer):
// one zlib stream that inflates to a plain run of entries
//   name length (1 byte), name (8-bit text), date (8-byte double), size (signed 32-bit LE), data.
// The reader trusts nothing: every length is checked against the block, and a name that could
// leave the folder it is installed to is refused.
#pragma once

#include "engine/AttachFiles.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Payload {

// Fixed part of an entry besides its name: the length byte, the date and the size.
inline constexpr std::size_t EntryOverhead = 1 + 8 + 4;
inline constexpr std::size_t MaxNameLength = 255;
// The index keeps sizes and offsets as signed 32-bit numbers, so the block never grows past it.
inline constexpr std::size_t MaxInflatedSize = 0x7FFFFFFF;

struct TFreeDeleter {
    void operator()(std::uint8_t* p) const { std::free(p); }
};
// The inflated payload: one heap block from malloc/realloc, released with free.
using TBlock = std::unique_ptr<std::uint8_t, TFreeDeleter>;

// What the inflate loop did, for tests and the benchmark.
struct TInflateTrace {
    int InflateCalls = 0;
    std::size_t PeakCapacity = 0;
    std::size_t TrailingBytes = 0; // input left after the end of the stream
};

// Inflates one whole zlib stream (header required, Adler-32 checked) into one block. The block
// starts at `estimate` bytes and grows by the compressed size rounded up to 256 for every
// further inflate call, then shrinks to the inflated size. Throws EPayloadDamaged for anything
// but a complete stream and std::bad_alloc when memory runs out; the block is freed either way.
TBlock Inflate(const std::uint8_t* compressed, std::size_t count, std::size_t estimate,
               std::int32_t& inflatedSize, TInflateTrace* trace = nullptr);

// Why a stored name must not be installed, or nullptr when it may. A name is a relative path
// with backslashes; it must not be empty, absolute, carry a drive, step out with "..", use "/"
// or contain an empty folder name.
const char* NameProblem(std::string_view name);

// Builds the index of an inflated payload in payload order. Throws EPayloadDamaged when an
// entry's header, name or data runs past the end, a size is negative or a name is refused.
std::vector<std::unique_ptr<TAttachedFile>> ParseIndex(const std::uint8_t* data, std::int32_t size);

// The message the setup shows for a damaged payload; `what` says what was found.
std::string DamagedMessage(const std::string& what);

// --- writing (release tools and tests) ---------------------------------------------------
// Appends one entry; the caller has checked the name (NameProblem) and the size.
void AppendEntry(std::string& payload, std::string_view name, double date, const void* data,
                 std::int32_t size);
// The whole payload as one zlib stream at maximum compression (it begins 0x78 0xDA).
std::vector<std::uint8_t> Deflate(const std::string& payload);

} // namespace Payload
