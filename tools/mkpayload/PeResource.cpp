#include "tools/mkpayload/PeResource.h"

#include <cstring>
#include <vector>

namespace {

struct TImage {
    const std::uint8_t* Bytes;
    std::size_t Size;

    bool Has(std::size_t at, std::size_t n) const { return at <= Size && n <= Size - at; }
    std::uint32_t U16(std::size_t at) const { return Bytes[at] | (Bytes[at + 1] << 8); }
    std::uint32_t U32(std::size_t at) const {
        return Bytes[at] | (Bytes[at + 1] << 8) | (Bytes[at + 2] << 16) |
               (static_cast<std::uint32_t>(Bytes[at + 3]) << 24);
    }
};

struct TSection {
    std::uint32_t Rva, VirtualSize, RawOffset, RawSize;
};

// The entry of a resource directory whose name equals `name` (compared as ASCII upper case,
// as Windows does); its offset field, or nothing.
std::optional<std::uint32_t> FindNamed(const TImage& img, std::size_t root, std::size_t dir,
                                       std::string_view name) {
    if (!img.Has(dir, 16)) return std::nullopt;
    const std::uint32_t named = img.U16(dir + 12);
    for (std::uint32_t i = 0; i < named; ++i) {
        const std::size_t entry = dir + 16 + i * 8;
        if (!img.Has(entry, 8)) return std::nullopt;
        const std::uint32_t nameField = img.U32(entry);
        if (!(nameField & 0x80000000u)) continue;
        const std::size_t str = root + (nameField & 0x7FFFFFFFu);
        if (!img.Has(str, 2)) return std::nullopt;
        const std::uint32_t length = img.U16(str);
        if (length != name.size() || !img.Has(str + 2, length * 2)) continue;
        bool same = true;
        for (std::uint32_t k = 0; k < length && same; ++k) {
            std::uint32_t c = img.U16(str + 2 + k * 2);
            if (c >= 'a' && c <= 'z') c -= 0x20;
            std::uint32_t want = static_cast<unsigned char>(name[k]);
            if (want >= 'a' && want <= 'z') want -= 0x20;
            same = c == want;
        }
        if (same) return img.U32(entry + 4);
    }
    return std::nullopt;
}

} // namespace

std::optional<TResourceSpan> FindPeResource(const std::uint8_t* image, std::size_t size,
                                            std::string_view type, std::string_view name) {
    const TImage img{image, size};
    if (!img.Has(0, 64) || image[0] != 'M' || image[1] != 'Z') return std::nullopt;
    const std::size_t pe = img.U32(0x3C);
    if (!img.Has(pe, 24) || std::memcmp(image + pe, "PE\0\0", 4) != 0) return std::nullopt;
    const std::uint32_t sections = img.U16(pe + 6);
    const std::uint32_t optionalSize = img.U16(pe + 20);
    const std::size_t opt = pe + 24;
    if (!img.Has(opt, optionalSize) || optionalSize < 2) return std::nullopt;
    const std::uint32_t magic = img.U16(opt);
    const std::size_t dirs = opt + (magic == 0x20B ? 112 : 96);
    // Data directory 2 is the resource table.
    if (dirs + 3 * 8 > opt + optionalSize) return std::nullopt;
    const std::uint32_t resourceRva = img.U32(dirs + 16);
    if (resourceRva == 0) return std::nullopt;

    std::vector<TSection> table;
    const std::size_t sectionTable = opt + optionalSize;
    for (std::uint32_t i = 0; i < sections; ++i) {
        const std::size_t s = sectionTable + i * 40;
        if (!img.Has(s, 40)) return std::nullopt;
        table.push_back({img.U32(s + 12), img.U32(s + 8), img.U32(s + 20), img.U32(s + 16)});
    }
    auto FileOffset = [&](std::uint32_t rva, std::uint32_t length) -> std::optional<std::size_t> {
        for (const auto& s : table) {
            const std::uint32_t span = s.VirtualSize > s.RawSize ? s.VirtualSize : s.RawSize;
            if (rva < s.Rva || rva - s.Rva >= span) continue;
            // The bytes must be in the file, not in the zero-filled tail of the section.
            const std::uint64_t inSection = rva - s.Rva;
            if (inSection + length > s.RawSize) return std::nullopt;
            const std::uint64_t at = s.RawOffset + inSection;
            if (at > size || !img.Has(static_cast<std::size_t>(at), length)) return std::nullopt;
            return static_cast<std::size_t>(at);
        }
        return std::nullopt;
    };

    const auto root = FileOffset(resourceRva, 16);
    if (!root) return std::nullopt;
    // Type, then name, then the first language.
    const auto typeEntry = FindNamed(img, *root, *root, type);
    if (!typeEntry || !(*typeEntry & 0x80000000u)) return std::nullopt;
    const std::size_t nameDir = *root + (*typeEntry & 0x7FFFFFFFu);
    const auto nameEntry = FindNamed(img, *root, nameDir, name);
    if (!nameEntry || !(*nameEntry & 0x80000000u)) return std::nullopt;
    const std::size_t langDir = *root + (*nameEntry & 0x7FFFFFFFu);
    if (!img.Has(langDir, 16 + 8)) return std::nullopt;
    if (img.U16(langDir + 12) + img.U16(langDir + 14) == 0) return std::nullopt;
    const std::uint32_t dataField = img.U32(langDir + 16 + 4);
    if (dataField & 0x80000000u) return std::nullopt;
    const std::size_t dataEntry = *root + dataField;
    if (!img.Has(dataEntry, 16)) return std::nullopt;
    const std::uint32_t dataRva = img.U32(dataEntry);
    const std::uint32_t dataSize = img.U32(dataEntry + 4);
    const auto at = FileOffset(dataRva, dataSize);
    if (!at) return std::nullopt;
    return TResourceSpan{*at, dataSize};
}
