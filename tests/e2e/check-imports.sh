#!/bin/sh
# check-imports.sh OBJDUMP EXE: fails when the executable imports a DLL that Windows does not
# always load from its system folder, or a function that Windows 2000 lacks (the program must
# load there to refuse older systems and to run). Wine has them all, so only this sees it.
objdump="$1"; exe="$2"
allowed="kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll oleaut32.dll
comdlg32.dll shlwapi.dll msvcrt.dll comctl32.dll"
# Newer than Windows 2000, and known to come in with the compiler's runtime or by habit.
newer="GetTickCount64 AddVectoredExceptionHandler RemoveVectoredExceptionHandler
GetModuleHandleExA GetModuleHandleExW EncodePointer DecodePointer FlsAlloc FlsGetValue
FlsSetValue FlsFree InitializeSRWLock AcquireSRWLockExclusive AcquireSRWLockShared
ReleaseSRWLockExclusive ReleaseSRWLockShared TryAcquireSRWLockExclusive InitializeConditionVariable
SleepConditionVariableCS SleepConditionVariableSRW WakeConditionVariable WakeAllConditionVariable
InitOnceExecuteOnce InitOnceBeginInitialize InitOnceComplete GetNativeSystemInfo IsWow64Process
SetDllDirectoryA SetDllDirectoryW SetDefaultDllDirectories GetFileInformationByHandleEx
CreateSymbolicLinkA CreateSymbolicLinkW GetLogicalProcessorInformation QueryFullProcessImageNameA
GetErrorMode CancelIoEx GetCurrentProcessorNumber GetSystemTimePreciseAsFileTime
InterlockedCompareExchange64 GetThreadId GetProcessId AttachConsole"
dump=$("$objdump" -p "$exe")
dlls=$(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$dlls" ] || { echo "no imports read from $exe"; exit 1; }
bad=0
for d in $dlls; do
  case " $(echo $allowed) " in
    *" $d "*) echo "ok    $d" ;;
    *) echo "NOT ALLOWED: $d"; bad=1 ;;
  esac
done
functions=$(printf '%s\n' "$dump" | awk 'NF >= 3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ {print $3}')
for f in $(echo $newer); do
  if printf '%s\n' "$functions" | grep -qx "$f"; then
    echo "NEWER THAN WINDOWS 2000: $f"; bad=1
  fi
done
exit $bad
