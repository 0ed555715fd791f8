// libFuzzer target for the payload reader (built only with clang): the first byte picks the
// path, the rest is either a compressed stream (inflate, then index) or an inflated payload
// (index only). Anything but EPayloadDamaged escaping, or a read past the block, is a finding.
#include "engine/PayloadFormat.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const bool compressed = data[0] & 1;
    // An exact-size heap copy, so that one byte too far is seen.
    std::vector<std::uint8_t> input(data + 1, data + size);
    try {
        if (compressed) {
            std::int32_t inflated = 0;
            // A small estimate makes the block grow, as a stream of unusual ratio would.
            auto block = Payload::Inflate(input.data(), input.size(),
                                          (data[0] & 2) ? 1 : input.size() * 5, inflated);
            Payload::ParseIndex(block.get(), inflated);
        } else {
            Payload::ParseIndex(input.data(), static_cast<std::int32_t>(input.size()));
        }
    } catch (const EPayloadDamaged&) {
    }
    return 0;
}
