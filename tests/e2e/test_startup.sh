#!/usr/bin/env bash
# Start-up: TMP, the private copy of the script, the source dialog, quitting,
# the failure path and the answer file's own checks.
. "$(dirname "$0")/lib.sh"

script() {
    cat <<'INF'
; a small product
COMPANY [Quorvane]
FILESET [Setup files]
BEGIN
END 0
FILESET [Base tools]
EXPRESS
BEGIN
F tool.txt tool.txt
END 10
INF
}

e2e_case tmp_undefined
script | make_medium "$work/medium"
echo "msgbox OK" > "$work/answers"
run_setup "$work/medium" "$work/medium" -
expect_status 1
expect_line 'msgbox "Cannot Find TMP directory, Please define a \t\tTMP= Directory and run Setup again." "Fatal Error" 0 1'

for kind in nt w95; do
    e2e_case "private_copy_$kind" "$kind"
    script | make_medium "$work/medium"
    # The answers run out at the welcome dialog: the run stops there with
    # its private copy still in TMP, on either family its only file there
    # (the 95 family's expand.exe writes beside the destination).
    : > "$work/answers"
    run_setup "$work/medium" "$work/medium"
    expect_status 3
    expect_line 'abort "answer file exhausted at dialog 100"'
    expect_files 1 "$work/tmp/*"
    copies=0
    for f in "$work"/tmp/pex*.tmp; do cmp -s "$work/medium/setup.inf" "$f" && copies=$((copies + 1)); done
    [ "$copies" -eq 1 ] || fail "$copies private copies equal setup.inf, expected 1"
done

e2e_case source_dialog_relative_path
script | make_medium "$work/program"
mkdir -p "$work/media/disk one"
cp "$work/program/setup.inf" "$work/media/disk one/"
cat > "$work/answers" <<'ANS'
dialog 103 CONTINUE EditTextOut="media\disk one"
ANS
run_setup "$work" "$work/program"
expect_status 3
expect_line 'set "EditTextIn" "A:\\"'
expect_line 'set "EditFocus" "END"'
expect_line 'dialog 103 CONTINUE'
expect_files 1 "$work/tmp/pex*.tmp"
cmp -s "$work/media/disk one/setup.inf" "$work"/tmp/pex*.tmp || fail "the private copy differs from setup.inf"

e2e_case directory_without_script
script | make_medium "$work/medium"
mkdir -p "$work/empty"
cat > "$work/answers" <<ANS
dialog 103 CONTINUE EditTextOut=$(winpath "$work/empty")
dialog 6400 CONTINUE
dialog 103 CONTINUE EditTextOut=$(winpath "$work/medium")\\
dialog 100 EXIT
dialog 200 EXIT
ANS
run_setup "$work" "$work/medium"
expect_status 0
expect_line 'dialog 6400 CONTINUE'
expect_line 'dialog 100 EXIT'
expect_files 0 "$work/tmp/pex*.tmp"

e2e_case network_source_refused
script | make_medium "$work/medium"
script > "$SETUP_BUILD/drives/n/setup.inf"
cat > "$work/answers" <<'ANS'
dialog 103 CONTINUE EditTextOut=N:\
dialog 6400 CONTINUE
dialog 103 EXIT
dialog 200 EXIT
ANS
run_setup "$work" "$work/medium"
expect_status 0
expect_line 'dialog 6400 CONTINUE'
expect_files 0 "$work/tmp/pex*.tmp"
rm -f "$SETUP_BUILD/drives/n/setup.inf"

e2e_case quit_from_source_dialog
script | make_medium "$work/medium"
cat > "$work/answers" <<'ANS'
dialog 103 EXIT
dialog 200 CANCEL
dialog 103 EXIT
dialog 200 EXIT
ANS
run_setup "$work" "$work/medium"
expect_status 0
expect_line 'dialog 200 CANCEL'
expect_line 'dialog 200 EXIT'
expect_files 0 "$work/tmp/pex*.tmp"

e2e_case event_word_overflow
script | make_medium "$work/medium"
cat > "$work/answers" <<'ANS'
dialog 103 CONTINUE_AND_MORE
msgbox OK
dialog 400 CONTINUE
ANS
run_setup "$work" "$work/medium"
expect_status 2
expect_line 'msgbox "Buffer Overflow" "DU-Ruruz Error" 16 1'
expect_line 'dialog 400 CONTINUE'

e2e_case answer_mismatch
script | make_medium "$work/medium"
echo "dialog 300 CONTINUE" > "$work/answers"
run_setup "$work" "$work/medium"
expect_status 3
grep -q '^abort "' "$work/transcript" || fail "no abort line in the transcript"

e2e_case eleven_file_sets
for i in $(seq 0 10); do printf 'FILESET [Set %d]\nBEGIN\nEND 0\n' "$i"; done | make_medium "$work/medium"
echo "msgbox OK" > "$work/answers"
run_setup "$work/medium" "$work/medium"
expect_status 1
expect_line 'msgbox "MAX_FILE_SETS (10) exceed, redfined and re-reun" "Fatal Error" 0 1'

e2e_case usage
script | make_medium "$work/medium"
echo "msgbox OK" > "$work/answers"
SETUP_ARGS="/?" run_setup "$work/medium" "$work/medium"
expect_status 0
expect_files 0 "$work/tmp/pex*.tmp"

e2e_case unknown_option
script | make_medium "$work/medium"
: > "$work/answers"
SETUP_ARGS="/q /frobnicate" run_setup "$work/medium" "$work/medium"
expect_status 2
expect_files 0 "$work/tmp/pex*.tmp"

e2e_done
