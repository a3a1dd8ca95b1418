#!/usr/bin/env bash
# Media signed by mkmedia with a self-signed certificate made here: check
# names the signer of each program file and finds a changed byte; the signed
# setup.exe installs its medium under Wine; a build that cannot sign leaves
# no medium.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/../mkmedia/product.sh"

mkmedia=${MKMEDIA:-$SETUP_BUILD/host/tools/mkmedia/mkmedia}
dest="$SETUP_BUILD/drives/r/usr"
clean_prefix() {
    wine reg delete 'HKLM\Software\Mkmedia Test' /f >/dev/null 2>&1
    rm -rf "$(drive_c)/ProgramData/Microsoft/Windows/Start Menu/Programs/MkTest" "$dest"
}
trap clean_prefix EXIT
[ -x "$mkmedia" ] || { echo "FAIL: no native mkmedia at $mkmedia (scripts/build makes it)"; exit 1; }

# make_key DIR PASSWORD: DIR/cert.pem, a self-signed code-signing
# certificate, which check is told to trust, and DIR/key.pfx holding it
# with its key under PASSWORD.
make_key() {
    check_options=(--ca "$1/cert.pem")
    openssl req -x509 -newkey rsa:2048 -nodes -keyout "$1/key.pem" -out "$1/cert.pem" -days 30 \
        -subj "/CN=Mkmedia Test Vendor" >/dev/null 2>&1 &&
        openssl pkcs12 -export -inkey "$1/key.pem" -in "$1/cert.pem" -out "$1/key.pfx" \
            -passout "pass:$2" ||
        fail "openssl made no key"
}
# signed_build [ARGS...]: with $password, and $tool_path for PATH if set.
signed_build() {
    PATH=${tool_path:-$PATH} MKMEDIA_SIGN_PASSWORD=$password "$mkmedia" build "$work/product/setup.inf" -o "$work/medium" \
        --programs "$SETUP_BUILD/bin" -q --sign "$work/key.pfx" "$@" 2>"$work/build.err"
}
verified() { printf 'setup.inf: note: %s is signed by /CN=Mkmedia Test Vendor; the signature verifies\n' "$@"; }
password='pass phrase; with blanks'

e2e_case signed_medium_verifies_and_installs
clean_prefix
make_product "$work/product"
make_key "$work" "$password"
signed_build --kind single || fail "build --sign: $(cat "$work/build.err")"
mapfile -t all_verified < <(verified setup.exe setuprt.dll mscuistf.dll)
expect_check "$work/medium" 0 "${all_verified[@]}"
got=$("$mkmedia" check "$work/medium" 2>&1) && fail "a self-signed certificate was trusted without --ca"
grep -qxF "setup.inf: error: setup.exe is signed by /CN=Mkmedia Test Vendor, but its certificate is not trusted: self-signed certificate (trust one with --ca FILE)" <<<"$got" ||
    fail "check without --ca said: $got"
printf 'dialog 100 CONTINUE\ndialog 300 CONTINUE EditTextOut=R:\ndialog 800 CONTINUE ButtonChecked=1\ndialog 700 CONTINUE\n' \
    >"$work/answers"
run_setup "$work/medium" "$work/medium"
expect_status 0
diff -r --exclude=setup.inf --exclude='uninstall-Mkmedia Test-MkTest*' "$work/product" "$dest" >"$work/diff" 2>&1 ||
    fail "the installed tree differs from the product: $(head -n 5 "$work/diff")"

e2e_case changed_byte_after_signing
make_product "$work/product"
make_key "$work" "$password"
signed_build || fail "build --sign: $(cat "$work/build.err")"
# flip FILE OFFSET: one byte changed, as a damaged copy would have it; a
# negative offset counts from the end.
flip() {
    python3 -c 'import sys; b = bytearray(open(sys.argv[1], "rb").read()); b[int(sys.argv[2])] ^= 0xFF
open(sys.argv[1], "wb").write(b)' "$1" "$2"
}
flip "$work/medium/setuprt.dll" 5000
# The last bytes of a signed module are those of its signature's value.
flip "$work/medium/mscuistf.dll" -100
expect_check "$work/medium" 1 "$(verified setup.exe)" \
    "setup.inf: error: setuprt.dll is signed, but the file was changed after signing" \
    "setup.inf: error: mscuistf.dll is signed by /CN=Mkmedia Test Vendor, but the signature does not verify"
cp "$SETUP_BUILD/bin/mscuistf.dll" "$work/medium/"
expect_check "$work/medium" 1 "$(verified setup.exe)" \
    "setup.inf: error: setuprt.dll is signed, but the file was changed after signing" \
    "setup.inf: note: mscuistf.dll is not signed"

# The one-file medium is signed whole, its archive in: a byte changed in
# the launcher shows only in the signature, one in the archive also in the
# entry it lands in.
e2e_case one_file_signed_whole
make_product "$work/product"
make_key "$work" "$password"
PATH=$PATH MKMEDIA_SIGN_PASSWORD=$password "$mkmedia" build "$work/product/setup.inf" -o "$work/product-setup.exe" \
    --kind exe --programs "$SETUP_BUILD/bin" -q --sign "$work/key.pfx" 2>"$work/build.err" ||
    fail "build --kind exe --sign: $(cat "$work/build.err")"
mapfile -t all_verified < <(verified setup.exe setuprt.dll mscuistf.dll product-setup.exe)
expect_check "$work/product-setup.exe" 0 "${all_verified[@]}"
cp "$work/product-setup.exe" "$work/launcher-changed.exe"
flip "$work/launcher-changed.exe" 5000
mapfile -t inside_verified < <(verified setup.exe setuprt.dll mscuistf.dll)
expect_check "$work/launcher-changed.exe" 1 "${inside_verified[@]}" \
    "setup.inf: error: launcher-changed.exe is signed, but the file was changed after signing"
cp "$work/product-setup.exe" "$work/archive-changed.exe"
# The one byte of doc/one.txt, stored as it stands.
one_byte=$(python3 -c 'import sys, zipfile
i = zipfile.ZipFile(sys.argv[1]).getinfo("doc/one.txt"); print(i.header_offset + 30 + len(i.filename))' \
    "$work/product-setup.exe")
flip "$work/archive-changed.exe" "$one_byte"
expect_check "$work/archive-changed.exe" 1 \
    "setup.inf: error: archive-changed.exe: its entry doc/one.txt is damaged: an entry gives another CRC-32 than the archive records" \
    "setup.inf: error: archive-changed.exe is signed, but the file was changed after signing"

e2e_case builds_that_cannot_sign_leave_no_medium
make_product "$work/product"
make_key "$work" "$password"
# expect_refused DIAGNOSTIC [ARGS...]: signed_build fails with DIAGNOSTIC
# and leaves nothing under the medium's place or beside it.
expect_refused() {
    local want=$1
    shift
    signed_build "$@" && fail "built all the same"
    grep -qxF -- "$want" "$work/build.err" || fail "build said: $(cat "$work/build.err")"
    [ ! -e "$work/medium" ] || fail "a medium was left"
    [ -z "$(ls -A "$work" | grep mkmedia)" ] || fail "left beside: $(ls -A "$work" | grep mkmedia)"
}
inf="$work/product/setup.inf"
password=wrong expect_refused \
    "$inf: error: cannot sign setup.exe: the password in MKMEDIA_SIGN_PASSWORD does not open $work/key.pfx"
mv "$work/key.pfx" "$work/moved.pfx"
expect_refused "$inf: error: cannot read the signing key $work/key.pfx"
printf 'not a key' >"$work/key.pfx"
expect_refused "$inf: error: cannot sign setup.exe: $work/key.pfx is not a PKCS#12 file (.pfx, .p12)"
mv "$work/moved.pfx" "$work/key.pfx"
tool_path=/nonexistent expect_refused \
    "$inf: error: cannot sign setup.exe: osslsigncode is not installed (Debian: apt-get install osslsigncode)"
# No time-stamp server listens on port 9 of this machine.
expect_refused "$inf: error: cannot sign setup.exe: no time stamp from http://127.0.0.1:9/" \
    --timestamp http://127.0.0.1:9/
e2e_done
