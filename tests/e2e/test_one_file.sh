#!/usr/bin/env bash
# The one-file medium (mkmedia build --kind exe): it installs as its
# directory medium does on both families and on 64-bit Windows; no library
# planted beside it loads; TMP holds nothing of it after any ending; a
# killed run's directory goes with the next run, but no directory in use nor
# one it did not make; a damaged or foreign archive is refused before
# anything happens.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/../mkmedia/product.sh"

mkmedia=${MKMEDIA:-$SETUP_BUILD/host/tools/mkmedia/mkmedia}
[ -x "$mkmedia" ] || { echo "FAIL: no native mkmedia at $mkmedia (scripts/build makes it)"; exit 1; }
dest="$SETUP_BUILD/drives/r/usr"
clean_prefix() {
    wine reg delete 'HKLM\Software\Mkmedia Test' /f >/dev/null 2>&1
    rm -rf "$(drive_c)/ProgramData/Microsoft/Windows/Start Menu/Programs/MkTest" "$dest"
}
trap clean_prefix EXIT
install_answers='dialog 100 CONTINUE
dialog 300 CONTINUE EditTextOut=R:
dialog 800 CONTINUE ButtonChecked=1
dialog 700 CONTINUE'

# one_file [ARGS...]: the product in $work/product (with the vendor's name
# and banner when BRANDED is set) and its one-file medium
# $work/download/product-setup.exe.
one_file() {
    make_product "$work/product"
    [ -z "${BRANDED:-}" ] || brand_product "$work/product"
    mkdir -p "$work/download"
    "$mkmedia" build "$work/product/setup.inf" -o "$work/download/product-setup.exe" --kind exe \
        --programs "$SETUP_BUILD/bin" -q "$@" 2>"$work/build.err" || fail "build: $(cat "$work/build.err")"
}

# run_one_file PROGRAM [ARGS...]: runs PROGRAM (a Linux path) from its own
# directory with TMP=$work/tmp, $work/answers if there is one (else /q) and
# the transcript; status and $work/stdout.
run_one_file() {
    local program=$1 answers=/q args=""
    shift
    [ ! -f "$work/answers" ] || answers="/a $(winpath "$work/answers")"
    [ $# -eq 0 ] || args=" $*"
    rm -f "$work/transcript" "$work/w95layer.log"
    (cd "$(dirname "$program")" && W95_LAYER_LOG=$(winpath "$work/w95layer.log") timeout "${SETUP_TIMEOUT:-120}" wine cmd /c \
        "set TMP=$(winpath "$work/tmp")&& $(basename "$program") $answers /t $(winpath "$work/transcript")$args" \
        </dev/null >"$work/stdout" 2>&1)
    status=$?
    [ "$status" -ne 124 ] || wineserver -k 2>/dev/null
}

expect_installed() {
    diff -r --exclude=setup.inf --exclude=art --exclude='uninstall-Mkmedia Test-MkTest*' "$work/product" "$dest" >"$work/diff" 2>&1 ||
        fail "the installed tree differs from the product: $(head -n 5 "$work/diff")"
}
expect_tmp_clean() { [ -z "$(ls -A "$work/tmp")" ] || fail "left in TMP: $(ls -A "$work/tmp")"; }
# expect_refused REASON: the run stopped at once with the launcher's one
# message, naming REASON, and left nothing.
expect_refused() {
    expect_clean_end 2
    expect_line "msgbox \"This installation program is damaged or incomplete ($1). Download it again.\" \"Setup\" 16 1"
    [ "$(wc -l <"$work/transcript" 2>/dev/null)" = 1 ] || fail "more than the message: $(cat "$work/transcript")"
    expect_tmp_clean
}
# flip FILE OFFSET: one byte changed; a negative offset counts from the end.
flip() {
    python3 -c 'import sys; b = bytearray(open(sys.argv[1], "rb").read()); b[int(sys.argv[2])] ^= 0xFF
open(sys.argv[1], "wb").write(b)' "$1" "$2"
}
# entry_data FILE NAME: the offset of the first data byte of entry NAME.
entry_data() {
    python3 -c 'import sys, zipfile
z = zipfile.ZipFile(sys.argv[1]); i = z.getinfo(sys.argv[2]); f = open(sys.argv[1], "rb")
f.seek(i.header_offset + 26); n = int.from_bytes(f.read(2), "little") + int.from_bytes(f.read(2), "little")
print(i.header_offset + 30 + n)' "$1" "$2"
}

for family in nt w95 win64; do
    [ "$family" != win64 ] || [ "$nt_prefix" = nt ] || continue
    e2e_case "one_file_installs_as_its_directory_medium_$family" "$family"
    clean_prefix
    # The banner is read from the archive: setup.exe stops before its first
    # dialog when it cannot have it.
    BRANDED=$([ "$family" != nt ] || echo 1) one_file
    unzip -l "$work/download/product-setup.exe" >"$work/listing" 2>&1 || fail "unzip -l: $(cat "$work/listing")"
    for name in setup.exe setuprt.dll mscuistf.dll setup.inf bin/qv.exe doc/parts.csv doc/empty.txt; do
        grep -q " $name\$" "$work/listing" || fail "unzip -l lists no $name"
    done
    7z l "$work/download/product-setup.exe" >"$work/7z" 2>&1 || fail "7z l: $(tail -n 3 "$work/7z")"
    printf '%s\n' "$install_answers" >"$work/answers"
    run_one_file "$work/download/product-setup.exe"
    expect_clean_end 0
    [ "$family" != nt ] || expect_line 'product "Pinecone Notes 3.1"'
    [ "$family" != w95 ] || expect_95_family_limits
    expect_installed
    expect_tmp_clean
    # What was downloaded may go: the uninstaller's copy works without it.
    rm -f "$work/download/product-setup.exe"
    rm -f "$work/answers"
    (cd "$work" && timeout 120 wine "$dest/uninstall-Mkmedia Test-MkTest/setup.exe" /q \
        /u 'R:\usr\uninstall-Mkmedia Test-MkTest.log' </dev/null >"$work/stdout" 2>&1)
    status=$?
    expect_clean_end 0
    [ ! -e "$dest/bin/qv.exe" ] || fail "the uninstallation left bin/qv.exe"
done

# A library planted beside the download under each name a program or the
# system's libraries might look for there, preferred to the system's own
# as Windows prefers a program's folder: none may load, into the launcher
# or into setup.exe. The naive program beside them shows that they would.
e2e_case planted_libraries_never_load
clean_prefix
one_file
planted=(version uxtheme dwmapi winmm cryptbase userenv msimg32 profapi secur32 iphlpapi dbghelp propsys
    netapi32 shfolder wininet comctl32 riched20 msftedit mpr)
for name in "${planted[@]}"; do cp "$SETUP_BUILD/tests/e2e/planted.dll" "$work/download/$name.dll"; done
cp "$SETUP_BUILD/tests/e2e/naive_program.exe" "$work/download/"
native_first="$(IFS=,; echo "${planted[*]}")=n,b"
printf '%s\n' "$install_answers" >"$work/answers"
WINEDLLOVERRIDES="mscoree,mshtml=;$native_first" run_one_file "$work/download/product-setup.exe"
expect_clean_end 0
expect_installed
loaded=$(cd "$work/download" && ls *.loaded 2>/dev/null)
[ -z "$loaded" ] || fail "planted libraries loaded: $loaded"
rm -f "$work/answers"
WINEDLLOVERRIDES="mscoree,mshtml=;$native_first" run_one_file "$work/download/product-setup.exe" /x
expect_refused_start=$(cd "$work/download" && ls *.loaded 2>/dev/null)
[ -z "$expect_refused_start" ] || fail "planted libraries loaded by a refused start: $expect_refused_start"
(cd "$work/download" && WINEDLLOVERRIDES="mscoree,mshtml=;$native_first" timeout 60 wine naive_program.exe \
    >/dev/null 2>&1)
ls "$work/download" | grep -qix 'version.dll.loaded' || fail "the naive program did not load the planted version.dll"

# TMP holds nothing of the launcher after a quit, a fatal stop (an entry
# of the payload damaged in the archive) and an option setup.exe refuses;
# the exit code is setup.exe's.
e2e_case tmp_clean_after_every_ending
clean_prefix
one_file
printf 'dialog 100 EXIT\ndialog 200 EXIT\n' >"$work/answers"
run_one_file "$work/download/product-setup.exe"
expect_clean_end 0
expect_line 'dialog 200 EXIT'
expect_tmp_clean
rm -f "$work/answers"
run_one_file "$work/download/product-setup.exe" /x
expect_clean_end 2
expect_tmp_clean
# Files made absolute would take setup.exe's command line past what a
# program can be given: refused whole, never passed on cut.
run_one_file "$work/download/product-setup.exe" $(printf '/u x %.0s' $(seq 1500))
expect_clean_end 2
expect_line 'msgbox "Setup cannot be started: its command line is too long (system error 206)." "Setup" 16 1'
expect_tmp_clean
flip "$work/download/product-setup.exe" "$(entry_data "$work/download/product-setup.exe" doc/parts.csv)"
printf '%s\nmsgbox OK\n' "$(head -n 3 <<<"$install_answers")" >"$work/answers"
run_one_file "$work/download/product-setup.exe"
[ "$status" -ne 0 ] || fail "a damaged entry installed with exit code 0"
grep -qF "$(as_transcript 'The file doc\parts.csv in the installation program is damaged')" "$work/transcript" ||
    fail "the stop does not name doc\\parts.csv: $(tail -n 2 "$work/transcript")"
expect_tmp_clean

# A damaged or foreign archive, or one whose entry would leave its place,
# is refused before anything is unpacked or shown.
e2e_case refused_archives
clean_prefix
one_file
launcher="$SETUP_BUILD/launcher/launcher.exe"
good="$work/download/product-setup.exe"
size=$(stat -c %s "$good")
head -c $((size - 10)) "$good" >"$work/download/cut-end.exe"
head -c $((size / 2)) "$good" >"$work/download/cut-half.exe"
cp "$launcher" "$work/download/bare.exe"
# appended NAME ENTRY...: the launcher with a ZIP of these entries (each
# holding its own name) behind it.
appended() {
    local out="$work/download/$1"
    shift
    python3 -c 'import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED) as z:
    for name in sys.argv[2:]: z.writestr(name, name)' "$work/archive.zip" "$@"
    cat "$launcher" "$work/archive.zip" >"$out"
}
cp "$good" "$work/download/damaged-start.exe"
flip "$work/download/damaged-start.exe" "$(entry_data "$good" setup.inf)"
appended foreign.exe readme.txt setup.exe
appended climbing.exe setup.exe setuprt.dll mscuistf.dll setup.inf ../escaped.txt
appended rooted.exe setup.exe setuprt.dll mscuistf.dll setup.inf /rooted.txt
for program in cut-end cut-half bare damaged-start foreign climbing rooted; do
    run_one_file "$work/download/$program.exe"
    current_case="refused_archives/$program"
    case $program in
    cut-* | bare) expect_refused "the file is not an archive, or it is cut short" ;;
    damaged-start) expect_refused "an entry's compressed data are damaged: setup.inf" ;;
    foreign) expect_refused "its file setuprt.dll is missing" ;;
    climbing) expect_refused "an entry's name leaves the medium's folder: ../escaped.txt" ;;
    rooted) expect_refused "an entry's name leaves the medium's folder: /rooted.txt" ;;
    esac
done
current_case=refused_archives
[ ! -e "$work/escaped.txt" ] && [ ! -e /rooted.txt ] || fail "an entry was written outside its place"
[ ! -e "$dest" ] || fail "something was installed"

# A killed run (the launcher and setup.exe) leaves its directory; the next
# run removes it, but neither a directory in use nor one it did not make,
# nor what a link of its name leads to.
e2e_case killed_run_removed_by_the_next
clean_prefix
one_file
rm -f "$work/answers"
(cd "$work/download" && exec timeout 120 wine cmd /c "set TMP=$(winpath "$work/tmp")&& product-setup.exe" \
    </dev/null >"$work/stdout" 2>&1) &
runner=$!
for _ in $(seq 1 300); do
    compgen -G "$work/tmp/qsetup-*/setup.inf" >/dev/null && pgrep -f 'qsetup-.*setup\.exe' >/dev/null && break
    sleep 0.1
done
left=$(compgen -G "$work/tmp/qsetup-*" | head -n 1)
[ -n "$left" ] || fail "the run made no directory under TMP"
# Each process of this run by its id, the launcher and setup.exe: those of
# this prefix only.
killed=()
for pid in $(pgrep -f "product-setup\.exe|${left##*/}.*setup\.exe"); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && kill -9 "$pid" && killed+=("$pid")
done
wait "$runner" 2>/dev/null
# Not the whole prefix: the desktop process a killed window leaves may stay.
for pid in "${killed[@]}"; do
    for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
done
[ -d "$left" ] || fail "the killed run's directory is already gone"
# The NT family: no other account may use the directory, whatever TMP
# allows. Wine keeps no DACL on this file system: it maps the one given to
# the mode bits, where a directory made without one has 755.
case $(stat -c %A "$left") in d??????---) ;; *) fail "others may use the private directory: $(stat -c %A "$left")" ;; esac
not_ours="$work/tmp/qsetup-0123456789abcdef"
mkdir -p "$not_ours" && echo mine >"$not_ours/notes.txt"
in_use="$work/tmp/qsetup-fedcba9876543210"
mkdir -p "$in_use" && cp "$left/launcher.mark" "$left/setup.inf" "$in_use/" && : >"$in_use/run.lock"
mkdir -p "$work/elsewhere" && cp "$left/launcher.mark" "$work/elsewhere/" && echo keep >"$work/elsewhere/keep.txt"
ln -s "$work/elsewhere" "$work/tmp/qsetup-00000000deadbeef"
wine "$SETUP_BUILD/tests/e2e/hold_file.exe" "$(winpath "$in_use/run.lock")" 60 >"$work/held" 2>/dev/null &
holder=$!
for _ in $(seq 1 100); do grep -qs holding "$work/held" && break; sleep 0.1; done
grep -q holding "$work/held" || fail "could not hold the lock"
other_name="$work/tmp/qsetup-mine"
mkdir -p "$other_name" && cp "$left/launcher.mark" "$other_name/"
# The leftovers go before setup.exe starts, which then refuses the option.
run_one_file "$work/download/product-setup.exe" /x
expect_clean_end 2
[ ! -e "$left" ] || fail "the killed run's directory stays: $(ls -A "$left")"
[ -f "$other_name/launcher.mark" ] || fail "a directory of another name was removed"
[ -f "$not_ours/notes.txt" ] || fail "a directory the launcher did not make was removed"
[ -f "$in_use/setup.inf" ] && [ -f "$in_use/launcher.mark" ] || fail "a directory in use was emptied"
[ -f "$work/elsewhere/keep.txt" ] && [ -f "$work/elsewhere/launcher.mark" ] || fail "a link was followed"
kill "$holder" 2>/dev/null
wait "$holder" 2>/dev/null

e2e_done
