#!/usr/bin/env bash
# A product on three diskettes made by mkmedia, installed from the floppy
# drive A: as a user does it: each "Change Disk" prompt is answered by
# putting that diskette in the drive and pressing OK. Each diskette is asked
# for once, and the installed tree is the product tree.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/../mkmedia/product.sh"

mkmedia=${MKMEDIA:-$SETUP_BUILD/host/tools/mkmedia/mkmedia}
dest="$SETUP_BUILD/drives/r/usr"
floppy="$SETUP_BUILD/drives/a"
trap 'wine reg delete "HKLM\Software\Mkmedia Test" /f >/dev/null 2>&1
      rm -rf "$(drive_c)/ProgramData/Microsoft/Windows/Start Menu/Programs/MkTest" "$dest" "${floppy:?}"/*' EXIT
[ -x "$mkmedia" ] || { echo "FAIL: no native mkmedia at $mkmedia (scripts/build makes it)"; exit 1; }

# insert N: diskette N in the drive, the one before taken out.
insert() {
    rm -rf "${floppy:?}"/*
    cp -r "$work/medium/DISK$1"/. "$floppy/"
}

e2e_case three_diskettes_in_drive_a
make_product "$work/product" 800
rm -rf "$dest"
# Diskettes of the builder's default size, 1.44 MB. Disk 1 holds the program
# files and the first sets; each data file of 800 KB is more than half a
# diskette, so no two share one.
"$mkmedia" build "$work/product/setup.inf" -o "$work/medium" --kind floppy --compress \
    --programs "$SETUP_BUILD/bin" -q || fail "mkmedia build"
"$mkmedia" check "$work/medium" || fail "mkmedia check"
disks=$(ls -d "$work/medium"/DISK* | wc -l)
[ "$disks" -ge 3 ] || fail "the product spans $disks diskettes"
insert 1
(cd "$work" && exec wine explorer /desktop=setup,1024x768 cmd /c \
    "cd /d A:\\&& set TMP=$(winpath "$work/tmp")&& A:\\setup.exe /t $(winpath "$work/transcript")" \
    </dev/null >"$work/stdout" 2>&1) &
setup_pid=$!
express_to R:
for n in $(seq 2 "$disks"); do
    prompt=$(wait_for_window "Change Disk" 120) || { fail "no prompt for diskette $n"; break; }
    screenshot "diskette_prompt_$n"
    insert "$n"
    keys "$prompt" Return
    # The same window may stay for a moment; wait until it has gone.
    for _ in $(seq 1 40); do xwininfo -id "$prompt" >/dev/null 2>&1 || break; sleep 0.25; done
done
if finished=$(wait_for_window "Installation Complete" 120); then keys "$finished" Return; fi
finish_setup
expect_status 0
# Each diskette asked for once, in turn.
expected_prompts=$(for n in $(seq 2 "$disks"); do
    printf 'msgbox "Please Insert DISK Labeled %d \\n into Drive A:" "Change Disk" 1 1\n' "$n"; done)
[ "$(grep '"Change Disk"' "$work/transcript")" = "$expected_prompts" ] ||
    fail "the prompts were: $(grep '"Change Disk"' "$work/transcript")"

diff -r --exclude=setup.inf --exclude='uninstall-*' "$work/product" "$dest" >"$work/diff" 2>&1 ||
    fail "the installed tree differs from the product: $(head -n 5 "$work/diff")"
expect_file "$dest/uninstall-Mkmedia Test-MkTest.log"

e2e_done
