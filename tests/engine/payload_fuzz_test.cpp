// Seeded random damage to the index and to the compressed stream, run under the sanitizers of
// the host build: every input either yields a consistent index or EPayloadDamaged; nothing
// else escapes, nothing reads past the block, nothing hangs.
#include "engine/PayloadFormat.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

std::string SeedPayload() {
    std::string raw;
    const char* names[] = {"mrv.exe", "License.txt", "Templates\\Faxes\\Fax 1.rtf",
                           "Clip Library\\Greetings\\Birthday.txt", "empty.dat"};
    std::mt19937 rng(7);
    for (std::size_t i = 0; i < std::size(names); ++i) {
        std::string data(i == 4 ? 0 : 50 + rng() % 400, '\0');
        for (auto& c : data)
            c = static_cast<char>(i == 0 ? rng() : 'a' + rng() % 26);
        Payload::AppendEntry(raw, names[i], 45000.0 + static_cast<double>(i), data.data(),
                             static_cast<std::int32_t>(data.size()));
    }
    return raw;
}

template <class Bytes> void Mutate(Bytes& b, std::mt19937& rng) {
    const int edits = 1 + static_cast<int>(rng() % 4);
    for (int i = 0; i < edits && !b.empty(); ++i) {
        const std::size_t at = rng() % b.size();
        switch (rng() % 6) {
        case 0:
            b[at] = static_cast<typename Bytes::value_type>(b[at] ^ (1u << (rng() % 8)));
            break;
        case 1:
            b[at] = static_cast<typename Bytes::value_type>(rng());
            break;
        case 2:
            b.resize(at);
            break;
        case 3:
            b.insert(b.begin() + static_cast<std::ptrdiff_t>(at),
                     static_cast<typename Bytes::value_type>(rng()));
            break;
        case 4:
            b.erase(b.begin() + static_cast<std::ptrdiff_t>(at));
            break;
        default: // a length byte or size field set to an extreme
            b[at] = static_cast<typename Bytes::value_type>(rng() % 2 ? 0xFF : 0x80);
        }
    }
}

void CheckConsistent(const std::uint8_t* data, std::int32_t size) {
    const auto files = Payload::ParseIndex(data, size);
    std::int64_t expectedStart = 0;
    for (const auto& f : files) {
        ASSERT_GE(f->Size, 0);
        ASSERT_EQ(nullptr, Payload::NameProblem(f->Name));
        ASSERT_EQ(expectedStart + 13 + static_cast<std::int64_t>(f->Name.size()), f->DataOffset);
        ASSERT_LE(static_cast<std::int64_t>(f->DataOffset) + f->Size, size);
        expectedStart = static_cast<std::int64_t>(f->DataOffset) + f->Size;
    }
    ASSERT_EQ(expectedStart, size);
}

TEST(PayloadFuzz, DamagedIndexNeverEscapesTheBlock) {
    const std::string seed = SeedPayload();
    std::mt19937 rng(20261211);
    int accepted = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string raw = seed;
        Mutate(raw, rng);
        // An exact-size heap copy, so that the sanitizer sees a read one byte too far.
        std::vector<std::uint8_t> block(raw.begin(), raw.end());
        try {
            CheckConsistent(block.data(), static_cast<std::int32_t>(block.size()));
            ++accepted;
        } catch (const EPayloadDamaged&) {
        }
    }
    // Some mutations (a changed data byte) leave a valid payload; most do not.
    EXPECT_GT(accepted, 0);
    EXPECT_LT(accepted, 20000);
}

TEST(PayloadFuzz, DamagedStreamNeverLoopsOrOverruns) {
    const auto seed = Payload::Deflate(SeedPayload());
    std::mt19937 rng(1899);
    int refused = 0;
    for (int i = 0; i < 4000; ++i) {
        std::vector<std::uint8_t> stream = seed;
        Mutate(stream, rng);
        const std::size_t estimate = rng() % 3 == 0 ? 1 : stream.size() * 5;
        try {
            std::int32_t size = 0;
            auto block = Payload::Inflate(stream.data(), stream.size(), estimate, size);
            CheckConsistent(block.get(), size);
        } catch (const EPayloadDamaged&) {
            ++refused;
        }
    }
    EXPECT_GT(refused, 0);
}

} // namespace
