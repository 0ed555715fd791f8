// mksample MRV_EXE OUTDIR MANIFEST
// Writes the sample product the setup carries when no real product folder is given: the 303
// files that the component table and the install plan name, with realistic sizes and contents,
// the same bytes on every run. MRV_EXE (the stand-in main program) is copied in as "mrv.exe" and
// padded with an overlay to the size of the real program; the last file takes up the remainder
// so that the inflated payload has the size of the shipped one. MANIFEST lists "size name" of
// every file in payload order, for the tests that compare a built setup with it.
#include "sample/generator/Content.h"
#include "sample/generator/LicenceText.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t MainProgramSize = 3'795'456;
constexpr std::size_t HyphenationSize = 182'700;
constexpr std::size_t InflatedPayloadSize = 4'890'807;
constexpr std::size_t EntryOverhead = 13; // length byte, date, size

struct TFile {
    std::string Name; // stored form, backslashes
    std::string Data;
};

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string MainProgram(const std::string& standIn) {
    if (standIn.size() > MainProgramSize)
        throw std::runtime_error("the stand-in program is larger than the real one");
    // An overlay after the last section: Windows loads only the sections, so the program still
    // runs, and the bytes compress like the code and data of a real program.
    TRandom rng("mrv.exe overlay");
    return standIn + BinaryData(rng, MainProgramSize - standIn.size(), 0.16, 96);
}

void AddSpellChecker(std::vector<TFile>& files) {
    struct TSpell {
        const char* Name;
        std::size_t Size;
        int Kind; // 0 binary dictionary, 1 word list with flags, 2 plain word list
    };
    const TSpell spell[] = {{"English (American).dvk", 131'072, 0},
                            {"English (British).dvk", 126'976, 0},
                            {"english.zlx", 61'440, 1},
                            {"us.zlx", 9'216, 1},
                            {"uk.zlx", 8'704, 1},
                            {"userdicen.tlx", 212, 2},
                            {"English (American).cache", 65'536, 0}};
    for (const auto& s : spell) {
        TRandom rng(s.Name);
        files.push_back({s.Name, s.Kind == 0 ? BinaryData(rng, s.Size, 0.20, 96)
                                             : WordListText(rng, s.Size, s.Kind == 1)});
    }
}

void AddTemplates(std::vector<TFile>& files) {
    const char* names[] = {"Faxes\\Fax 1.rtf",
                           "Faxes\\Fax 2.rtf",
                           "Faxes\\Fax 3.rtf",
                           "Letters\\Business Letter.rtf",
                           "Letters\\Personal Letter.rtf",
                           "Letters\\Cover Letter.rtf",
                           "Letters\\Letterhead.rtf",
                           "Memos\\Memo 1.rtf",
                           "Memos\\Memo 2.rtf",
                           "Reports\\Report.rtf",
                           "Reports\\Thesis.rtf",
                           "Reports\\Manual.rtf",
                           "Resumes\\Resume 1.rtf",
                           "Resumes\\Resume 2.rtf",
                           "Agenda.rtf",
                           "Brochure.rtf",
                           "Invoice.rtf",
                           "Newsletter.rtf",
                           "Normal.rtf"};
    static_assert(std::size(names) == 19);
    for (const char* n : names) {
        TRandom rng(n);
        std::string title = fs::path(n).stem().string();
        title = title.substr(title.find('\\') + 1);
        files.push_back(
            {std::string("Templates\\") + n, RichText(rng, title, 3'000 + rng.Below(9'000))});
    }
}

void AddClipLibrary(std::vector<TFile>& files) {
    const char* topics[] = {"Announcements", "Apologies",  "Business",     "Closings",
                            "Greetings",     "Holidays",   "Instructions", "Invitations",
                            "Legal",         "Quotations", "Reminders",    "Sympathy",
                            "Thanks"};
    static_assert(std::size(topics) * 21 == 273);
    for (const char* topic : topics) {
        for (int i = 1; i <= 21; ++i) {
            char name[96];
            std::snprintf(name, sizeof name, "Clip Library\\%s\\%s %02d.txt", topic, topic, i);
            TRandom rng(name);
            files.push_back({name, ProseText(rng, 180 + rng.Below(700))});
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs("usage: mksample MRV_EXE OUTDIR MANIFEST\n", stderr);
        return 2;
    }
    try {
        std::vector<TFile> files;
        files.push_back({"mrv.exe", MainProgram(ReadAll(argv[1]))});
        files.push_back({"License.txt", LicenceText});
        AddSpellChecker(files);
        {
            TRandom rng("Hyphenation.dat");
            files.push_back({"Hyphenation.dat", BinaryData(rng, HyphenationSize, 0.25, 64)});
        }
        AddTemplates(files);
        AddClipLibrary(files);

        std::size_t used = 0;
        for (const auto& f : files)
            used += EntryOverhead + f.Name.size() + f.Data.size();
        const std::string last = "Basic.wmq";
        if (used + EntryOverhead + last.size() >= InflatedPayloadSize)
            throw std::runtime_error("the sample product outgrew the payload size");
        TRandom rng(last);
        files.push_back(
            {last, SoundData(rng, InflatedPayloadSize - used - EntryOverhead - last.size())});

        const fs::path out = argv[2];
        if (out.empty() || out == out.root_path())
            throw std::runtime_error("refusing to replace " + out.string());
        fs::remove_all(out); // no file of an earlier run may slip into the payload
        for (const auto& f : files) {
            std::string rel = f.Name;
            std::replace(rel.begin(), rel.end(), '\\', '/');
            const fs::path path = out / rel;
            fs::create_directories(path.parent_path());
            std::ofstream o(path, std::ios::binary);
            o.write(f.Data.data(), static_cast<std::streamsize>(f.Data.size()));
            if (!o.flush()) throw std::runtime_error("cannot write " + path.string());
        }

        std::sort(files.begin(), files.end(), [](const TFile& a, const TFile& b) {
            return std::lexicographical_compare(
                a.Name.begin(), a.Name.end(), b.Name.begin(), b.Name.end(), [](char x, char y) {
                    return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
                });
        });
        std::ofstream manifest(argv[3], std::ios::binary);
        for (const auto& f : files)
            manifest << f.Data.size() << ' ' << f.Name << '\n';
        if (!manifest.flush()) throw std::runtime_error(std::string("cannot write ") + argv[3]);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mksample: %s\n", e.what());
        return 1;
    }
}
