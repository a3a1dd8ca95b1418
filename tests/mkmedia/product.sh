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
