#include "product/InstallStamp.h"

#include <bit>
#include <cstdint>

static_assert(sizeof(double) == 8);

std::string InstallStampBytes(double stamp) {
    // Little-endian on every target, whatever the build machine: the file is read elsewhere.
    const auto bits = std::bit_cast<std::uint64_t>(stamp);
    std::string bytes(8, '\0');
    for (int i = 0; i < 8; ++i)
        bytes[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
    return bytes;
}

std::string StampLine(double stamp) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string line = "*";
    for (const char c : InstallStampBytes(stamp)) {
        const auto b = static_cast<unsigned char>(c);
        line += Digits[b >> 4];
        line += Digits[b & 0x0F];
    }
    return line;
}
