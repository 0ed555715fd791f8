// The runtime's static thread library calls kernel functions that Windows 2000 lacks
// (GetTickCount64 came with Vista, the vectored exception handlers with XP). A static import of
// any of them keeps the program from loading at all on those systems, before it could run, let
// alone refuse an old Windows politely. The library reaches them through import pointers; the
// program defines those pointers itself, so the linker takes no import from kernel32, and each
// call looks the function up at run time, with a stand-in where the system has none.
#include <windows.h>

#include <atomic>
#include <cstdint>

namespace {

template <typename Fn> Fn KernelFunction(const char* name) {
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const FARPROC found = kernel ? GetProcAddress(kernel, name) : nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(found));
}

// GetTickCount extended past its 49.7-day wrap.
ULONGLONG WINAPI TickCount64StandIn() {
    static std::atomic<std::uint64_t> last{0};
    std::uint64_t seen = last.load();
    for (;;) {
        std::uint64_t now = (seen & ~0xFFFFFFFFull) | GetTickCount();
        if (now < seen) now += 0x100000000ull;
        if (last.compare_exchange_weak(seen, now)) return now;
    }
}

ULONGLONG WINAPI TickCount64() {
    using Fn = ULONGLONG(WINAPI*)();
    static const Fn system = KernelFunction<Fn>("GetTickCount64");
    return system ? system() : TickCount64StandIn();
}

// Without vectored handlers the library simply installs none.
PVOID WINAPI AddVectoredHandler(ULONG first, PVECTORED_EXCEPTION_HANDLER handler) {
    using Fn = PVOID(WINAPI*)(ULONG, PVECTORED_EXCEPTION_HANDLER);
    static const Fn system = KernelFunction<Fn>("AddVectoredExceptionHandler");
    return system ? system(first, handler) : nullptr;
}

ULONG WINAPI RemoveVectoredHandler(PVOID handle) {
    using Fn = ULONG(WINAPI*)(PVOID);
    static const Fn system = KernelFunction<Fn>("RemoveVectoredExceptionHandler");
    return system && handle ? system(handle) : 0;
}

} // namespace

extern "C" {
ULONGLONG(WINAPI* ImportGetTickCount64)() __asm__("__imp__GetTickCount64@0") = TickCount64;
PVOID(WINAPI* ImportAddVectoredExceptionHandler)
(ULONG,
 PVECTORED_EXCEPTION_HANDLER) __asm__("__imp__AddVectoredExceptionHandler@8") = AddVectoredHandler;
ULONG(WINAPI* ImportRemoveVectoredExceptionHandler)
(PVOID) __asm__("__imp__RemoveVectoredExceptionHandler@4") = RemoveVectoredHandler;
}
