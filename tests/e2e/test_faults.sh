#!/usr/bin/env bash
# Faults during an installation: a source that is missing or damaged, a
# destination taken by a file, no expand.exe, a diskette that never comes, no
# usable TMP, a quit from the progress window. Each ends in its documented
# message and exit code; the files installed before the fault and a file of
# an earlier installation in R:\usr stay whole. A full or read-only
# destination, a kill and the other faults of writing a file, on both
# families, plain and compressed: test_whole_files.sh.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/faults_lib.sh"

# A source file missing in the middle of a set: the copy stops there and the
# earlier installation's version of that file is left as it was.
e2e_case source_missing_mid_set
script "NOT COMPRESSED" 150 a.txt b.txt c.txt | make_medium "$work/medium"
payload "$work/medium" no a.txt c.txt
earlier_installation
echo "b of the earlier installation" > "$dest/b.txt"
printf '%s\n' "${to_install[@]}" 'msgbox OK' > "$work/answers"
run_setup "$work/medium" "$work/medium"
stopped_after "Error 0x2 Copying File $(as_transcript "$(winpath "$work/medium")\\b.txt") to R:\\\\usr\\\\b.txt\\n" a.txt
expect_intact "$dest/b.txt" "b of the earlier installation"
expect_no_file "$dest/c.txt"
reliability_log

e2e_case compressed_source_missing
script COMPRESSED 150 a.txt b.txt c.txt | make_medium "$work/medium"
payload "$work/medium" yes a.txt c.txt
earlier_installation
echo "b of the earlier installation" > "$dest/b.txt"
printf '%s\n' "${to_install[@]}" 'msgbox OK' > "$work/answers"
run_setup "$work/medium" "$work/medium"
stopped_after "Error expanding file $(as_transcript "$(winpath "$work/medium")\\b.txt_")" a.txt
expect_intact "$dest/b.txt" "b of the earlier installation"
reliability_log

# Cut inside the header, the file has the signature but no length: it is
# damaged, although expand.exe copies it as it is.
e2e_case compressed_source_cut_in_its_header
script COMPRESSED 150 a.txt b.txt | make_medium "$work/medium"
payload "$work/medium" yes a.txt b.txt
head -c 10 "$work/medium/b.txt_" > "$work/cut" && mv "$work/cut" "$work/medium/b.txt_"
earlier_installation
printf '%s\n' "${to_install[@]}" 'msgbox OK' > "$work/answers"
run_setup "$work/medium" "$work/medium"
stopped_after "Error expanding file $(as_transcript "$(winpath "$work/medium")\\b.txt_")" a.txt
reliability_log

# The 95 family looks for expand.exe in the Windows directory; it gets the
# files in another format than the compressor's (here the text as it is).
# The source D:\a.tx_ is its own short path name.
e2e_case expand_exe_missing w95
rm -rf "${SETUP_BUILD:?}/drives/d/"*
script COMPRESSED 150 a.tx | make_medium "$SETUP_BUILD/drives/d"
content_of a.tx > "$SETUP_BUILD/drives/d/a.tx_"
earlier_installation
echo "a of the earlier installation" > "$dest/a.tx"
mv "$w95_expand" "$w95_expand.away"
printf '%s\n' "${to_install[@]}" 'msgbox OK' > "$work/answers"
run_setup 'D:\' 'D:'
mv "$w95_expand.away" "$w95_expand"
# The target is the short name of the temporary file beside R:\usr\a.tx,
# which is gone again with nothing else of the run.
expect_clean_end 1
expect_intact "$dest/earlier.txt" "$earlier"
short_name='[^]["\\ .]{1,8}(\.[^]["\\ .]{1,3})?'
grep -qE "^msgbox \"Error Creating process C:\\\\\\\\windows\\\\\\\\expand.exe C:\\\\\\\\windows\\\\\\\\expand.exe D:\\\\\\\\a.tx_ R:\\\\\\\\usr\\\\\\\\$short_name\\\\n\" \"Fatal Error\" 0 1\$" "$work/transcript" ||
    fail "no fatal stop naming expand.exe and a short target beside the destination: $(grep -m1 '^msgbox' "$work/transcript")"
expect_intact "$dest/a.tx" "a of the earlier installation"
# The program's copy, made before the first file, stays for the entry.
[ "$(ls -A "$dest" | tr '\n' ' ')" = "a.tx earlier.txt uninstall-Quorvane-Quorvane32 " ] ||
    fail "left in R:\\usr: $(ls -A "$dest" | tr '\n' ' ')"
reliability_log
rm -rf "${SETUP_BUILD:?}/drives/d/"*

# R:\usr is a file of the user's: the directory cannot be made there.
e2e_case destination_taken_by_a_file
script "NOT COMPRESSED" 150 a.txt | make_medium "$work/medium"
payload "$work/medium" no a.txt
rm -rf "$dest"
echo "a file of the user's" > "$dest"
printf '%s\n' "${to_install[@]}" 'msgbox OK' > "$work/answers"
run_setup "$work/medium" "$work/medium"
expect_clean_end 1
# The program's copy is the first thing written there.
expect_line 'msgbox "Cannot register the uninstallation of Quorvane32" "Fatal Error" 0 1'
expect_intact "$dest" "a file of the user's"
reliability_log
rm -f "$dest"

# A diskette that never comes: a quiet run answers the prompt with OK again
# and again, and ends as an unattended run that cannot get further instead
# of waiting for ever. Quiet, it installs to C:\usr.
e2e_case diskette_never_inserted
floppy="$SETUP_BUILD/drives/a"
rm -rf "${floppy:?}"/* "$(drive_c)/usr"
printf 'COMPANY [Quorvane]\nFLOPPY DISK IMAGE\nFILESET [Setup files]\nBEGIN\nEND 0\nFILESET [Base tools]\nSOFTWARE [Quorvane32]\nEXPRESS\nBEGIN\nF a.txt a.txt\nCHANGEDISK 2\nF b.txt b.txt\nEND 150\n' |
    make_medium "$floppy"
payload "$floppy/FILES" no a.txt b.txt
touch "$floppy/DISKID1"
SETUP_ARGS=/q run_setup 'A:\' 'A:'
expect_clean_end 3
expect_line 'abort "endless loop: msgbox \"Please Insert DISK Labeled 2 \\n into Drive A:\" answered 50 times"'
expect_intact "$(drive_c)/usr/a.txt" "$(content_of a.txt)"
expect_no_file "$(drive_c)/usr/b.txt"
reliability_log
rm -rf "${floppy:?}"/* "$(drive_c)/usr"

# TMP names a directory that is not there, or a name longer than a path.
e2e_case tmp_directory_missing
script "NOT COMPRESSED" 150 a.txt | make_medium "$work/medium"
payload "$work/medium" no a.txt
earlier_installation
SETUP_ARGS=/q run_setup "$work/medium" "$work/medium" "$(winpath "$work/no such directory")"
stopped_after "Cannot create temp file"
reliability_log

e2e_case tmp_name_too_long
script "NOT COMPRESSED" 150 a.txt | make_medium "$work/medium"
payload "$work/medium" no a.txt
earlier_installation
SETUP_ARGS=/q run_setup "$work/medium" "$work/medium" "C:\\$(printf 'd%.0s' {1..300})"
stopped_after "The TMP directory name is too long"
reliability_log

# A destination drive too small: a small tmpfs as R:. The space check of
# the destination dialog catches a set whose size says so (a set that
# understates it runs the drive full: test_whole_files.sh).
if mountpoint -q "$drive_r" || ! mount_error=$(mount -t tmpfs -o size=256k tmpfs "$drive_r" 2>&1); then
    not_run space_check_refuses_a_full_drive "no tmpfs can be mounted on $drive_r here (${mount_error:-it is a mount point already})"
else
    e2e_case space_check_refuses_a_full_drive
    script "NOT COMPRESSED" 1000000 a.txt big.bin | make_medium "$work/medium"
    payload "$work/medium" no a.txt
    head -c 1000000 /dev/zero > "$work/medium/big.bin"
    earlier_installation
    printf '%s\n' 'dialog 100 CONTINUE' 'dialog 300 CONTINUE EditTextOut=R:' 'msgbox OK' \
        'dialog 300 EXIT' 'dialog 200 EXIT' > "$work/answers"
    run_setup "$work/medium" "$work/medium"
    expect_clean_end 0
    expect_line 'msgbox "Insufficient Disk space for minimum install" "Alert" 0 1'
    expect_line 'dialog 200 EXIT'
    expect_intact "$dest/earlier.txt" "$earlier"
    expect_no_file "$dest/a.txt"
    reliability_log

    rm -rf "$dest"
    umount "$drive_r"
fi

# The progress window's Cancel button, clicked while many files and a large
# one in their middle are expanded; the quit dialog is answered from the
# file. Quitting keeps what was copied, every file whole, removes the part
# of the file being written and leaves nothing in TMP.
small_files=(f{001..120}.txt)
progress_files=("${small_files[@]:0:60}" big.bin "${small_files[@]:60}")
wait_for_window() {
    local i id
    for ((i = 0; i < $2 * 10; i++)); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}
click_cancel_when_copying() {
    local window width height
    window=$(wait_for_window "Quorvane/32 Setup - Copying Files" 60) || { fail "no progress window"; return; }
    width=$(xwininfo -id "$window" | awk '/Width:/ {print $2}')
    height=$(xwininfo -id "$window" | awk '/Height:/ {print $2}')
    # Cancel: 40 of 208 dialog units left of the right edge, 17 of 136 above the bottom.
    xdotool mousemove --window "$window" $((width - width * 40 / 208)) $((height - height * 17 / 136)) click 1
}
e2e_case cancel_in_progress_window_then_quit
script COMPRESSED 0 "${progress_files[@]}" | make_medium "$work/medium"
payload "$work/medium" yes "${small_files[@]}" >/dev/null
zeros "$work/medium" big.bin compressed 400000000
earlier_installation
printf '%s\n' "${to_install[@]}" 'dialog 200 EXIT' > "$work/answers"
(run_setup "$work/medium" "$work/medium"; echo "$status" > "$work/status") &
click_cancel_when_copying
wait
status=$(cat "$work/status")
expect_clean_end 0
expect_line 'dialog 200 EXIT'
expect_intact "$dest/earlier.txt" "$earlier"
copied=0
for f in "${small_files[@]}"; do
    [ -e "$dest/$f" ] || continue
    copied=$((copied + 1))
    expect_intact "$dest/$f" "$(content_of "$f")"
done
echo "    quit after $copied of 121 files"
[ ! -e "$dest/big.bin" ] || fail "the quit came only after the large file"
expect_files 0 "$dest/*.~part"
expect_no_line 'group "Quorvane32"'
expect_files 0 "$work/tmp/pex*.tmp"
reliability_log

e2e_done
