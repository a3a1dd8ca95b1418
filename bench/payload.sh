# Payloads and media of the benchmark, made once and kept under $bench/media
# (a stamp says with which parameters). Sourced by scripts/bench.
#
# A payload is COUNT files fNNNN.dat of MIN to MAX bytes, file i installed
# as dDD\fNNNN.dat with DD = (i-1) mod DIRS + 1. Its plain medium holds the
# files beside setup.inf; its compressed medium holds fNNNN.dat_ made by
# mscompress. The content is text of seeded random words, so it compresses.

# generate_files DIR COUNT MIN MAX SEED
generate_files() {
    mkdir -p "$1"
    mawk -v dir="$1" -v count="$2" -v min="$3" -v max="$4" -v seed="$5" '
    BEGIN {
        srand(seed)
        for (w = 0; w < 1024; w++) {
            word = ""
            for (n = 2 + int(rand() * 8); n > 0; n--) word = word sprintf("%c", 97 + int(rand() * 26))
            vocabulary[w] = word
        }
        for (i = 1; i <= count; i++) {
            file = sprintf("%s/f%04d.dat", dir, i)
            size = min + int(rand() * (max - min + 1))
            chunk = ""
            for (left = size; left > 0; ) {
                line = ""
                for (n = 6 + int(rand() * 8); n > 0; n--) line = line vocabulary[int(rand() * 1024)] " "
                line = line "\n"
                if (length(line) > left) line = substr(line, 1, left)
                chunk = chunk line
                left -= length(line)
                if (length(chunk) >= 65536) { printf "%s", chunk > file; chunk = "" }
            }
            printf "%s", chunk > file
            close(file)
        }
    }'
}

# Windows name of a Linux path (drive Z: is the Linux root).
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# make_payload NAME COUNT MIN MAX DIRS SEED: the plain and compressed media
# of the payload, the manifest of what an installation must hold, and the
# lists for the floor program.
make_payload() {
    local name=$1 count=$2 min=$3 max=$4 dirs=$5 seed=$6
    local plain="$bench/media/$name-plain" compressed="$bench/media/$name-compressed"
    local stamp="$count $min $max $dirs $seed"
    if [ "$(cat "$plain/.stamp" 2>/dev/null)" != "$stamp" ]; then
        echo "bench: generating payload $name ($count files)"
        rm -rf "$plain" "$compressed"
        generate_files "$plain" "$count" "$min" "$max" "$seed"
        echo "$stamp" > "$plain/.stamp"
    fi
    if [ "$(cat "$compressed/.stamp" 2>/dev/null)" != "$stamp" ]; then
        echo "bench: compressing payload $name"
        rm -rf "$compressed"
        mkdir -p "$compressed"
        (cd "$plain" && for f in f*.dat; do mscompress "$f" && mv "$f"_ "$compressed/"; done)
        echo "$stamp" > "$compressed/.stamp"
    fi
    write_manifest "$name" "$dirs"
    local kind
    for kind in plain compressed; do
        write_setup_inf "$name" "$kind" "$count" "$dirs" > "$bench/media/$name-$kind/setup.inf"
        cp "$build"/bin/{setup.exe,setuprt.dll,mscuistf.dll} "$bench/media/$name-$kind/"
        write_floor_list "$name" "$kind" "$count" "$dirs" > "$bench/lists/$name-$kind.txt"
    done
}

# The checksum of every file as an installation must lay it out.
write_manifest() {
    local name=$1 dirs=$2
    mkdir -p "$bench/lists"
    [ "$(cat "$bench/lists/$name.stamp" 2>/dev/null)" = "$(cat "$bench/media/$name-plain/.stamp")" ] && return
    (cd "$bench/media/$name-plain" && md5sum f*.dat) |
        mawk -v dirs="$dirs" '{ i = substr($2, 2) + 0; printf "%s  d%02d/%s\n", $1, (i - 1) % dirs + 1, $2 }' \
        > "$bench/lists/$name.md5"
    cp "$bench/media/$name-plain/.stamp" "$bench/lists/$name.stamp"
}

# One file set that the express installation takes, every file listed.
write_setup_inf() {
    local name=$1 kind=$2 count=$3 dirs=$4 suffix="" compression="NOT COMPRESSED" i
    [ "$kind" = compressed ] && { suffix=_; compression=COMPRESSED; }
    cat <<INF
; benchmark payload $name, $kind
COMPANY [BenchCo]
$compression
SINGLE DIR IMAGE
FILESET [Setup files]
BEGIN
END 0
FILESET [Payload $name]
EXPRESS
SOFTWARE [BenchPayload]
MAJORVERSION [1]
MINORVERSION [0]
RELEASE [0]
CPUTYPE [i386]
ADDPATH [d01]
BEGIN
INF
    for ((i = 1; i <= dirs; i++)); do printf 'D d%02d\n' "$i"; done
    for ((i = 1; i <= count; i++)); do
        printf 'F f%04d.dat%s d%02d\\f%04d.dat\n' "$i" "$suffix" $(( (i - 1) % dirs + 1 )) "$i"
    done
    printf 'END %s\n' "$(cat "$bench/media/$name-plain"/f*.dat | wc -c)"
}

# What floor.exe does for the same installation, into C:\floor.
write_floor_list() {
    local name=$1 kind=$2 count=$3 dirs=$4 suffix="" i source
    [ "$kind" = compressed ] && suffix=_
    source=$(winpath "$bench/media/$name-$kind")
    printf 'D\tC:\\floor\n'
    for ((i = 1; i <= dirs; i++)); do printf 'D\tC:\\floor\\d%02d\n' "$i"; done
    for ((i = 1; i <= count; i++)); do
        printf 'F\t%s\\f%04d.dat%s\tC:\\floor\\d%02d\\f%04d.dat\n' "$source" "$i" "$suffix" $(( (i - 1) % dirs + 1 )) "$i"
    done
}

# make_scan_media SETS LINES: a script of SETS file sets of LINES body lines
# each (one D line, the rest F lines naming the small payload's files), a
# bare script of as many sets without body lines, an answer file that quits
# at the welcome dialog, and the floor's list for copying the script's files.
make_scan_media() {
    local sets=$1 lines=$2 files small_count
    small_count=$(wc -l < "$bench/lists/small.md5")
    files=$((lines - 1))
    mkdir -p "$bench/media/scan-full" "$bench/media/scan-bare"
    write_scan_inf "$sets" "$lines" "$small_count" > "$bench/media/scan-full/setup.inf"
    write_scan_inf "$sets" 0 "$small_count" > "$bench/media/scan-bare/setup.inf"
    local dir
    for dir in scan-full scan-bare; do
        cp "$build"/bin/{setup.exe,setuprt.dll,mscuistf.dll} "$bench/media/$dir/"
        printf 'dialog 100 CANCEL\ndialog 200 EXIT\n' > "$bench/media/$dir/quit.txt"
    done
    local source set j
    source=$(winpath "$bench/media/small-plain")
    {
        printf 'D\tC:\\floor\n'
        for ((set = 0; set < sets; set++)); do
            printf 'D\tC:\\floor\\s%02d\n' "$set"
            for ((j = 1; j <= files; j++)); do
                printf 'F\t%s\\f%04d.dat\tC:\\floor\\s%02d\\g%04d.dat\n' "$source" $(( (set * files + j - 1) % small_count + 1 )) "$set" "$j"
            done
        done
    } > "$bench/lists/scan.txt"
    echo $((sets * files)) > "$bench/lists/scan.count"
}

# write_scan_inf SETS LINES SMALL_COUNT
write_scan_inf() {
    local sets=$1 lines=$2 small_count=$3 set j
    printf '; %d file sets of %d body lines\nCOMPANY [BenchCo]\nNOT COMPRESSED\nSINGLE DIR IMAGE\n' "$sets" "$lines"
    for ((set = 0; set < sets; set++)); do
        printf 'FILESET [Set %d]\nEXPRESS\nSOFTWARE [BenchScan%d]\nBEGIN\n' "$set" "$set"
        if [ "$lines" -gt 0 ]; then
            printf 'D s%02d\n' "$set"
            for ((j = 1; j < lines; j++)); do
                printf 'F f%04d.dat s%02d\\g%04d.dat\n' $(( (set * (lines - 1) + j - 1) % small_count + 1 )) "$set" "$j"
            done
        fi
        printf 'END 0\n'
    done
}

# The one-file media of a payload (mkmedia build --kind exe from the plain
# medium's script), stored and deflated: $bench/media/NAME-exe-stored.exe
# and NAME-exe-deflated.exe, made again each session, as the launcher and
# setup.exe may have changed.
make_one_file() {
    local name=$1 how out
    for how in stored deflated; do
        out="$bench/media/$name-exe-$how.exe"
        rm -f "$out" "$out.mkmedia"
        "$mkmedia" build "$bench/media/$name-plain/setup.inf" -o "$out" --kind exe --programs "$build/bin" -q \
            $([ "$how" = deflated ] || echo --store) || { echo "bench: no one-file medium for $name" >&2; exit 1; }
    done
}
