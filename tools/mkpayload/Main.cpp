// mkpayload: the release engineer's tool for the setup's payload.
//   mkpayload pack DIR OUT [--date "YYYY-MM-DD HH:MM:SS" | --date @UNIXSECONDS]
//   mkpayload list FILE      (a payload stream or a built setup executable)
//   mkpayload verify FILE
// Entries are stored in the byte order of their stored names (backslashes, Windows-1252), so
// the same folder always gives the same payload. Dates are local time, as the setup reads them.
#include "engine/PayloadFormat.h"
#include "tools/mkpayload/CodePage.h"
#include "tools/mkpayload/PeResource.h"
#include "util/DateTime.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// A refusal: printed as "mkpayload: <message>", exit code 1.
struct TRefusal : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct TSource {
    std::string Name; // stored name: Windows-1252, backslashes
    std::string Path; // on this machine
    std::int64_t Size = 0;
    std::time_t Modified = 0;
};

constexpr std::int64_t MaxFileSize = std::int64_t{1} << 31; // 2 GiB and more are refused

// The date the setup gives an installed file: local time at the 2-second precision of the file
// systems it compares with.
double LocalDate(std::time_t t) {
    std::tm tm{};
    if (!localtime_r(&t, &tm)) throw TRefusal("cannot convert a file time to local time");
    CalendarTime c;
    c.Year = tm.tm_year + 1900;
    c.Month = tm.tm_mon + 1;
    c.Day = tm.tm_mday;
    c.Hour = tm.tm_hour;
    c.Minute = tm.tm_min;
    c.Second = std::min(tm.tm_sec, 59) & ~1;
    return EncodeDateTime(c);
}

// "@SECONDS" (Unix time, shown in local time) or a local "YYYY-MM-DD[ T]HH:MM[:SS]" /
// "YYYY-MM-DD".
double ParseDate(const std::string& text) {
    if (!text.empty() && text[0] == '@') {
        char* end = nullptr;
        const long long seconds = std::strtoll(text.c_str() + 1, &end, 10);
        if (end == text.c_str() + 1 || *end != '\0') throw TRefusal("bad date: " + text);
        return LocalDate(static_cast<std::time_t>(seconds));
    }
    CalendarTime c;
    char sep = ' ';
    int n = std::sscanf(text.c_str(), "%4d-%2d-%2d%c%2d:%2d:%2d", &c.Year, &c.Month, &c.Day, &sep,
                        &c.Hour, &c.Minute, &c.Second);
    const bool valid = (n == 3 || n == 6 || n == 7) && (sep == ' ' || sep == 'T') && c.Month >= 1 &&
                       c.Month <= 12 && c.Day >= 1 && c.Day <= 31 && c.Hour >= 0 && c.Hour < 24 &&
                       c.Minute >= 0 && c.Minute < 60 && c.Second >= 0 && c.Second < 60 &&
                       c.Year >= 1601;
    if (!valid) throw TRefusal("bad date (use \"YYYY-MM-DD HH:MM:SS\" or @SECONDS): " + text);
    c.Second &= ~1;
    return EncodeDateTime(c);
}

void Collect(const std::string& dir, const std::string& relative, std::vector<TSource>& out) {
    DIR* d = opendir(dir.c_str());
    if (!d) throw TRefusal("cannot read the folder " + dir + ": " + std::strerror(errno));
    std::vector<std::string> names;
    while (const dirent* e = readdir(d)) {
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
            names.emplace_back(e->d_name);
    }
    closedir(d);
    for (const auto& n : names) {
        const std::string path = dir + "/" + n;
        const std::string rel = relative.empty() ? n : relative + "/" + n;
        struct stat st {};
        if (lstat(path.c_str(), &st) != 0)
            throw TRefusal("cannot read " + path + ": " + std::strerror(errno));
        if (S_ISDIR(st.st_mode)) {
            Collect(path, rel, out);
            continue;
        }
        if (!S_ISREG(st.st_mode))
            throw TRefusal(rel + ": not a regular file or folder (links, devices and pipes "
                                 "cannot be packed)");
        if (st.st_size >= MaxFileSize)
            throw TRefusal(rel + ": files of 2 GiB or more cannot be packed");
        const auto stored = Utf8ToCp1252(rel);
        if (!stored)
            throw TRefusal(rel + ": the name cannot be written in the Windows-1252 code page");
        std::string name = *stored;
        if (name.find('\\') != std::string::npos)
            throw TRefusal(rel + ": a backslash inside a file name would split it into folders");
        std::replace(name.begin(), name.end(), '/', '\\');
        if (name.size() > Payload::MaxNameLength)
            throw TRefusal(rel + ": the stored name has " + std::to_string(name.size()) +
                           " bytes; at most 255 fit");
        if (const char* problem = Payload::NameProblem(name)) throw TRefusal(rel + ": " + problem);
        out.push_back({name, path, st.st_size, st.st_mtime});
    }
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw TRefusal("cannot open " + path);
    std::string s((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw TRefusal("cannot read " + path);
    return s;
}

int Pack(const std::string& dir, const std::string& out, std::optional<double> fixedDate) {
    if (!fixedDate) {
        if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"); epoch && *epoch)
            fixedDate = ParseDate(std::string("@") + epoch);
    }
    std::vector<TSource> files;
    Collect(dir, "", files);
    std::sort(files.begin(), files.end(), [](const TSource& a, const TSource& b) {
        return std::lexicographical_compare(
            a.Name.begin(), a.Name.end(), b.Name.begin(), b.Name.end(), [](char x, char y) {
                return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
            });
    });
    std::map<std::string, std::string> folded;
    std::int64_t total = 0;
    for (const auto& f : files) {
        const auto [it, fresh] = folded.emplace(FoldCase1252(f.Name), f.Name);
        if (!fresh)
            throw TRefusal("\"" + Cp1252ToUtf8(f.Name) + "\" and \"" + Cp1252ToUtf8(it->second) +
                           "\" are the same name when case is ignored");
        total += static_cast<std::int64_t>(Payload::EntryOverhead + f.Name.size()) + f.Size;
    }
    if (total > static_cast<std::int64_t>(Payload::MaxInflatedSize))
        throw TRefusal("the product is larger than 2 GiB altogether");

    std::string raw;
    raw.reserve(static_cast<std::size_t>(total));
    for (const auto& f : files) {
        const std::string data = ReadFile(f.Path);
        if (static_cast<std::int64_t>(data.size()) != f.Size)
            throw TRefusal(f.Path + " changed while it was packed");
        Payload::AppendEntry(raw, f.Name, fixedDate ? *fixedDate : LocalDate(f.Modified),
                             data.data(), static_cast<std::int32_t>(data.size()));
    }
    const auto packed = Payload::Deflate(raw);
    const std::string temp = out + ".part";
    {
        std::ofstream o(temp, std::ios::binary | std::ios::trunc);
        o.write(reinterpret_cast<const char*>(packed.data()),
                static_cast<std::streamsize>(packed.size()));
        if (!o.flush()) throw TRefusal("cannot write " + temp);
    }
    if (std::rename(temp.c_str(), out.c_str()) != 0) throw TRefusal("cannot write " + out);
    std::printf("%zu files, %lld bytes, packed into %zu bytes\n", files.size(),
                static_cast<long long>(total), packed.size());
    return 0;
}

// The compressed payload of FILE: the "FILES" resource of a setup executable, or the file.
std::string LoadStream(const std::string& path) {
    std::string bytes = ReadFile(path);
    if (bytes.size() >= 2 && bytes[0] == 'M' && bytes[1] == 'Z') {
        const auto span = FindPeResource(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                         bytes.size(), "FILES", "FILES");
        if (!span) throw TRefusal(path + ": an executable without a \"FILES\" resource");
        return bytes.substr(span->Offset, span->Size);
    }
    return bytes;
}

std::string DateText(double date) {
    if (!std::isfinite(date) || date < -657434 || date > 2958465) return "(invalid date)";
    const CalendarTime c = DecodeDateTime(date);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", c.Year, c.Month, c.Day,
                  c.Hour, c.Minute, c.Second);
    return text;
}

struct TLoaded {
    std::string Stream;
    Payload::TBlock Block;
    std::int32_t Size = 0;
    std::vector<std::unique_ptr<TAttachedFile>> Files;
    Payload::TInflateTrace Trace;
};

// Reads FILE the way the setup does: the same inflate loop, the same index checks.
TLoaded Load(const std::string& path) {
    TLoaded l;
    l.Stream = LoadStream(path);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(l.Stream.data());
    l.Block = Payload::Inflate(bytes, l.Stream.size(), l.Stream.size() * 5, l.Size, &l.Trace);
    l.Files = Payload::ParseIndex(l.Block.get(), l.Size);
    return l;
}

int List(const std::string& path) {
    const TLoaded l = Load(path);
    for (const auto& f : l.Files)
        std::printf("%s %10d  %s\n", DateText(f->Date).c_str(), f->Size,
                    Cp1252ToUtf8(f->Name).c_str());
    return 0;
}

int Verify(const std::string& path) {
    const TLoaded l = Load(path);
    std::vector<std::string> problems;
    const auto* s = reinterpret_cast<const std::uint8_t*>(l.Stream.data());
    if (s[0] != 0x78 || s[1] != 0xDA) problems.push_back("not packed at maximum compression");
    if (l.Trace.TrailingBytes != 0)
        problems.push_back(std::to_string(l.Trace.TrailingBytes) +
                           " bytes follow the end of the compressed stream");
    std::map<std::string, std::string> folded;
    for (const auto& f : l.Files) {
        const std::string shown = Cp1252ToUtf8(f->Name);
        if (const auto [it, fresh] = folded.emplace(FoldCase1252(f->Name), f->Name); !fresh)
            problems.push_back("\"" + shown + "\" repeats \"" + Cp1252ToUtf8(it->second) +
                               "\" when case is ignored");
        if (DateText(f->Date) == "(invalid date)")
            problems.push_back("\"" + shown + "\" has an invalid date");
        else if (DecodeDateTime(f->Date).Second % 2 || DecodeDateTime(f->Date).Millisecond)
            problems.push_back("\"" + shown + "\" has a date that is not on an even second");
    }
    for (const auto& p : problems)
        std::printf("problem: %s\n", p.c_str());
    if (!problems.empty()) return 1;
    std::printf("OK: %zu entries, %d bytes inflated from %zu\n", l.Files.size(), l.Size,
                l.Stream.size());
    return 0;
}

int Usage() {
    std::fputs("usage: mkpayload pack DIR OUT [--date \"YYYY-MM-DD HH:MM:SS\" | --date @SECONDS]\n"
               "       mkpayload list FILE\n"
               "       mkpayload verify FILE\n"
               "FILE is a payload stream or a setup executable with a \"FILES\" resource.\n"
               "Without --date, SOURCE_DATE_EPOCH (when set) fixes every date.\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() >= 3 && args[0] == "pack") {
            std::optional<double> date;
            if (args.size() == 5 && args[3] == "--date")
                date = ParseDate(args[4]);
            else if (args.size() != 3)
                return Usage();
            return Pack(args[1], args[2], date);
        }
        if (args.size() == 2 && args[0] == "list") return List(args[1]);
        if (args.size() == 2 && args[0] == "verify") return Verify(args[1]);
        return Usage();
    } catch (const EPayloadDamaged& e) {
        std::string text = e.what();
        std::replace(text.begin(), text.end(), '\r', ' ');
        std::fprintf(stderr, "mkpayload: %s: %s\n", args[1].c_str(), text.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mkpayload: %s\n", e.what());
    }
    return 1;
}
