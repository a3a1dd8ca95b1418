#!/usr/bin/env bash
# mkmedia without Wine: media of each kind built and found sound, then
# broken as vendors break them, each with the diagnostics check must give;
# the builder's refusals, which leave nothing under the medium's place.
#   test_check.sh MKMEDIA WORK_DIR
set -uo pipefail
mkmedia=$(realpath "$1") work=$(realpath -m "$2")
. "$(dirname "$0")/product.sh"
failures=0
fail() { echo "FAIL [$case]: $*"; failures=$((failures + 1)); }

rm -rf "$work"
mkdir -p "$work/programs"
cd "$work" || exit 2
make_programs programs || exit 2
make_product product 60

build() { "$mkmedia" build product/setup.inf --programs programs -q "$@" 2>"$work/build.err"; }
line_of() { grep -n -- "$2" "$1" | head -n 1 | cut -d: -f1; }
# The record of the file on the line that matches $2, as check words it.
recorded() { grep -B1 -- "$2" "$1" | head -n 1 | sed 's/^; length \([0-9]*\) crc32 \([0-9A-F]*\)\r$/\1 bytes with CRC-32 \2/'; }
# What check says of program files that are not signed.
unsigned=("setup.inf: note: setup.exe is not signed" "setup.inf: note: setuprt.dll is not signed"
          "setup.inf: note: mscuistf.dll is not signed")

case=built_media_are_sound
build -o single --kind single || fail "single: $(cat build.err)"
build -o single_z --kind single --compress || fail "single compressed: $(cat build.err)"
build -o cdrom --kind cdrom --compress --disk-size 100K || fail "cdrom: $(cat build.err)"
build -o floppy --kind floppy --disk-size 100K || fail "floppy: $(cat build.err)"
for m in single single_z cdrom floppy; do expect_check "$m" 0 "${unsigned[@]}"; done
inf=floppy/DISK1/setup.inf
# The figures are the installed sizes; every data file on a disk of its own.
size_of() { (cd product && cat "$@" | wc -c); }
grep -qx "END $(size_of bin/qv.exe bin/view.exe)"$'\r' single/setup.inf || fail "Core's END: $(grep -n END single/setup.inf)"
grep -qx "END $(size_of doc/empty.txt doc/one.txt doc/tiny.txt doc/parts.csv)"$'\r' single_z/setup.inf || fail "Documents' END: $(grep -n END single_z/setup.inf)"
grep -q $'^COMPRESSED\r$' single_z/setup.inf && grep -q $'^SINGLE DIR IMAGE\r$' single_z/setup.inf ||
    fail "the compressed single medium does not say so"
[ "$(grep -c '^CHANGEDISK' "$inf")" -ge 3 ] || fail "the floppy set spans $(grep -c '^CHANGEDISK' "$inf") disk changes"
for d in floppy/DISK*; do
    n=${d##*DISK}
    [ -f "$d/DISKID$n" ] || fail "no marker in $d"
    [ "$(du -sb --apparent-size "$d" | cut -f1)" -le 102400 ] || fail "$d holds more than a disk"
done
# A file that does not shrink lies plain on a compressed medium.
cmp -s single_z/bin/view.exe product/bin/view.exe && [ -f single_z/doc/empty.txt ] && [ -f single_z/bin/qv.ex_ ] ||
    fail "compressed as: $(cd single_z && find bin doc -type f | sort | tr '\n' ' ')"

case=missing_and_changed_files
rm single/doc/tiny.txt
# Four bytes changed at the file's length; its CRC-32 from gzip's trailer.
printf 'WXYZ' | dd of=single/doc/parts.csv bs=1 seek=100 conv=notrunc status=none
crc=$(gzip -c single/doc/parts.csv | tail -c 8 | od -An -tx4 -N4 | tr -d ' ' | tr a-f A-F)
expect_check single 1 "${unsigned[@]}" "setup.inf:$(line_of single/setup.inf 'F doc\\tiny.txt'): error: 'doc\\tiny.txt' is not on the medium (doc/tiny.txt)" \
    "setup.inf:$(line_of single/setup.inf '^F doc.parts'): error: 'doc\\parts.csv' is damaged: it gives 38893 bytes with CRC-32 $crc, setup.inf records $(recorded single/setup.inf '^F doc.parts.csv')"

case=wrong_end
sed -i 's/^END 74097/END 74000/' single_z/setup.inf
expect_check single_z 1 "${unsigned[@]}" "setup.inf:$(line_of single_z/setup.inf '^END 74000'): error: END 74000 is smaller than the 74097 bytes the file set installs"

case=missing_marker_and_file_on_wrong_disk
moved=$(grep -m1 '^F data2.bin' "$inf" >/dev/null && ls floppy/DISK*/FILES/data2.bin)
disk=$(echo "$moved" | sed 's|floppy/DISK\([0-9]*\)/.*|\1|')
mv "$moved" floppy/DISK1/FILES/
rm "floppy/DISK$((disk + 1))/DISKID$((disk + 1))"
expect_check floppy 1 "${unsigned[@]}" \
    "setup.inf:$(line_of "$inf" '^F data2.bin'): error: 'data2.bin' is on disk 1, but the script takes it from disk $disk" \
    "setup.inf:$(line_of "$inf" '^F data3.bin'): error: disk $((disk + 1)) has no marker file DISK$((disk + 1))/DISKID$((disk + 1))"

case=damaged_compressed_files
# One cut short; one with four of its literal bytes changed, whole to the decoder.
qv=$(ls cdrom/DISK*/FILES/bin/qv.ex_) && head -c 101 "$qv" >cut && mv cut "$qv"
printf 'WXYZ' | dd of="$(ls cdrom/DISK*/FILES/doc/parts.cs_)" bs=1 seek=15 conv=notrunc status=none
rm cdrom/mscuistf.dll
got=$("$mkmedia" check cdrom 2>&1) && fail "check passed a damaged medium"
for want in "setup.inf: error: mscuistf.dll is missing beside setup.inf" \
    "setup.inf:$(line_of cdrom/setup.inf '^F bin.qv.ex_'): error: 'bin\\qv.ex_' is damaged: shorter than its header says" \
    "setup.inf:$(line_of cdrom/setup.inf '^F doc.parts.cs_'): error: 'doc\\parts.cs_' is damaged: it gives 38893 bytes with CRC-32 " \
    ", setup.inf records $(recorded cdrom/setup.inf '^F doc.parts.cs_')"; do
    grep -qF -- "$want" <<<"$got" || fail "check did not say: $want
$got"
done

case=program_files_of_another_kind
build -o strangers || fail "$(cat build.err)"
: >strangers/setup.exe && printf 'hello' >strangers/setuprt.dll && cp programs/setuprt.dll strangers/mscuistf.dll
expect_check strangers 1 "${unsigned[@]}" "setup.inf: error: setup.exe is no whole 32-bit Windows program (cut short, empty or another file)" \
    "setup.inf: error: setuprt.dll is no whole 32-bit Windows library (cut short, empty or another file)" \
    "setup.inf: error: mscuistf.dll lacks FCustInstDlgProc, which the installer calls: it is not this product's"
cp programs/src/other.exe strangers/setup.exe && cp programs/mscuistf.dll programs/setuprt.dll strangers/
head -c 8000 programs/setuprt.dll >strangers/setuprt.dll
expect_check strangers 1 "${unsigned[@]}" "setup.inf: error: setuprt.dll is no whole 32-bit Windows library (cut short, empty or another file)" \
    "setup.inf: error: setup.exe is another program: its version resource does not name it setup.exe"

case=unsafe_path_and_shortcut_program
build -o unsafe || fail "$(cat build.err)"
sed -i 's/^F doc\\one.txt doc\\one.txt/F ..\\one.txt doc\\one.txt/; s/^APPITEM bin\\qv.exe/APPITEM bin\\qw.exe/' unsafe/setup.inf
expect_check unsafe 1 "${unsigned[@]}" \
    "setup.inf:$(line_of unsafe/setup.inf '^APPITEM'): error: the shortcut's program bin\\qw.exe is not installed by its file set" \
    "setup.inf:$(line_of unsafe/setup.inf '^F \.\.'): error: the source leaves the medium's file directory: F ..\\one.txt doc\\one.txt" \
    "setup.inf:$(line_of unsafe/setup.inf '^F \.\.'): error: '..\\one.txt' is not on the medium (../one.txt)"

case=parts_that_cannot_be_registered
build -o unnamed || fail "$(cat build.err)"
sed -i '/^SOFTWARE \[MkTest documents\]/d' unnamed/setup.inf
expect_check unnamed 1 'setup.inf: error: the part "Documents" has no SOFTWARE line: the installer cannot register it' \
    "${unsigned[@]}"
sed -i '/^COMPANY/d' unnamed/setup.inf
expect_check unnamed 1 "setup.inf: error: no COMPANY line: the installer cannot register any part" "${unsigned[@]}"

case=vendor_lines_left_on_a_medium
# The installer reads FOLDER as an F line and stops at an END without figure.
build -o leftover || fail "$(cat build.err)"
sed -i 's/^F doc\\one.txt doc\\one.txt/FOLDER doc doc/; s/^END 74097/END/' leftover/setup.inf
expect_check leftover 1 "${unsigned[@]}" \
    "setup.inf:$(line_of leftover/setup.inf '^END.$'): error: END without its figure: the installer needs the part's installed size (mkmedia build writes it)" \
    "setup.inf:$(line_of leftover/setup.inf '^FOLDER'): error: a FOLDER line is for mkmedia build: a medium's setup.inf holds its D and F lines" \
    "setup.inf:$(line_of leftover/setup.inf '^FOLDER'): error: 'OLDER' is not on the medium (OLDER)"

case=values_longer_than_the_installer_keeps
build -o long || fail "$(cat build.err)"
long=$(printf 'N%.0s' $(seq 300))
sed -i "s/^COMPANY \[Mkmedia Test\]/COMPANY [$long]/; s/\[Ledger\]/[L${long:0:255}]/" long/setup.inf
sed -i "s/^FILESET \[Documents\]/FILESET [${long:0:256}]/" long/setup.inf
expect_check long 1 "${unsigned[@]}" \
    "setup.inf:$(line_of long/setup.inf '^COMPANY'): error: the company name has 300 characters; the installer keeps 255" \
    "setup.inf:$(line_of long/setup.inf '^APPITEM'): error: the shortcut's name has 256 characters; the installer keeps 255" \
    "setup.inf:$(line_of long/setup.inf '^FILESET \[NNN'): error: File set name longer than 255 characters in setup.inf"

case=double_byte_names_need_their_code_page
# 0x81 0x7C is one character in code page 932; read single-byte, its
# second byte is a "|", which no file name may hold.
make_product dbcs_product
printf 'FILESET [Wide]\nSOFTWARE [Wide]\nBEGIN\nD doc\nF doc\\one.txt doc\\\x81\x7c.txt\nEND\n' >>dbcs_product/setup.inf
dbcs_line=$(grep -an $'\x81' dbcs_product/setup.inf | cut -d: -f1)
"$mkmedia" build dbcs_product/setup.inf -o dbcs --programs programs -q 2>build.err && fail "built single-byte"
grep -qaxF "dbcs_product/setup.inf:$dbcs_line: error: the destination holds a character that no file name can hold: F doc\\one.txt doc\\"$'\x81|'".txt" build.err ||
    fail "build said: $(cat build.err)"
"$mkmedia" build dbcs_product/setup.inf -o dbcs --programs programs -q --codepage 932 || fail "not built in code page 932"
got=$("$mkmedia" check dbcs --codepage 932 2>&1) || fail "check in code page 932 said: $got"
"$mkmedia" check dbcs >/dev/null 2>&1 && fail "check read the double-byte name single-byte"

# --- the builder's refusals ----------------------------------------------------
# expect_refused WHAT DIAGNOSTIC ARGS...: build fails with that diagnostic and
# leaves nothing under refused/ or beside it.
expect_refused() {
    local want=$1
    shift
    case=$want
    build -o refused "$@" && fail "built all the same"
    grep -qxF -- "$want" build.err || fail "build said: $(cat build.err)"
    [ ! -e refused ] || fail "a medium was left"
    [ -z "$(ls -A | grep refused)" ] || fail "left beside: $(ls -A | grep refused)"
}
sed -i 's/^END$/CHANGEDISK 2\nEND/' product/setup.inf
expect_refused "product/setup.inf:$(line_of product/setup.inf '^CHANGEDISK'): error: CHANGEDISK lines are placed by mkmedia: leave them out"
make_product product 60
rm product/doc/one.txt
expect_refused "product/setup.inf:$(line_of product/setup.inf 'doc.one.txt'): error: 'doc\\one.txt' is not in the product tree product"
make_product product 60
expect_refused "product/setup.inf:$(line_of product/setup.inf '^P bin.view'): error: 'bin\\view.exe' (70000 bytes on the medium) is larger than a disk of 61440 bytes" \
    --kind floppy --disk-size 60K
# mistake EDIT AT WANT: the vendor's script edited with sed EDIT is refused
# with WANT on the line that AT matches after the edit.
mistake() {
    make_product product 60
    sed -i "$1" product/setup.inf
    expect_refused "product/setup.inf:$(line_of product/setup.inf "$2"): error: $3"
}
mistake 's/^FILESET \[Documents\]/fileset [Documents]/' '^fileset' \
    "'fileset' is the keyword FILESET in the wrong case: the installer reads upper case only"
mistake '/^FILESET \[Setup files\]/,/^END$/d' '^D bin' \
    'the first part, "Core", is never installed, so its files never reach the customer: begin the script with an empty first part (FILESET [Setup files], BEGIN, END) and put them in a part after it'
mistake '$a FILESET [M1]\nBEGIN\nEND\nFILESET [M2]\nBEGIN\nEND\nFILESET [M3]\nBEGIN\nEND\nFILESET [M4]\nBEGIN\nEND\nFILESET [M5]\nBEGIN\nEND' \
    '^FILESET \[M5\]' "11 parts; the installer takes at most 10"
mistake '$a F doc\\one.txt doc\\stray.txt' '^F doc.one.txt doc.stray' \
    "the F line stands outside a part's BEGIN and END: the installer does not read it there"
mistake 's/^SOFTWARE \[MkTest\]$/SOFTWARE [MkTest/' '^SOFTWARE \[MkTest$' "a [ without its ]: write the line as SOFTWARE [NAME]"
mistake 's/^F doc\\one.txt doc\\one.txt/F doc\\one.txt/' '^F doc.one.txt$' \
    "a field is missing: write the line as F SOURCE DESTINATION"
mistake 's/^F doc\\one.txt doc\\one.txt/F doc\\one two.txt doc\\one.txt/' '^F doc.one two' \
    "more words than the F line takes (F SOURCE DESTINATION): a file or path name cannot hold a blank in the script"
# A part that relies on a directory another part makes fails when picked alone.
mistake '/^D doc$/d; s/^D bin$/D bin\nD doc/' '^F doc.empty' \
    'the part "Documents" needs the directory doc, which only the part "Core" makes: installed alone, it stops at this line; put "D doc" into its block first'

# The banner lies beside setup.inf on every kind; one that is not there,
# not a bitmap or larger than the screen leaves above the dialogs is refused.
case=banner
make_product product 60
brand_product product
for kind in single cdrom floppy; do
    build -o "branded_$kind" --kind "$kind" --disk-size 100K || fail "$kind: $(cat build.err)"
    top=branded_$kind
    [ "$kind" != floppy ] || top=$top/DISK1
    cmp -s product/art/pinecone.bmp "$top/art/pinecone.bmp" || fail "$kind: the banner is not beside setup.inf"
    expect_check "branded_$kind" 0 "${unsigned[@]}"
done
head -c 2000 product/art/pinecone.bmp >branded_single/art/pinecone.bmp
expect_check branded_single 1 "${unsigned[@]}" \
    "setup.inf:$(line_of branded_single/setup.inf "^BANNER"): error: the banner art\\pinecone.bmp cannot be shown: the banner's bitmap file is cut short or damaged"
rm branded_single/art/pinecone.bmp
expect_check branded_single 1 "${unsigned[@]}" \
    "setup.inf:$(line_of branded_single/setup.inf "^BANNER"): error: the banner art\\pinecone.bmp cannot be shown: it is not in branded_single"
rm product/art/pinecone.bmp
expect_refused "product/setup.inf:3: error: the banner art\\pinecone.bmp cannot be shown: it is not in product"
make_product product 60
BANNER_SIZE=641x80 brand_product product
expect_refused "product/setup.inf:3: error: the banner art\\pinecone.bmp cannot be shown: the banner is not between 16 x 16 and 640 x 200 pixels"
make_product product 60
brand_product product
convert product/art/pinecone.bmp PNG:product/art/pinecone.bmp
expect_refused "product/setup.inf:3: error: the banner art\\pinecone.bmp cannot be shown: the banner is not a bitmap (BMP) file"
mistake '$a PRODUCT [Late]' '^PRODUCT \[Late' \
    "the PRODUCT line stands after the first part: put it before the first FILESET line, where an installer that does not know it passes over it"
mistake 's/^COMPANY /PRODUCT [Tab\tName]\nCOMPANY /' '^PRODUCT' \
    "the product name holds a control character: PRODUCT [Tab	Name]"

case=whole_folders
make_product product 60
mkdir -p product/samples/b/d product/samples/empty product/samples/many
printf a >product/samples/a.txt && printf c >product/samples/b/c.txt && printf e >product/samples/b/d/e.txt
for i in $(seq -w 1 300); do echo "$i" >"product/samples/many/f$i.txt"; done
{ printf 'SZDD\x88\xf0\x27\x33'; head -c 3000 /dev/urandom; } >product/samples/packed.bin
printf 'FILESET [Samples]\nSOFTWARE [MkTest samples]\nBEGIN\nFOLDER samples smp\nEND\n' >>product/setup.inf
build -o folders || fail "$(cat build.err)"
want=$(printf '%s\n' 'D smp' 'F samples\a.txt smp\a.txt' 'F samples\packed.bin smp\packed.bin' 'D smp\b' \
    'F samples\b\c.txt smp\b\c.txt' 'D smp\b\d' 'F samples\b\d\e.txt smp\b\d\e.txt' 'D smp\empty' 'D smp\many'
    for i in $(seq -w 1 300); do printf 'F samples\\many\\f%s.txt smp\\many\\f%s.txt\n' "$i" "$i"; done)
[ "$(sed -n '/^FILESET \[Samples\]/,/^END/p' folders/setup.inf | tr -d '\r' | grep '^[DF] ')" = "$want" ] ||
    fail "the folder's lines: $(sed -n '/^FILESET \[Samples\]/,$p' folders/setup.inf | head -n 20)"
# A file that begins as a compressed one is decoded by the installer: never plain.
build -o folders_z --compress || fail "$(cat build.err)"
[ -f folders_z/samples/packed.bi_ ] || fail "packed.bin lies plain on the compressed medium"
touch "product/samples/b/a blank.txt"
expect_refused "product/setup.inf:$(line_of product/setup.inf '^FOLDER'): error: 'samples\\b\\a blank.txt' holds a blank, which the script cannot carry: rename it"
make_product product 60

case=disk_one_too_small
build -o refused --kind floppy --disk-size 8K && fail "built all the same"
grep -qx 'product/setup.inf: error: disk 1 cannot hold setup.inf and the program files ([0-9]* bytes) in a disk of 8192 bytes: give a larger --disk-size' build.err ||
    fail "build said: $(cat build.err)"
sed -i 's/^F bin\\qv.exe bin\\qv.exe/F bin\\qv.exe ..\\qv.exe/' product/setup.inf
expect_refused "product/setup.inf:$(line_of product/setup.inf '^F bin.qv.exe'): error: the destination leaves the installation directory: F bin\\qv.exe ..\\qv.exe"

case=nothing_but_an_earlier_medium_is_replaced
# The vendor's files around the build, each a place -o must not take; the
# names beside a medium that a build might use for itself among them.
make_product product 60
mkdir -p letters fresh.mkmedia-old && printf 'dear customer\n' >letters/draft.doc
printf 'notes\n' >notes.txt && : >empty.txt && printf 'mine\n' >fresh.mkmedia-old/a && printf 'mine\n' >kept.mkmedia
vendor_files() { find . ! -name build.err -printf '%y %p\n' | sort; find . -type f ! -name build.err -exec sha256sum {} + | sort; }
before=$(vendor_files)
for place in letters product product/sub . notes.txt empty.txt kept; do
    build -o "$place" && fail "built into $place"
    grep -q '^mkmedia: .*\(no medium of mkmedia\|inside\|is a file\|not mkmedia.s record\)' build.err ||
        fail "-o $place: $(cat build.err)"
done
[ "$(vendor_files)" = "$before" ] || fail "the vendor's files changed: $(diff <(echo "$before") <(vendor_files))"
build -o fresh/ || fail "-o fresh/: $(cat build.err)"
printf 'changed\n' >product/doc/tiny.txt
build -o fresh || fail "not built over its own earlier medium: $(cat build.err)"
cmp -s fresh/doc/tiny.txt product/doc/tiny.txt || fail "the earlier medium stayed"
# A product tree inside an earlier medium goes with it.
printf 'COMPANY [C]\nFILESET [Setup files]\nBEGIN\nEND\nFILESET [Doc]\nSOFTWARE [S]\nBEGIN\nF one.txt one.txt\nEND\n' >doc.inf
"$mkmedia" build doc.inf --from fresh/doc -o fresh --programs programs -q 2>build.err && fail "built over its own product tree"
grep -qF "lies inside $work/fresh, which the medium would replace" build.err || fail "$(cat build.err)"
printf 'mine\n' >fresh/doc/added.txt
build -o fresh && fail "built over a medium holding the vendor's file"
grep -qF "holds doc/added.txt, which mkmedia did not put there" build.err || fail "$(cat build.err)"
[ "$(cat fresh.mkmedia-old/a kept.mkmedia)" = "$(printf 'mine\nmine')" ] || fail "the vendor's side files changed"

case=one_file_replaces_only_its_own
cp programs/src/other.exe programs/launcher.exe
before=$(vendor_files)
for place in notes.txt empty.txt letters fresh kept; do
    build -o "$place" --kind exe && fail "one file built over $place"
    grep -q '^mkmedia: .*\(no one-file medium of mkmedia\|not mkmedia.s record\)' build.err ||
        fail "--kind exe -o $place: $(cat build.err)"
done
[ "$(vendor_files)" = "$before" ] || fail "the vendor's files changed: $(diff <(echo "$before") <(vendor_files))"
build -o product-setup.exe --kind exe || fail "--kind exe: $(cat build.err)"
build -o product-setup.exe --kind exe --store || fail "not built over its own one-file medium: $(cat build.err)"
"$mkmedia" check product-setup.exe >check.out 2>&1 || fail "check: $(cat check.out)"
[ "$(unzip -Z1 product-setup.exe 2>/dev/null | head -n 4 | paste -sd' ')" = "setup.exe setuprt.dll mscuistf.dll setup.inf" ] ||
    fail "the archive does not begin with the launcher's files: $(unzip -Z1 product-setup.exe 2>&1 | head -n 4)"

[ "$failures" -eq 0 ] && { echo "all passed"; rm -rf "$work"; exit 0; }
echo "$failures failure(s); the media are in $work"
exit 1
