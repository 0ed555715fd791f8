// The payload format: what the packer writes, the reader reads back exactly, and what the
// reader refuses instead of looping or reading past the block.
#include "engine/PayloadFormat.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct TEntryCase {
    std::string Name;
    std::string Data;
    double Date;
};

std::string RawPayload(const std::vector<TEntryCase>& entries) {
    std::string raw;
    for (const auto& e : entries)
        Payload::AppendEntry(raw, e.Name, e.Date, e.Data.data(),
                             static_cast<std::int32_t>(e.Data.size()));
    return raw;
}

// Letters that do not repeat in a pattern, so that the entry does not compress away.
std::string ScatteredName(std::size_t length, unsigned seed) {
    std::string s(length, 'a');
    for (auto& c : s) {
        seed = seed * 1103515245u + 12345u;
        c = static_cast<char>('a' + (seed >> 16) % 26);
    }
    return s;
}

struct TRoundTripCase {
    const char* Label;
    std::vector<TEntryCase> Entries;
    bool MustGrow; // inflates to more than five times the compressed size
};

std::vector<TRoundTripCase> RoundTripCases() {
    return {
        {"one entry", {{"License.txt", "Terms of use\r\n", 46000.5}}, false},
        {"empty payload", {}, false},
        {"size 0 in the middle and at the end",
         {{"a.txt", "alpha", 45000.25},
          {"Templates\\Empty.rtf", "", 45001.0},
          {"b.txt", "beta", 45002.0},
          {"Clip Library\\last.txt", "", 45003.75}},
         false},
        {"names of 255 bytes",
         {{ScatteredName(251, 1) + ".txt", "x", 40000.0},
          {"Templates\\" + ScatteredName(245, 2), "yz", 40001.0}},
         false},
        {"inflates far beyond five times",
         {{"Hyphenation.dat", std::string(2'000'000, '\0'), 44000.0},
          {"us.zlx", std::string(300'000, 'a'), 44001.0}},
         true},
    };
}

TEST(PayloadFormat, PackedEntriesComeBackExactly) {
    for (const auto& c : RoundTripCases()) {
        SCOPED_TRACE(c.Label);
        const std::string raw = RawPayload(c.Entries);
        const std::vector<std::uint8_t> packed = Payload::Deflate(raw);
        ASSERT_GE(packed.size(), 2u);
        EXPECT_EQ(0x78, packed[0]);
        EXPECT_EQ(0xDA, packed[1]);

        std::int32_t size = -1;
        Payload::TInflateTrace trace;
        Payload::TBlock block =
            Payload::Inflate(packed.data(), packed.size(), packed.size() * 5, size, &trace);
        ASSERT_EQ(static_cast<std::int32_t>(raw.size()), size);
        EXPECT_EQ(0, std::memcmp(raw.data(), block.get(), raw.size()));
        if (c.MustGrow) {
            EXPECT_GT(trace.InflateCalls, 1);
            EXPECT_GT(trace.PeakCapacity, raw.size());
        } else {
            EXPECT_EQ(1, trace.InflateCalls);
        }

        const auto files = Payload::ParseIndex(block.get(), size);
        ASSERT_EQ(c.Entries.size(), files.size());
        for (std::size_t i = 0; i < files.size(); ++i) {
            const TAttachedFile& f = *files[i];
            EXPECT_EQ(c.Entries[i].Name, f.Name);
            EXPECT_EQ(c.Entries[i].Date, f.Date);
            ASSERT_EQ(static_cast<std::int32_t>(c.Entries[i].Data.size()), f.Size);
            EXPECT_EQ(0, std::memcmp(c.Entries[i].Data.data(), block.get() + f.DataOffset,
                                     c.Entries[i].Data.size()));
            // Entries follow each other with no gap: an empty entry's data offset is where
            // the next entry (or the payload) begins.
            const std::int32_t next = i + 1 < files.size()
                                          ? files[i + 1]->DataOffset - 13 -
                                                static_cast<std::int32_t>(files[i + 1]->Name.size())
                                          : size;
            EXPECT_EQ(next, f.DataOffset + f.Size);
        }
    }
}

TEST(PayloadFormat, TinyFirstEstimateStillEndsAtTheExactSize) {
    const std::string raw = RawPayload({{"a", std::string(100'000, 'q'), 1.0}});
    const auto packed = Payload::Deflate(raw);
    std::int32_t size = 0;
    Payload::TInflateTrace trace;
    auto block = Payload::Inflate(packed.data(), packed.size(), 1, size, &trace);
    EXPECT_EQ(static_cast<std::int32_t>(raw.size()), size);
    EXPECT_GT(trace.InflateCalls, 2);
    // Each further call adds the compressed size rounded up to 256.
    const std::size_t step = (packed.size() + 255) / 256 * 256;
    EXPECT_EQ(1 + static_cast<std::size_t>(trace.InflateCalls - 1) * step, trace.PeakCapacity);
}

struct TDamageCase {
    const char* Label;
    std::vector<std::uint8_t> Stream;
};

std::vector<std::uint8_t> Bytes(const std::string& s) {
    return {s.begin(), s.end()};
}

std::string Le32(std::int32_t v) {
    std::string s(4, '\0');
    std::memcpy(s.data(), &v, 4);
    return s;
}

// An entry whose fields are given as raw bytes, so that lengths can lie.
std::string RawEntry(const std::string& name, std::int32_t size, const std::string& data) {
    std::string e(1, static_cast<char>(name.size()));
    e += name;
    e += std::string(8, '\0');
    e += Le32(size);
    e += data;
    return e;
}

std::vector<TDamageCase> DamageCases() {
    const std::string good = RawPayload(
        {{"mrv.exe", std::string(5000, 'm'), 45000.0}, {"License.txt", "licence text", 45000.0}});
    const auto packed = Payload::Deflate(good);
    auto flipped = packed;
    flipped[packed.size() / 2] ^= 0x55;
    auto badAdler = packed;
    badAdler.back() ^= 0x01;
    auto badHeader = packed;
    badHeader[1] = 0xDB; // header check no longer a multiple of 31
    auto Pack = [](const std::string& raw) { return Payload::Deflate(raw); };
    return {
        {"no bytes at all", {}},
        {"not a zlib stream", Bytes("This is not a compressed payload at all.")},
        {"broken header check", badHeader},
        {"only the header", {packed.begin(), packed.begin() + 2}},
        {"cut in the middle", {packed.begin(), packed.begin() + packed.size() / 2}},
        {"checksum cut off", {packed.begin(), packed.end() - 4}},
        {"checksum wrong", badAdler},
        {"flipped byte", flipped},
        {"raw deflate data without the zlib wrapper", {packed.begin() + 2, packed.end() - 4}},
        {"header runs past the end", Pack(good + std::string(5, '\x04'))},
        {"name runs past the end", Pack(good + std::string(1, '\x40') + "short")},
        {"size field cut short", Pack(good + RawEntry("x", 0, "").substr(0, 11))},
        {"data runs past the end by one", Pack(RawEntry("x.txt", 4, "abc"))},
        {"huge size", Pack(RawEntry("x.txt", 0x7FFFFFFF, "abc"))},
        {"negative size", Pack(RawEntry("x.txt", -1, "") + good)},
        {"empty name", Pack(RawEntry("", 1, "a"))},
        {"absolute name", Pack(RawEntry("\\Windows\\win.ini", 1, "a"))},
        {"name with a drive", Pack(RawEntry("C:evil.exe", 1, "a"))},
        {"parent folder", Pack(RawEntry("..\\evil.exe", 1, "a"))},
        {"parent folder inside", Pack(RawEntry("Templates\\..\\..\\evil.exe", 1, "a"))},
        {"parent folder with trailing space", Pack(RawEntry("Templates\\.. \\evil.exe", 1, "a"))},
        {"slash", Pack(RawEntry("Templates/../evil.exe", 1, "a"))},
        {"double backslash", Pack(RawEntry("Templates\\\\evil.exe", 1, "a"))},
        {"trailing backslash", Pack(RawEntry("Templates\\", 0, ""))},
        {"wildcard", Pack(RawEntry("Templates\\*", 1, "a"))},
        {"control character", Pack(RawEntry(std::string("a\nb"), 1, "a"))},
    };
}

TEST(PayloadFormat, DamagedPayloadsAreRefusedWithTheSetupMessage) {
    for (const auto& c : DamageCases()) {
        SCOPED_TRACE(c.Label);
        try {
            std::int32_t size = 0;
            auto block =
                Payload::Inflate(c.Stream.data(), c.Stream.size(), c.Stream.size() * 5, size);
            auto files = Payload::ParseIndex(block.get(), size);
            ADD_FAILURE() << "accepted with " << files.size() << " entries";
        } catch (const EPayloadDamaged& e) {
            EXPECT_EQ(0, std::string(e.what()).rfind("The setup file is damaged: ", 0)) << e.what();
            EXPECT_NE(std::string::npos, std::string(e.what()).find("download the setup again"));
        }
    }
}

TEST(PayloadFormat, NamesThatStayInTheirFolderAreAccepted) {
    for (const char* name : {"mrv.exe", "English (American).dvk", "Templates\\Faxes\\Fax 1.rtf",
                             "Clip Library\\a..b.txt", ".profile", "x\\...x"}) {
        EXPECT_EQ(nullptr, Payload::NameProblem(name)) << name;
    }
    EXPECT_EQ(nullptr, Payload::NameProblem(std::string(255, 'a')));
    EXPECT_NE(nullptr, Payload::NameProblem(std::string(256, 'a')));
}

} // namespace
