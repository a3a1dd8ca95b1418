# The product of the medium builder's tests: a tree with files of every
# kind of size (empty, tiny, around the window, larger than a block), a
# subdirectory, and the vendor's script without END figures or CHANGEDISK.
#   make_product DIR [EXTRA_KB]: EXTRA_KB adds three incompressible files of
#   that many kilobytes, each in a file set of its own, to fill diskettes.
make_product() {
    local dir=$1 extra=${2:-0}
    mkdir -p "$dir/bin" "$dir/doc"
    : >"$dir/doc/empty.txt"
    printf 'x' >"$dir/doc/one.txt"
    printf 'tiny file\n' >"$dir/doc/tiny.txt"
    yes 'Quorvane ledger program, quite repetitive text' | head -c 4097 >"$dir/bin/qv.exe"
    head -c 70000 /dev/urandom >"$dir/bin/view.exe"
    seq 1 8000 >"$dir/doc/parts.csv"
    {
        cat <<INF
; the vendor's own script
COMPANY [Mkmedia Test]
FILESET [Setup files]
BEGIN
END
FILESET [Core]
EXPRESS
SOFTWARE [MkTest]
MAJORVERSION [1]
APPITEM bin\\qv.exe bin\\qv.exe [Ledger] [-l]
BEGIN
D bin
F bin\\qv.exe bin\\qv.exe
P bin\\view.exe bin\\view.exe bin\\qv.exe [Viewer]
END
FILESET [Documents]
EXPRESS
SOFTWARE [MkTest documents]
BEGIN
D doc
F doc\\empty.txt doc\\empty.txt
F doc\\one.txt doc\\one.txt
F doc\\tiny.txt doc\\tiny.txt
F doc\\parts.csv doc\\parts.csv
END
INF
        for i in $(seq 1 $((extra > 0 ? 3 : 0))); do
            head -c $((extra * 1024)) /dev/urandom >"$dir/data$i.bin"
            printf 'FILESET [Data %d]\nEXPRESS\nSOFTWARE [MkTest data %d]\nBEGIN\nF data%d.bin data%d.bin\nEND\n' \
                "$i" "$i" "$i" "$i"
        done
    } >"$dir/setup.inf"
}

# make_programs DIR: program files of the installer's shape, small: setup.exe
# with its version resource calls into setuprt.dll; mscuistf.dll has the
# dialog procedures. DIR/src/other.exe is a program without the resource.
make_programs() {
    local dir=$1 cc=i686-w64-mingw32-gcc f
    mkdir -p "$dir/src"
    printf '__declspec(dllexport) int RtStart(void) { return 0; }\n' >"$dir/src/rt.c"
    for f in FCustInstDlgProc FEditDlgProc FHelpDlgProc FInfo0DlgProc FInfoDlgProc FQuitDlgProc FRadioDlgProc; do
        printf '__declspec(dllexport) int %s(void) { return 0; }\n' "$f"
    done >"$dir/src/ui.c"
    printf '__declspec(dllimport) int RtStart(void);\nint main(void) { return RtStart(); }\n' >"$dir/src/setup.c"
    printf '1 VERSIONINFO\nBEGIN\nBLOCK "StringFileInfo"\nBEGIN\nBLOCK "040904E4"\nBEGIN\n%s\nEND\nEND\nEND\n' \
        'VALUE "OriginalFilename", "setup.exe\0"' >"$dir/src/setup.rc"
    $cc -s -shared -o "$dir/setuprt.dll" "$dir/src/rt.c" && $cc -s -shared -o "$dir/mscuistf.dll" "$dir/src/ui.c" &&
        i686-w64-mingw32-windres "$dir/src/setup.rc" -O coff -o "$dir/src/setup.res" &&
        $cc -s -o "$dir/setup.exe" "$dir/src/setup.c" "$dir/src/setup.res" "$dir/setuprt.dll" &&
        $cc -s -o "$dir/src/other.exe" "$dir/src/setup.c" "$dir/setuprt.dll"
}

# expect_check MEDIUM CODE [DIAGNOSTIC...]: the exit code and the whole
# output of mkmedia check on MEDIUM, with the options in check_options.
expect_check() {
    local medium=$1 code=$2 got
    shift 2
    got=$("$mkmedia" check "$medium" ${check_options[@]+"${check_options[@]}"} 2>&1)
    local status=$?
    [ "$status" -eq "$code" ] || fail "check exit code $status, expected $code"
    [ "$got" = "$(printf '%s\n' "$@" | sed '/^$/d')" ] || fail "check said:
$got
expected:
$(printf '%s\n' "$@")"
}

# brand_product DIR: the vendor's name and banner picture before the first
# file set, the picture a 256-colour bitmap of WIDTHxHEIGHT (BANNER_SIZE,
# default 320x80) under art/.
brand_product() {
    local dir=$1
    mkdir -p "$dir/art"
    convert -size "${BANNER_SIZE:-320x80}" gradient:'#1d4d1a'-'#5f9f3a' -font DejaVu-Sans-Bold -pointsize 30 \
        -fill white -gravity west -annotate +16+0 'Pinecone Notes' +dither -colors 256 -type Palette \
        -compress None BMP3:"$dir/art/pinecone.bmp"
    sed -i 's/^COMPANY /PRODUCT [Pinecone Notes 3.1]\nBANNER [art\\pinecone.bmp]\nCOMPANY /' "$dir/setup.inf"
}
