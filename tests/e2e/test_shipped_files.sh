#!/usr/bin/env bash
# The three shipped files: 32-bit Windows GUI modules that need nothing but
# the system's DLLs and each other, and setup.exe's version and manifest.
. "$(dirname "$0")/lib.sh"

bin="$SETUP_BUILD/bin"
current_case=shipped_files
echo "--- $current_case"

for module in setup.exe setuprt.dll mscuistf.dll; do
    headers=$(i686-w64-mingw32-objdump -p "$bin/$module")
    grep -q 'file format pei-i386' <<<"$headers" || fail "$module is not a 32-bit module"
    imports=$(awk '/DLL Name:/ {print tolower($3)}' <<<"$headers" | sort -u | tr '\n' ' ')
    for dll in $imports; do
        case $dll in
            advapi32.dll|comctl32.dll|gdi32.dll|kernel32.dll|msvcrt.dll|ole32.dll|shell32.dll|user32.dll|version.dll|setuprt.dll) ;;
            *) fail "$module needs $dll, which a medium does not carry" ;;
        esac
    done
done

grep -q 'Subsystem.*(Windows GUI)' <<<"$(i686-w64-mingw32-objdump -p "$bin/setup.exe")" ||
    fail "setup.exe is not a GUI program"
texts=$(strings -el "$bin/setup.exe")
grep -A1 -x 'ProductName' <<<"$texts" | grep -qx 'Quorvane/32' || fail "setup.exe has no product name Quorvane/32"
grep -A1 -x 'FileDescription' <<<"$texts" | grep -qx 'Quorvane/32 2.0 Installation' || fail "no file description"
manifest=$(strings "$bin/setup.exe")
grep -q 'requestedExecutionLevel level="requireAdministrator"' <<<"$manifest" || fail "no request for administrator rights"
grep -q 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' <<<"$manifest" || fail "no common controls 6"
grep -q 'supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"' <<<"$manifest" || fail "current Windows not declared"

e2e_done
