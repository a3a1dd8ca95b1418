#!/usr/bin/env bash
# The installer's decoder against Wine's expand.exe, byte for byte, on a
# corpus made afresh every run: empty and tiny files, every length around
# the window, incompressible, repetitive and run-length data, text, binary
# and a 50 MB file; then streams that expand.exe takes although they are
# damaged, which the decoder must refuse. The medium builder's encoder goes
# the other way on the same corpus and on every length from 0 to 300 and
# around the window: expand.exe must give each original back. Prints the
# speed of both on the 50 MB file.
#   test_matches_expand.sh CODEC_EXPAND HOST_BUILD_DIR CODEC_COMPRESS
# The corpus stays in HOST_BUILD_DIR/codec-proof when a case fails.
set -uo pipefail
codec_expand=$1 build=$(realpath "$2") codec_compress=$3
top=$(cd "$(dirname "$0")/../.." && pwd)
"$top/scripts/prefix" "$build" codec
export WINEPREFIX="$build/wine/codec" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

work="$build/codec-proof"
rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 2
failures=0
fail() { echo "FAIL [$1]: $2"; failures=$((failures + 1)); }

# --- the corpus: NAME.orig --------------------------------------------------
text() { cat "$top"/README.md "$top"/driver/*/*.cpp "$top"/runtime/*/*.cpp; }
random() { head -c "$1" /dev/urandom; }
repeat() { local n=$1; shift; yes "$*" | tr -d '\n' | head -c "$n"; }

: >empty.orig
printf 'x' >one.orig
printf 'short line\n' >short.orig
for n in 4095 4096 4097 4111 4112 4113; do
    text | head -c "$n" >"text$n.orig"
    random "$n" >"random$n.orig"
done
random 300000 >incompressible.orig
repeat 300000 'abc' >repetitive.orig
head -c 300000 /dev/zero >zeros.orig
for byte in A B C D E F G H; do repeat 40000 "$byte"; printf '%s' "$byte$byte-"; done >runs.orig
text >text.orig
cp "$codec_expand" binary.orig
# 50 MB: text, binary, random and long runs in turn.
{
    for i in $(seq 1 40); do
        text | head -c 700000
        cat "$codec_expand"
        random 262144
        head -c $((i * 1000)) /dev/zero
    done
    repeat 52428800 'quite repetitive '
} | head -c 52428800 >big.orig

# --- compressed: NAME.sz ----------------------------------------------------
# mscompress damages files under about 20 bytes: those get a stream of
# literals made here, eight to a flag byte.
literal_stream() {
    local size bytes i
    size=$(stat -c %s "$1")
    printf 'SZDD\x88\xf0\x27\x33A\x00'
    printf "\\x$(printf %02x $((size & 255)))\\x$(printf %02x $((size >> 8 & 255)))\\x00\\x00"
    bytes=$(od -An -v -tx1 "$1" | tr -s ' \n' ' ')
    read -ra bytes <<<"$bytes"
    for ((i = 0; i < size; i += 8)); do
        local group=("${bytes[@]:i:8}")
        printf "\\x$(printf %02x $(((1 << ${#group[@]}) - 1)))"
        printf "$(printf '\\x%s' "${group[@]}")"
    done
}
for orig in *.orig; do
    name=${orig%.orig}
    if [ "$(stat -c %s "$orig")" -lt 20 ]; then
        literal_stream "$orig" >"$name.sz"
    else
        cp "$orig" "$name"
        mscompress "$name" && mv "${name}_" "$name.sz" && rm "$name" || fail "$name" "mscompress failed"
    fi
done
# mscompress never reads the window's starting blanks; this stream does, in
# runs that start in them, end in them, wrap the window and repeat its own
# output (89 bytes).
{
    printf 'SZDD\x88\xf0\x27\x33A\x00\x59\x00\x00\x00'
    printf '\x55a\x00\x0fb\xec\xf5c\xfe\xf3d\x00\x80'
    printf '\x00\xf0\xff\x10\x07\x00\x11\x37\x0f'
} >window.sz

# Damaged streams that expand.exe expands with success: cut inside the last
# reference, the length in the header one more or one less, an unknown
# method, a header cut short.
set_length() { { head -c 10 "$1"; printf "$2"; tail -c +15 "$1"; } >"$3"; }
{ head -c 10 one.sz; printf '\x04\x00\x00\x00\x01x\xf0'; } >cut.bad
set_length text4097.sz '\x02\x10\x00\x00' longer.bad
set_length text4097.sz '\x00\x10\x00\x00' shorter.bad
{ head -c 8 one.sz; printf 'B'; tail -c +10 one.sz; } >method.bad
head -c 12 text4097.sz >header.bad

# --- compressed by our encoder: NAME.oz ----------------------------------------
# Every length up to 300 and around the window, text and random.
for n in $(seq 0 300) $(seq 4086 4106); do
    if [ $((n % 2)) -eq 0 ]; then text | head -c "$n"; else random "$n"; fi >"len$n.plain"
done
start=$(date +%s%N)
"$codec_compress" big.orig big.oz || fail big "the encoder failed"
encode_ns=$(($(date +%s%N) - start))
for orig in *.orig *.plain; do
    [ "$orig" = big.orig ] || "$codec_compress" "$orig" "${orig%.*}.oz" || fail "$orig" "the encoder failed"
done

# --- expanded by Wine, in one process ----------------------------------------
for sz in *.sz *.bad *.oz; do printf 'expand %s %s.wine\r\n' "$sz" "$sz"; done >expand_all.bat
wine_start=$(date +%s%N)
wine cmd /c expand_all.bat >wine.log 2>&1
wine_ms=$((($(date +%s%N) - wine_start) / 1000000))

# --- compared ----------------------------------------------------------------
for sz in *.sz; do
    name=${sz%.sz}
    [ -f "$sz.wine" ] || { fail "$name" "expand.exe wrote nothing"; continue; }
    if [ -f "$name.orig" ]; then
        cmp -s "$sz.wine" "$name.orig" || fail "$name" "expand.exe does not give the original back"
    fi
    "$codec_expand" "$sz" "$name.ours" || fail "$name" "the decoder refused it"
    cmp -s "$name.ours" "$sz.wine" || fail "$name" "differs from expand.exe: $(cmp "$name.ours" "$sz.wine" 2>&1)"
    # Fed three bytes at a time, the same.
    if [ "$(stat -c %s "$sz")" -lt 400000 ]; then
        "$codec_expand" "$sz" "$name.pieces" 3 && cmp -s "$name.pieces" "$sz.wine" \
            || fail "$name" "differs when fed in pieces"
    fi
done
for bad in *.bad; do
    [ -f "$bad.wine" ] || fail "$bad" "expand.exe wrote nothing (it used to take this)"
    "$codec_expand" "$bad" "$bad.ours" 2>"$bad.reason"
    [ $? -eq 1 ] || fail "$bad" "the decoder took a damaged stream"
done

for oz in *.oz; do
    name=${oz%.oz}
    original=$name.orig
    [ -f "$original" ] || original=$name.plain
    cmp -s "$oz.wine" "$original" || fail "$name" "expand.exe does not give our encoder's input back"
done

# --- speed -------------------------------------------------------------------
start=$(date +%s%N)
"$codec_expand" big.sz big.timed
ns=$(($(date +%s%N) - start))
echo "50 MB file: decoder $((52428800 * 1000 / ns)) MB/s ($((ns / 1000000)) ms)," \
     "all $(ls *.sz *.bad *.oz | wc -l) files through expand.exe under Wine: $wine_ms ms"
echo "50 MB file: encoder $((52428800 * 1000 / encode_ns)) MB/s ($((encode_ns / 1000000)) ms)," \
     "$(stat -c %s big.oz) bytes, mscompress $(stat -c %s big.sz) bytes"
echo "compared: $(ls *.sz | wc -l) files, $(ls *.oz | wc -l) of ours; refused: $(cat *.reason | sed 's/.*: //' | sort | uniq -c | tr -s ' \n' ' ')"

if [ "$failures" -ne 0 ]; then
    echo "$failures failures; the corpus is in $work"
    exit 1
fi
cd / && rm -rf "$work"
