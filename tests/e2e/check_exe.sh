#!/usr/bin/env bash
# Checks the shipping exe: a PE32 GUI program for i686 that imports only Windows
# system DLLs (the C and C++ runtimes are linked in).
set -euo pipefail
exe="$1"
[ -f "$exe" ] || { echo "check_exe: $exe is missing"; exit 1; }
headers=$(i686-w64-mingw32-objdump -f -p "$exe")
grep -q "file format pei-i386" <<<"$headers" || { echo "check_exe: not a PE32 i386 image"; exit 1; }
grep -Eq "^Subsystem[[:space:]]+0*2[[:space:]]" <<<"$headers" || { echo "check_exe: not a GUI subsystem exe"; exit 1; }
allowed='^(kernel32|user32|gdi32|shell32|ole32|oleaut32|advapi32|comctl32|wininet|msvcrt|ws2_32|uxtheme|msimg32|shlwapi|comdlg32|version|imm32|winmm|setupapi|rpcrt4|bcrypt|crypt32|secur32)\.dll$'
bad=0
while read -r dll; do
  if ! grep -Eqi "$allowed" <<<"$dll"; then echo "check_exe: imports non-system DLL $dll"; bad=1; fi
done < <(grep "DLL Name:" <<<"$headers" | awk '{print $3}')
[ $bad -eq 0 ] || exit 1
echo "check_exe: $(basename "$exe") is PE32 GUI i386, imports: $(grep 'DLL Name:' <<<"$headers" | awk '{print $3}' | tr '\n' ' ')"
