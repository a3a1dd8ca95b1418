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
SOFTWARE [Quorvane32]
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

# The private copies live only as long as the run: an unattended run that
# stops at the welcome dialog leaves nothing in TMP.
for kind in nt w95; do
    e2e_case "private_copy_$kind" "$kind"
    script | make_medium "$work/medium"
    : > "$work/answers"
    run_setup "$work/medium" "$work/medium"
    expect_status 3
    expect_line 'abort "answer file exhausted at dialog 100"'
    expect_files 0 "$work/tmp/*"
done

# Neither the start-up folder nor the program's holds the script: the
# dialog proposes the program's folder.
e2e_case source_dialog_relative_path
make_program "$work/program"
mkdir -p "$work/media/disk one"
script > "$work/media/disk one/setup.inf"
cat > "$work/answers" <<'ANS'
dialog 103 CONTINUE EditTextOut="media\disk one"
ANS
run_setup "$work" "$work/program"
expect_status 3
expect_line "set \"EditTextIn\" \"$(as_transcript "$(winpath "$work/program")\\")\""
expect_line 'set "EditFocus" "END"'
expect_line 'dialog 103 CONTINUE'
expect_line 'abort "answer file exhausted at dialog 100"'
expect_files 0 "$work/tmp/*"

# Started from a shortcut, the Run box or a browser, another folder is
# current: the script beside setup.exe is the medium, of every kind.
for medium in floppy:A cdrom:D directory:; do
    e2e_case "started_elsewhere_from_a_${medium%%:*}"
    letter=${medium#*:} dir=$work/medium program=$work/medium
    [ -z "$letter" ] || dir=$SETUP_BUILD/drives/${letter,,} program=$letter:
    rm -rf "${dir:?}"/*
    script | make_medium "$dir"
    mkdir -p "$work/elsewhere"
    printf 'dialog 100 EXIT\ndialog 200 EXIT\n' > "$work/answers"
    run_setup "$work/elsewhere" "$program"
    expect_status 0
    expect_no_line 'dialog 103 CONTINUE'
    expect_line 'dialog 100 EXIT'
    [ -z "$letter" ] || rm -rf "${dir:?}"/*
done

# A banner that the medium lacks or that is no bitmap stops the run before
# its first dialog, naming it.
for banner in missing:"it is not on the installation medium" \
    text:"the banner is not a bitmap (BMP) file" large:"the banner is larger than 1 MB"; do
    e2e_case "banner_${banner%%:*}"
    { echo 'PRODUCT [Pinecone Notes 3.1]'; echo 'BANNER [art\logo.bmp]'; script; } | make_medium "$work/medium"
    mkdir -p "$work/medium/art"
    case ${banner%%:*} in
        text) echo 'not a picture' > "$work/medium/art/LOGO.BMP" ;;
        large) { printf BM; head -c $((1024 * 1024)) /dev/zero; } > "$work/medium/art/logo.bmp" ;;
    esac
    echo 'msgbox OK' > "$work/answers"
    run_setup "$work/medium" "$work/medium"
    expect_status 1
    expect_line "msgbox \"The banner art\\\\logo.bmp that setup.inf names cannot be shown: ${banner#*:}\" \"Fatal Error\" 0 1"
    grep -q '^dialog ' "$work/transcript" && fail "a dialog came before the stop"
    expect_files 0 "$work/tmp/*"
done

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
make_program "$work/program"
run_setup "$work" "$work/program"
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
make_program "$work/program"
run_setup "$work" "$work/program"
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
make_program "$work/program"
run_setup "$work" "$work/program"
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
make_program "$work/program"
run_setup "$work" "$work/program"
expect_status 2
expect_line 'msgbox "Buffer Overflow" "DU-Ruruz Error" 16 1'
expect_line 'dialog 400 CONTINUE'
expect_files 0 "$work/tmp/*"

e2e_case answer_mismatch
script | make_medium "$work/medium"
echo "dialog 300 CONTINUE" > "$work/answers"
make_program "$work/program"
run_setup "$work" "$work/program"
expect_status 3
grep -q '^abort "' "$work/transcript" || fail "no abort line in the transcript"
expect_files 0 "$work/tmp/*"

e2e_case eleven_file_sets
for i in $(seq 0 10); do printf 'FILESET [Set %d]\nBEGIN\nEND 0\n' "$i"; done | make_medium "$work/medium"
echo "msgbox OK" > "$work/answers"
run_setup "$work/medium" "$work/medium"
expect_status 1
expect_line 'msgbox "MAX_FILE_SETS (10) exceed, redfined and re-reun" "Fatal Error" 0 1'
expect_files 0 "$work/tmp/*"

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

# Line ends of every editor: CR LF, a bare LF or a bare CR; a UTF-8 editor's
# byte-order mark before COMPANY. Each installs the tool under the right key.
for ends in crlf lf cr bom; do
    e2e_case "script_line_ends_$ends"
    case $ends in
        crlf) script | sed 's/$/\r/' ;;
        lf) script ;;
        cr) script | tr '\n' '\r' ;;
        bom) printf '\xef\xbb\xbf'; script ;;
    esac | make_medium "$work/medium"
    echo "tool of the medium" > "$work/medium/tool.txt"
    rm -rf "$(drive_c)/usr"
    SETUP_ARGS=/q run_setup "$work/medium" "$work/medium"
    expect_status 0
    expect_file "$(drive_c)/usr/tool.txt" "tool of the medium"
    [ "$(reg_value 'HKLM\Software\Quorvane\Quorvane32\VersionInfo' FileSetName)" = "REG_SZ Base tools" ] ||
        fail "no VersionInfo key under Software\\Quorvane\\Quorvane32"
    expect_files 0 "$work/tmp/*"
    wine reg delete 'HKLM\Software\Quorvane' /f >/dev/null 2>&1
    wine reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvane32' /f >/dev/null 2>&1
    rm -rf "$(drive_c)/usr"
done

# A UTF-16 script, with its byte-order mark or without, cannot be read as
# ANSI text: refused before anything is shown or installed.
for form in UTF-16 UTF-16LE; do
    e2e_case "script_in_$form"
    script | iconv -f ASCII -t "$form" | make_medium "$work/medium"
    echo "tool of the medium" > "$work/medium/tool.txt"
    echo "msgbox OK" > "$work/answers"
    run_setup "$work/medium" "$work/medium"
    expect_status 1
    expect_line 'msgbox "setup.inf is not ANSI text: it holds zero bytes or a UTF-16 byte-order mark. Save it as ANSI text and run Setup again." "Fatal Error" 0 1'
    expect_no_line 'dialog 100 CONTINUE'
    expect_no_file "$(drive_c)/usr/tool.txt"
    expect_files 0 "$work/tmp/*"
done

# setup_with OPTIONS: setup.exe run from the medium with these options
# alone (no transcript of the harness's own).
setup_with() {
    (cd "$work/medium" && wine cmd /c "set TMP=$(winpath "$work/tmp")&& setup.exe $1" </dev/null >"$work/stdout" 2>&1)
    status=$?
}

# The transcript is made before the script is read: it may take the place
# of neither the script nor the answers. Both stay as they were.
e2e_case transcript_naming_the_script
script | make_medium "$work/medium"
cp "$work/medium/setup.inf" "$work/script.orig"
setup_with "/q /t setup.inf"
expect_status 2
grep -q 'would overwrite the setup script' "$work/stdout" || fail "no reason given: $(cat "$work/stdout")"
cmp -s "$work/medium/setup.inf" "$work/script.orig" || fail "setup.inf was changed"

e2e_case transcript_naming_the_answers
script | make_medium "$work/medium"
printf 'dialog 100 EXIT\ndialog 200 EXIT\n' > "$work/answers"
cp "$work/answers" "$work/answers.orig"
setup_with "/a $(winpath "$work/answers") /t $(winpath "$work/answers")"
expect_status 2
grep -q 'would overwrite the answer file' "$work/stdout" || fail "no reason given: $(cat "$work/stdout")"
cmp -s "$work/answers" "$work/answers.orig" || fail "the answer file was changed"

# Nor of a file that holds something else: a file of the medium (or an
# installation log, a document) stays; an earlier transcript is replaced.
e2e_case transcript_naming_a_payload_file
script | make_medium "$work/medium"
printf 'MZ payload\0\1' > "$work/medium/tool.txt"
cp "$work/medium/tool.txt" "$work/tool.orig"
setup_with "/q /t tool.txt"
expect_status 2
grep -q 'would overwrite a file that is no transcript or recording of Setup' "$work/stdout" ||
    fail "no reason given: $(cat "$work/stdout")"
cmp -s "$work/medium/tool.txt" "$work/tool.orig" || fail "the payload file was changed"

# In the destination it would be overwritten by the installation or taken
# away with it: refused before anything is written.
e2e_case transcript_in_the_destination
script | make_medium "$work/medium"
echo "tool of the medium" > "$work/medium/tool.txt"
rm -rf "$(drive_c)/usr" && mkdir "$(drive_c)/usr"
setup_with "/q /t C:\\usr\\notes.txt"
expect_status 1
grep -q 'lies in C:\\\\usr, where Setup installs' "$(drive_c)/usr/notes.txt" ||
    fail "no reason given: $(cat "$(drive_c)/usr/notes.txt")"
[ "$(ls "$(drive_c)/usr")" = notes.txt ] || fail "written beside the transcript: $(ls "$(drive_c)/usr")"
rm -rf "$(drive_c)/usr"

# A transcript that cannot be written whole: the run finishes, but the
# record of it is incomplete, and the exit code says so.
e2e_case transcript_on_a_full_device
script | make_medium "$work/medium"
echo "tool of the medium" > "$work/medium/tool.txt"
rm -rf "$(drive_c)/usr"
setup_with "/q /t Z:\\dev\\full"
expect_status 2
expect_file "$(drive_c)/usr/tool.txt" "tool of the medium"
wine reg delete 'HKLM\Software\Quorvane' /f >/dev/null 2>&1
wine reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvane32' /f >/dev/null 2>&1
rm -rf "$(drive_c)/usr"

e2e_done
