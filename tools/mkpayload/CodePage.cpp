#include "tools/mkpayload/CodePage.h"

#include <cstdint>

namespace {

// Windows-1252 0x80..0x9F; 0 where the code page has no character.
constexpr char32_t High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                               0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                               0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                               0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::optional<unsigned char> ToByte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<unsigned char>(c);
    for (int i = 0; i < 32; ++i)
        if (High[i] != 0 && High[i] == c) return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

char32_t ToChar(unsigned char b) {
    return b >= 0x80 && b < 0xA0 ? High[b - 0x80] : b;
}

} // namespace

std::optional<std::string> Utf8ToCp1252(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        int more = 0;
        char32_t c = 0;
        if (b < 0x80)
            c = b;
        else if ((b & 0xE0) == 0xC0)
            more = 1, c = b & 0x1F;
        else if ((b & 0xF0) == 0xE0)
            more = 2, c = b & 0x0F;
        else if ((b & 0xF8) == 0xF0)
            more = 3, c = b & 0x07;
        else
            return std::nullopt;
        if (i + 1 + static_cast<std::size_t>(more) > utf8.size()) return std::nullopt;
        for (int k = 1; k <= more; ++k) {
            const auto t = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
            if ((t & 0xC0) != 0x80) return std::nullopt;
            c = (c << 6) | (t & 0x3F);
        }
        // Overlong forms would let one name hide behind another spelling.
        static constexpr char32_t Least[4] = {0, 0x80, 0x800, 0x10000};
        if (c < Least[more]) return std::nullopt;
        const auto byte = ToByte(c);
        if (!byte) return std::nullopt;
        out.push_back(static_cast<char>(*byte));
        i += 1 + static_cast<std::size_t>(more);
    }
    return out;
}

std::string Cp1252ToUtf8(std::string_view text) {
    std::string out;
    for (const char ch : text) {
        char32_t c = ToChar(static_cast<unsigned char>(ch));
        if (c == 0 && ch != 0) c = 0xFFFD;
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::string FoldCase1252(std::string_view text) {
    std::string out(text);
    for (auto& ch : out) {
        const auto b = static_cast<unsigned char>(ch);
        unsigned char u = b;
        if (b >= 'a' && b <= 'z')
            u = static_cast<unsigned char>(b - 0x20);
        else if (b >= 0xE0 && b <= 0xFE && b != 0xF7)
            u = static_cast<unsigned char>(b - 0x20);
        else if (b == 0x9A || b == 0x9C || b == 0x9E)
            u = static_cast<unsigned char>(b - 0x10);
        else if (b == 0xFF)
            u = 0x9F;
        ch = static_cast<char>(u);
    }
    return out;
}
