// Byte counts and names as the wizard's labels show them; the same in every locale.
#include "util/InstUtils.h"

#include <climits>

namespace {

constexpr std::int64_t Kilobyte = 1024;
constexpr std::int64_t Megabyte = 1048576;
// From one byte short of 16 megabytes on, only whole (rounded) megabytes are shown.
constexpr std::int64_t WholeMegabyteThreshold = 16777215;

std::string GroupDigits64(std::int64_t number) {
    std::string digits = std::to_string(number);
    // The sign stays in front of the first group instead of being set apart from it.
    const std::size_t first = (!digits.empty() && digits[0] == '-') ? 1 : 0;
    for (std::size_t end = digits.size(); end > first + 3; end -= 3)
        digits.insert(end - 3, 1, ' ');
    return digits;
}

// Megabytes rounded to the nearest whole number, halves to the even neighbour.
std::int64_t RoundedMegabytes(std::int64_t size) {
    const bool negative = size < 0;
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(size) : static_cast<std::uint64_t>(size);
    std::uint64_t q = magnitude / Megabyte;
    const std::uint64_t twice = 2 * (magnitude % Megabyte);
    if (twice > static_cast<std::uint64_t>(Megabyte) ||
        (twice == static_cast<std::uint64_t>(Megabyte) && (q & 1)))
        ++q;
    return negative ? -static_cast<std::int64_t>(q) : static_cast<std::int64_t>(q);
}

} // namespace

std::string SizeText(std::int64_t size) {
    const std::int64_t m = RoundedMegabytes(size);
    if (size >= WholeMegabyteThreshold || (size != 0 && size == m * Megabyte))
        return GroupDigits64(m) + " MB";
    return GroupDigits64(size / Kilobyte) + " KB";
}

std::string GroupDigits(std::int32_t number) {
    return GroupDigits64(number);
}

std::string LabelText(const std::string& text) {
    // A lone hyphen would be drawn as a separator line by the label; the space keeps it text.
    if (text == "-") return "- ";
    std::string shown;
    shown.reserve(text.size() + 4);
    for (char c : text) {
        if (c == '&') shown += '&'; // shown literally, not as an accelerator mark
        shown += c;
    }
    return shown;
}

std::int32_t RoundUpToCluster(std::int32_t size, std::int32_t clusterSize) {
    if (clusterSize <= 0 || size % clusterSize == 0) return size;
    // Within 32 bits a size a cluster short of the limit cannot round up; it stays at the limit.
    const std::int64_t rounded = (std::int64_t{size} / clusterSize + 1) * clusterSize;
    return rounded > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(rounded);
}
