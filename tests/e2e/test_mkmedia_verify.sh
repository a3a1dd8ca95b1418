#!/usr/bin/env bash
# mkmedia verify: a medium installed in throwaway prefixes on both families
# and held against the product tree. Sound media pass; a product file
# changed after the build is named; the prefixes go on every exit.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/../mkmedia/product.sh"

mkmedia=${MKMEDIA:-$SETUP_BUILD/host/tools/mkmedia/mkmedia}
[ -x "$mkmedia" ] || { echo "FAIL: no native mkmedia at $mkmedia (scripts/build makes it)"; exit 1; }

# verify ARGS...: runs mkmedia verify with its temporary directories in
# $work/tmp; status, $work/out and $work/err.
verify() {
    TMPDIR="$work/tmp" "$mkmedia" verify "$@" >"$work/out" 2>"$work/err"
    status=$?
}
expect_out() { grep -qF -- "$1" "$work/out" || fail "verify did not say: $1
$(sed 's/^/    | /' "$work/out" "$work/err")"; }
expect_no_scratch() { [ -z "$(ls -A "$work/tmp")" ] || fail "left behind: $(ls "$work/tmp")"; }

# built_medium [ARGS...]: the product and its medium in $work.
built_medium() {
    make_product "$work/product"
    "$mkmedia" build "$work/product/setup.inf" -o "$work/medium" --programs "$SETUP_BUILD/bin" -q "$@" || fail "build"
}

e2e_case single_directory_found_by_its_record
built_medium
verify "$work/medium" -q
expect_status 0
for family in nt w95; do
    expect_out "$family: 6 of 6 files equal to the product's"
    expect_out "$family: 2 of 2 keys registered as the script says"
    # The custom step lets a customer pick one part: each installs alone.
    expect_out "$family, \"Core\" alone: 2 of 2 files equal to the product's"
    expect_out "$family, \"Documents\" alone: 4 of 4 files equal to the product's"
    expect_out "$family, \"Documents\" alone: 1 of 1 keys registered as the script says"
done
[ ! -s "$work/err" ] || fail "-q still said: $(cat "$work/err")"
expect_no_scratch

# A one-file medium installs by its launcher, what to expect read from its archive.
e2e_case one_file_medium
make_product "$work/product"
"$mkmedia" build "$work/product/setup.inf" -o "$work/product-setup.exe" --kind exe --programs "$SETUP_BUILD/bin" -q ||
    fail "build"
verify "$work/product-setup.exe" -q
expect_status 0
expect_out "nt: 6 of 6 files equal to the product's"
expect_out "w95: 6 of 6 files equal to the product's"
expect_out "$work/product-setup.exe: installs the product tree"
expect_no_scratch

e2e_case floppy_compressed_on_two_disks
make_product "$work/product" 700
mv "$work/product/setup.inf" "$work/setup.inf"
"$mkmedia" build "$work/setup.inf" --from "$work/product" -o "$work/medium" --kind floppy --compress \
    --programs "$SETUP_BUILD/bin" -q || fail "build"
[ -d "$work/medium/DISK2" ] || fail "the medium has one disk only"
rm -f "$work/medium.mkmedia"
verify "$work/medium"
expect_status 2
grep -qF 'name the product tree with --from' "$work/err" || fail "no record, yet: $(cat "$work/err")"
verify "$work/medium" --from "$work/product"
expect_status 0
expect_out "w95: 9 of 9 files equal to the product's"
grep -qF 'installing every part as the 95 family' "$work/err" || fail "no progress: $(cat "$work/err")"
expect_no_scratch

e2e_case product_changed_after_the_build
built_medium --compress
printf 'tiny file, revised\n' >"$work/product/doc/tiny.txt"
verify "$work/medium" -q
expect_status 1
for family in nt w95; do
    expect_out "$family: R:\\usr\\doc\\tiny.txt (setup.inf:$(grep -n 'tiny' "$work/medium/setup.inf" | cut -d: -f1), the product's doc\\tiny.txt): differs from byte 9 on"
    expect_out "$family: 5 of 6 files equal to the product's"
done
expect_out "4 difference(s) from the product"
expect_no_scratch

e2e_case refused_before_any_installation
# A medium that fails check, and a machine without Wine: said, nothing made.
built_medium --compress
rm "$work/medium/doc/parts.cs_"
verify "$work/medium" -q
expect_status 1
grep -qF "error: 'doc\\parts.cs_' is not on the medium" "$work/err" && grep -qF 'fails mkmedia check' "$work/err" ||
    fail "a broken medium: $(cat "$work/err")"
built_medium
PATH=/nonexistent TMPDIR="$work/tmp" "$mkmedia" verify "$work/medium" >"$work/out" 2>"$work/err"
status=$?
expect_status 2
grep -qF 'verify needs Wine: no wine on PATH' "$work/err" || fail "without Wine: $(cat "$work/err")"
expect_no_scratch

e2e_case interrupted_by_ctrl_c
built_medium
TMPDIR="$work/tmp" "$mkmedia" verify "$work/medium" -q >"$work/out" 2>"$work/err" &
pid=$!
for _ in $(seq 1 300); do
    compgen -G "$work/tmp/mkmedia-verify.*/prefix/drive_c" >/dev/null && break
    sleep 0.1
done
kill -INT "$pid"
wait "$pid"
status=$?
expect_status 130
expect_no_scratch

e2e_done
