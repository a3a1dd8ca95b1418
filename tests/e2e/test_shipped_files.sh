#!/usr/bin/env bash
# The three shipped files: 32-bit Windows GUI modules that need nothing but
# the system's DLLs and each other, and setup.exe's version and manifest.
. "$(dirname "$0")/lib.sh"

bin="$SETUP_BUILD/bin"
current_case=shipped_files
echo "--- $current_case"

# Every import must be one that Windows 95 (with msvcrt.dll) and NT 4.0 both
# export, or the loader refuses the module before it runs. The list is the
# review point; the uninstaller's copy is these same files.
allowed=$(grep -v -e '^#' -e '^$' "$(dirname "$0")/allowed_imports.txt" | awk '{print toupper($1), $2}')
launcher="$SETUP_BUILD/launcher/launcher.exe"
for module in setup.exe setuprt.dll mscuistf.dll ../launcher/launcher.exe; do
    headers=$(i686-w64-mingw32-objdump -p "$bin/$module")
    grep -q 'file format pei-i386' <<<"$headers" || fail "$module is not a 32-bit module"
    imports=$(awk '/DLL Name:/ { dll = toupper($3); next }
                   /^\t[0-9a-f]+\t/ && dll != "" { print dll, (NF >= 3 ? $3 : "ordinal " $2) }
                   /^ [0-9a-f]+\t/ { dll = "" }' <<<"$headers")
    [ -n "$imports" ] || fail "no imports read from $module"
    while read -r dll name; do
        fail "$module imports $name from $dll, which is not among the allowed imports"
    done < <(grep -v '^SETUPRT.DLL ' <<<"$imports" | grep -vxF -f <(printf '%s\n' "$allowed"))
done

# The launcher of a one-file medium lies in a download folder beside
# whatever else is there: it imports only known libraries, which the loader
# takes from the system directory alone (user32 it loads itself, later).
libraries=$(i686-w64-mingw32-objdump -p "$launcher" | awk '/DLL Name:/ { print toupper($3) }' | sort | paste -sd' ')
[ "$libraries" = "ADVAPI32.DLL KERNEL32.DLL MSVCRT.DLL" ] || fail "the launcher imports from $libraries"
grep -q 'Subsystem.*(Windows GUI)' <<<"$(i686-w64-mingw32-objdump -p "$launcher")" || fail "the launcher is not a GUI program"

# The three go onto the first diskette of a set beside the script and the
# first files: together at most 600 KB (of 1,000 bytes), as built to ship.
total=0
for module in setup.exe setuprt.dll mscuistf.dll; do
    size=$(stat -c %s "$bin/$module")
    echo "$module: $size bytes"
    total=$((total + size))
done
echo "together: $total bytes"
[ "$total" -le 600000 ] || fail "the program files take $total bytes, more than 600000"

# The launcher stays small beside what it carries: no C++ strings (their
# exception machinery) and one CRC-32, the installer's.
size=$(stat -c %s "$launcher")
echo "launcher.exe: $size bytes"
[ "$size" -le 65536 ] || fail "the launcher takes $size bytes, more than 65536"

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
