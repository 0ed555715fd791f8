// payload_bench inflate PAYLOAD RUNS   the archive's load (inflate + index) against a bare zlib
//                                      loop over the same stream, taking turns, in one process
// payload_bench memory SETUP_EXE       peak working set of the setup on its welcome page against
//                                      a bare Win32 window program, both measured from outside
// payload_bench window                 that bare window program (started by "memory")
#include "engine/AttachFiles.h"
#include "util/ScopedWin.h"

#include <windows.h>

#include <psapi.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

double Now() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

// What any program would do with the stream: one block, inflate until the end, nothing else.
std::size_t BareInflate(const std::string& in) {
    const std::size_t capacity = in.size() * 5;
    auto* out = static_cast<Bytef*>(std::malloc(capacity));
    z_stream zs{};
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    zs.avail_in = static_cast<uInt>(in.size());
    zs.next_out = out;
    zs.avail_out = static_cast<uInt>(capacity);
    inflateInit(&zs);
    while (inflate(&zs, Z_NO_FLUSH) == Z_OK) {
    }
    const std::size_t total = zs.total_out;
    inflateEnd(&zs);
    std::free(out);
    return total;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

int Inflate(const char* path, int runs) {
    std::ifstream file(path, std::ios::binary);
    const std::string stream{std::istreambuf_iterator<char>(file),
                             std::istreambuf_iterator<char>()};
    if (stream.empty()) {
        std::fprintf(stderr, "cannot read %s\n", path);
        return 1;
    }
    std::vector<double> archive, bare;
    std::size_t inflated = 0;
    for (int i = 0; i < runs; ++i) {
        for (int turn = 0; turn < 2; ++turn) {
            if ((i + turn) % 2 == 0) {
                const double t = Now();
                auto* a = new TAttachedFiles(reinterpret_cast<const std::uint8_t*>(stream.data()),
                                             stream.size());
                archive.push_back(Now() - t);
                inflated = static_cast<std::size_t>(a->DataSize);
                delete a; // the release (and its temp-file sweep) is not part of the load
            } else {
                const double t = Now();
                BareInflate(stream);
                bare.push_back(Now() - t);
            }
        }
    }
    const double mb = static_cast<double>(inflated) / 1e6;
    const double a = Median(archive), b = Median(bare);
    std::printf("payload: %zu bytes compressed, %zu inflated, %d runs each, medians\n",
                stream.size(), inflated, runs);
    std::printf("  archive load (inflate + index): %7.2f ms  %6.1f MB/s\n", a * 1e3, mb / a);
    std::printf("  bare zlib inflate loop:         %7.2f ms  %6.1f MB/s\n", b * 1e3, mb / b);
    std::printf("  ratio archive/bare: %.3f (target <= 1.1)\n", a / b);
    return 0;
}

LRESULT CALLBACK BareProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
}

int Window() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = BareProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "PayloadBenchBareWindow";
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(0, wc.lpszClassName, "bare window", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                             CW_USEDEFAULT, CW_USEDEFAULT, 500, 360, nullptr, nullptr, wc.hInstance,
                             nullptr);
    if (!w) return 1;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}

struct TSearch {
    DWORD Pid;
    bool Found;
};

BOOL CALLBACK HasVisibleWindow(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<TSearch*>(p);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == s->Pid && IsWindowVisible(w)) {
        s->Found = true;
        return FALSE;
    }
    return TRUE;
}

// Starts a program, waits until it shows a window and has settled, reads its peak working set.
SIZE_T PeakWorkingSet(std::string commandLine) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &si, &pi))
        return 0;
    win::UniqueHandle process(pi.hProcess), thread(pi.hThread);
    TSearch s{pi.dwProcessId, false};
    for (int i = 0; i < 400 && !s.Found; ++i) {
        Sleep(25);
        EnumWindows(HasVisibleWindow, reinterpret_cast<LPARAM>(&s));
    }
    WaitForInputIdle(process.get(), 5000);
    Sleep(300); // let the first paint finish
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    const SIZE_T peak = s.Found && GetProcessMemoryInfo(process.get(), &pmc, sizeof pmc)
                            ? pmc.PeakWorkingSetSize
                            : 0;
    TerminateProcess(process.get(), 0);
    WaitForSingleObject(process.get(), 10000);
    return peak;
}

int Memory(const char* setup) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const SIZE_T bare = PeakWorkingSet("\"" + std::string(self) + "\" window");
    const SIZE_T wizard = PeakWorkingSet("\"" + std::string(setup) + "\"");
    if (!bare || !wizard) {
        std::printf("peak working set: could not measure (bare %lu, setup %lu)\n",
                    static_cast<unsigned long>(bare), static_cast<unsigned long>(wizard));
        return 1;
    }
    std::printf("peak working set: setup on its welcome page %.1f MB, bare window %.1f MB, "
                "difference %.1f MB\n",
                wizard / 1048576.0, bare / 1048576.0,
                (static_cast<double>(wizard) - static_cast<double>(bare)) / 1048576.0);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "inflate" && argc == 4) return Inflate(argv[2], std::atoi(argv[3]));
    if (mode == "memory" && argc == 3) return Memory(argv[2]);
    if (mode == "window") return Window();
    std::fputs("usage: payload_bench inflate PAYLOAD RUNS | memory SETUP_EXE | window\n", stderr);
    return 2;
}
