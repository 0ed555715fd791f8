#!/bin/sh
# check-imports.sh OBJDUMP EXE: fails when the executable imports a DLL that Windows does not
# always load from its system folder.
objdump="$1"; exe="$2"
allowed="kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll oleaut32.dll
comdlg32.dll shlwapi.dll msvcrt.dll comctl32.dll"
dlls=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$dlls" ] || { echo "no imports read from $exe"; exit 1; }
bad=0
for d in $dlls; do
  case " $(echo $allowed) " in
    *" $d "*) echo "ok    $d" ;;
    *) echo "NOT ALLOWED: $d"; bad=1 ;;
  esac
done
exit $bad
