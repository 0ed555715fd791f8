// Deterministic file contents for the sample product: text that compresses like text and binary
// data that compresses like program code, dictionaries or sound, all from a seeded generator of
// ours so that every build produces the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class TRandom {
  public:
    explicit TRandom(std::uint64_t seed) : State(seed) {}
    explicit TRandom(std::string_view seedText);
    std::uint64_t Next();
    // 0 .. bound - 1
    std::uint32_t Below(std::uint32_t bound) { return static_cast<std::uint32_t>(Next() % bound); }

  private:
    std::uint64_t State;
};

// Prose of `size` bytes from our word list, in paragraphs with CR LF line ends.
std::string ProseText(TRandom& rng, std::size_t size);
// A word list of `size` bytes, one entry a line, optionally with affix flags ("/SMG").
std::string WordListText(TRandom& rng, std::size_t size, bool flags);
// A rich-text document of about `size` bytes with the given title.
std::string RichText(TRandom& rng, std::string_view title, std::size_t size);
// Binary data of `size` bytes; `repetition` 0..1 sets how much of it repeats earlier runs (more
// repetition compresses better), `alphabet` how many distinct byte values literals favour.
std::string BinaryData(TRandom& rng, std::size_t size, double repetition, unsigned alphabet);
// 16-bit PCM-like samples: a few tones plus noise, which deflate barely shrinks.
std::string SoundData(TRandom& rng, std::size_t size);
