// The writing half of the payload format. Kept apart from the reader so that the setup, which
// only inflates, does not carry zlib's deflate code.
#include "engine/PayloadFormat.h"

#include <zlib.h>

#include <cstring>
#include <stdexcept>

namespace Payload {

void AppendEntry(std::string& payload, std::string_view name, double date, const void* data,
                 std::int32_t size) {
    payload.push_back(static_cast<char>(static_cast<unsigned char>(name.size())));
    payload.append(name);
    char number[8];
    std::memcpy(number, &date, 8);
    payload.append(number, 8);
    std::memcpy(number, &size, 4);
    payload.append(number, 4);
    if (size > 0) payload.append(static_cast<const char*>(data), static_cast<std::size_t>(size));
}

std::vector<std::uint8_t> Deflate(const std::string& payload) {
    // Level 9, 32 KB window, default memory: the stream's header is 0x78 0xDA.
    uLongf length = compressBound(static_cast<uLong>(payload.size()));
    std::vector<std::uint8_t> out(length);
    const int rc = compress2(out.data(), &length, reinterpret_cast<const Bytef*>(payload.data()),
                             static_cast<uLong>(payload.size()), Z_BEST_COMPRESSION);
    if (rc != Z_OK) throw std::runtime_error("zlib could not compress the payload");
    out.resize(length);
    return out;
}

} // namespace Payload
