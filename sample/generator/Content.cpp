#include "sample/generator/Content.h"

#include <array>
#include <cmath>
#include <iterator>

namespace {

constexpr std::string_view Words[] = {"the",       "of",         "and",        "to",
                                      "in",        "a",          "is",         "that",
                                      "for",       "it",         "as",         "was",
                                      "with",      "be",         "by",         "on",
                                      "not",       "he",         "this",       "are",
                                      "or",        "his",        "from",       "at",
                                      "which",     "but",        "have",       "an",
                                      "had",       "they",       "you",        "were",
                                      "their",     "one",        "all",        "we",
                                      "can",       "her",        "has",        "there",
                                      "been",      "if",         "more",       "when",
                                      "will",      "would",      "who",        "so",
                                      "no",        "document",   "letter",     "page",
                                      "paragraph", "heading",    "table",      "column",
                                      "margin",    "printer",    "font",       "style",
                                      "section",   "chapter",    "footnote",   "template",
                                      "meeting",   "report",     "office",     "customer",
                                      "invoice",   "order",      "delivery",   "account",
                                      "payment",   "project",    "schedule",   "budget",
                                      "quarter",   "summary",    "proposal",   "contract",
                                      "agreement", "service",    "product",    "quality",
                                      "company",   "manager",    "department", "team",
                                      "member",    "colleague",  "friend",     "family",
                                      "holiday",   "weekend",    "morning",    "evening",
                                      "afternoon", "week",       "month",      "year",
                                      "today",     "tomorrow",   "yesterday",  "soon",
                                      "later",     "please",     "thank",      "kind",
                                      "regards",   "sincerely",  "dear",       "best",
                                      "wishes",    "happy",      "birthday",   "congratulations",
                                      "welcome",   "invitation", "celebrate",  "join",
                                      "attend",    "confirm",    "reply",      "request",
                                      "inform",    "announce",   "remind",     "review",
                                      "approve",   "prepare",    "complete",   "update",
                                      "change",    "include",    "attach",     "send",
                                      "receive",   "write",      "read",       "print",
                                      "save",      "open",       "close",      "begin",
                                      "finish",    "continue",   "important",  "new",
                                      "old",       "good",       "great",      "small",
                                      "large",     "early",      "late",       "final",
                                      "first",     "second",     "third",      "last",
                                      "next",      "previous",   "following",  "attached",
                                      "enclosed",  "current",    "annual",     "monthly",
                                      "weekly",    "daily",      "local",      "public",
                                      "private",   "personal",   "business",   "formal",
                                      "informal",  "short",      "long",       "clear",
                                      "simple",    "careful",    "quick",      "slow",
                                      "warm",      "cold",       "bright",     "quiet",
                                      "garden",    "river",      "city",       "village",
                                      "school",    "library",    "museum",     "station",
                                      "journey",   "travel",     "hotel",      "dinner",
                                      "lunch",     "coffee",     "music",      "picture",
                                      "story",     "question",   "answer",     "reason",
                                      "result",    "example",    "number",     "address",
                                      "telephone", "message",    "notice",     "note",
                                      "idea",      "plan",       "time",       "day",
                                      "way",       "people",     "world",      "place",
                                      "work",      "life",       "hand",       "part",
                                      "point",     "case",       "group",      "problem",
                                      "fact",      "however",    "therefore",  "also",
                                      "again",     "always",     "never",      "often",
                                      "usually",   "perhaps",    "certainly",  "together",
                                      "about"};

constexpr std::array<std::string_view, 12> Affixes = {"/S",  "/SM", "/SMG", "/D",  "/DG", "/RS",
                                                      "/MS", "/Y",  "/LY",  "/NS", "/GS", "/DSG"};

std::string_view Word(TRandom& rng) {
    // Short common words come first in the list; favour them as real text does.
    const auto count = static_cast<std::uint32_t>(std::size(Words));
    const std::uint32_t a = rng.Below(count);
    const std::uint32_t b = rng.Below(count);
    return Words[a < b ? a : b];
}

} // namespace

TRandom::TRandom(std::string_view seedText) : State(1469598103934665603ull) {
    for (const char c : seedText)
        State = (State ^ static_cast<unsigned char>(c)) * 1099511628211ull;
}

std::uint64_t TRandom::Next() {
    // splitmix64: small, fast and the same everywhere.
    std::uint64_t z = (State += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::string ProseText(TRandom& rng, std::size_t size) {
    std::string out;
    std::size_t lineStart = 0;
    while (out.size() < size) {
        const std::uint32_t sentences = 2 + rng.Below(5);
        for (std::uint32_t s = 0; s < sentences; ++s) {
            const std::uint32_t count = 5 + rng.Below(14);
            for (std::uint32_t w = 0; w < count; ++w) {
                std::string word(Word(rng));
                if (w == 0) word[0] = static_cast<char>(word[0] - 'a' + 'A');
                if (out.size() - lineStart + word.size() > 72) {
                    out += "\r\n";
                    lineStart = out.size();
                } else if (out.size() != lineStart) {
                    out += ' ';
                }
                out += word;
                if (w + 1 < count && rng.Below(9) == 0) out += ',';
            }
            out += rng.Below(8) == 0 ? '?' : '.';
        }
        out += "\r\n\r\n";
        lineStart = out.size();
    }
    out.resize(size);
    return out;
}

std::string WordListText(TRandom& rng, std::size_t size, bool flags) {
    std::string out;
    while (out.size() < size) {
        std::string word(Word(rng));
        // Compounds and variants, so that the list is not a few words repeated.
        if (rng.Below(3) == 0) word += Word(rng);
        if (rng.Below(4) == 0) word += "ing";
        out += word;
        if (flags) out += Affixes[rng.Below(Affixes.size())];
        out += "\r\n";
    }
    out.resize(size);
    return out;
}

std::string RichText(TRandom& rng, std::string_view title, std::size_t size) {
    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}"
                      "{\\f1\\fswiss Arial;}}\r\n{\\colortbl;\\red0\\green0\\blue0;"
                      "\\red31\\green73\\blue125;}\r\n\\paperw11906\\paperh16838\\margl1417"
                      "\\margr1417\\margt1417\\margb1134\r\n";
    out += "\\pard\\sb240\\sa120\\f1\\fs32\\cf2\\b ";
    out += title;
    out += "\\b0\\par\r\n";
    const std::string closing = "}\r\n";
    while (out.size() + closing.size() < size) {
        const bool heading = rng.Below(6) == 0;
        out += heading ? "\\pard\\sb240\\sa60\\f1\\fs26\\b " : "\\pard\\sa120\\f0\\fs24 ";
        out += ProseText(rng, heading ? 20 + rng.Below(30) : 200 + rng.Below(600));
        out += heading ? "\\b0\\par\r\n" : "\\par\r\n";
    }
    out.resize(size - closing.size());
    out += closing;
    return out;
}

std::string BinaryData(TRandom& rng, std::size_t size, double repetition, unsigned alphabet) {
    std::string out;
    out.reserve(size);
    // Literals favour a small set of byte values, as opcodes and small numbers do in code.
    std::array<unsigned char, 256> favourite{};
    for (auto& f : favourite)
        f = static_cast<unsigned char>(rng.Below(256));
    const auto copyChance = static_cast<std::uint32_t>(repetition * 1000);
    while (out.size() < size) {
        if (out.size() > 64 && rng.Below(1000) < copyChance) {
            const std::size_t window = out.size() < 32768 ? out.size() : 32768;
            const std::size_t from = out.size() - 1 - rng.Below(static_cast<std::uint32_t>(window));
            const std::size_t length = 3 + rng.Below(28);
            for (std::size_t i = 0; i < length; ++i)
                out.push_back(out[from + i]); // may overlap, like an LZ77 match
        } else {
            const std::uint32_t length = 1 + rng.Below(6);
            for (std::uint32_t i = 0; i < length; ++i) {
                const std::uint32_t kind = rng.Below(10);
                if (kind < 2)
                    out.push_back('\0');
                else if (kind < 8)
                    out.push_back(static_cast<char>(favourite[rng.Below(alphabet)]));
                else
                    out.push_back(static_cast<char>(rng.Below(256)));
            }
        }
    }
    out.resize(size);
    return out;
}

std::string SoundData(TRandom& rng, std::size_t size) {
    std::string out;
    out.reserve(size + 1);
    const double tone1 = 0.01 + rng.Below(100) / 5000.0, tone2 = 0.05 + rng.Below(100) / 3000.0;
    for (std::size_t i = 0; out.size() < size; ++i) {
        const double t = static_cast<double>(i);
        const double envelope = std::exp(-static_cast<double>(i % 22050) / 6000.0);
        const double v = envelope * (9000 * std::sin(t * tone1) + 4000 * std::sin(t * tone2)) +
                         static_cast<double>(static_cast<int>(rng.Below(1200)) - 600);
        const auto sample = static_cast<std::int16_t>(v);
        out.push_back(static_cast<char>(sample & 0xFF));
        out.push_back(static_cast<char>((sample >> 8) & 0xFF));
    }
    out.resize(size);
    return out;
}
