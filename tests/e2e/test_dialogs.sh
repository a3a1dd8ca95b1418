#!/usr/bin/env bash
# The dialog sequence: every row of its state table, checked against the
# transcript. Most runs end with a confirmed quit, so nothing is installed.
. "$(dirname "$0")/lib.sh"

script() {
    cat <<'INF'
COMPANY [Quorvane]
FILESET [Setup files]
BEGIN
END 0
FILESET [Base tools]
EXPRESS
BEGIN
END 90112
FILESET [Samples]
BEGIN
END 1000000
FILESET [Big data]
BEGIN
END 3000000
INF
}

# R: is a RAM disk; a small file system mounted on it gives a drive whose
# free space the test knows.
small_drive="$SETUP_BUILD/drives/r"
if mount -t tmpfs -o size=2m tmpfs "$small_drive" 2>/dev/null; then
    trap 'umount "$small_drive"' EXIT
    have_small_drive=1
else
    echo "note: cannot mount a small file system here; the drive-too-small cases are not run"
    have_small_drive=0
fi

quit_here() { printf 'dialog 200 EXIT\n'; }

e2e_case welcome_and_quit_dialog
script | make_medium "$work/medium"
cat > "$work/answers" <<'ANS'
dialog 100 CANCEL
dialog 200 CANCEL
dialog 100 EXIT
dialog 200 BACK
dialog 200 OTHER
dialog 200 CONTINUE
dialog 100 BACK
dialog 100 CONTINUE
dialog 300 EXIT
ANS
quit_here >> "$work/answers"
run_setup "$work/medium" "$work/medium"
expect_status 0
expect_line 'dialog 200 BACK'
expect_line 'dialog 300 EXIT'
expect_files 0 "$work/tmp/pex*.tmp"

e2e_case destination_checks
script | make_medium "$work/medium"
cat > "$work/answers" <<'ANS'
dialog 100 CONTINUE
dialog 300 CONTINUE EditTextOut=C
dialog 6400 CONTINUE
dialog 300 CONTINUE EditTextOut=D:
dialog 6400 CONTINUE
dialog 300 CONTINUE EditTextOut=a:\
dialog 6400 CANCEL
dialog 300 CONTINUE EditTextOut=Q:
dialog 6400 CONTINUE
dialog 300 CONTINUE EditTextOut=1:
dialog 6400 EXIT
dialog 200 CANCEL
dialog 6400 CONTINUE
dialog 300 BACK
dialog 100 CONTINUE
dialog 300 CANCEL
dialog 100 CONTINUE
dialog 300 CONTINUE "EditTextOut=n:\some\dir"
dialog 800 CONTINUE ButtonChecked=2
dialog 6200 EXIT
ANS
quit_here >> "$work/answers"
run_setup "$work/medium" "$work/medium"
expect_status 0
expect_line 'set "EditTextIn" "C:"'
expect_line 'add "DriveStatusText" "n:"'
expect_line 'add "DriveStatusText" "n:\\usr"'
[ "$(grep -c '^dialog 6400 ' "$work/transcript")" -eq 6 ] || fail "expected six refusals"
# Each refusal names the drive and its kind.
for said in 'set "LocationName" "D:"' 'set "LocationKind" "a CD-ROM drive"' 'set "LocationName" "a:"' \
    'set "LocationKind" "a floppy or removable disk drive"' 'set "LocationName" "Q:"'; do
    expect_line "$said"
done

e2e_case install_type_and_custom
script | make_medium "$work/medium"
cat > "$work/answers" <<'ANS'
dialog 100 CONTINUE
dialog 300 CONTINUE "EditTextOut=C:\Program Files"
dialog 800 BACK
dialog 300 CONTINUE EditTextOut=C:
dialog 800 CANCEL
dialog 200 CONTINUE
dialog 800 EXIT
dialog 200 CANCEL
dialog 800 OTHER
dialog 800 CONTINUE ButtonChecked=2
dialog 6200 CHK2
dialog 6200 CHK3
dialog 6200 CHK9
dialog 6200 CHK0
dialog 6200 CHK3
dialog 6200 BACK
dialog 800 CONTINUE ButtonChecked=2
dialog 6200 CANCEL
dialog 200 CONTINUE
dialog 6200 EXIT
ANS
quit_here >> "$work/answers"
run_setup "$work/medium" "$work/medium"
expect_status 0
expect_line 'add "StatusItemsText" "Base tools"'
expect_line 'add "StatusItemsText" "Big data"'
expect_no_line 'add "StatusItemsText" "Setup files"'
expect_line 'add "DriveStatusText" "C:\\usr"'
for figure in "90  KB" "1090  KB" "4090  KB"; do
    expect_line "add \"DriveStatusText\" \"$figure\""
done
# Space available as the system reports it, beyond 2 GB (Wine gives C:
# the Linux file system's free space).
available=$(grep '^add "DriveStatusText"' "$work/transcript" | sed -n '3s/^add "DriveStatusText" "\([0-9]*\)  KB"$/\1/p')
free=$(($(df -B1 --output=avail "$(drive_c)" | tail -n 1) / 1000))
if [ "$free" -gt 2147483 ]; then
    [ -n "$available" ] && [ $((available > free ? available - free : free - available)) -lt $((free / 100)) ] ||
        fail "space available ${available:-not shown} KB, the system has $free KB"
fi
# Back from custom shows the install type again with custom checked.
[ "$(grep -c '^set "RadioDefault" "2"' "$work/transcript")" -ge 1 ] || fail "custom not checked after back"
# CHK9 and CHK0 change nothing: the figure after them is still 4090 KB.
awk '/^dialog 6200 CHK9/ {seen = 1} seen && /KB"$/ {print; exit}' "$work/transcript" | grep -q '"4090  KB"' ||
    fail "an unlisted file set changed the figures"

if [ "$have_small_drive" = 1 ]; then
    e2e_case selection_too_large_for_the_drive
    script | make_medium "$work/medium"
    cat > "$work/answers" <<'ANS'
dialog 100 CONTINUE
dialog 300 CONTINUE EditTextOut=R:
dialog 800 CONTINUE ButtonChecked=2
dialog 6200 CHK3
dialog 6200 CONTINUE
msgbox OK
dialog 6200 PATH
dialog 300 CONTINUE EditTextOut=R:
msgbox OK
dialog 300 CONTINUE EditTextOut=C:
dialog 6200 CHK3
dialog 6200 PATH
dialog 300 CONTINUE EditTextOut=R:
dialog 6200 EXIT
ANS
    quit_here >> "$work/answers"
    run_setup "$work/medium" "$work/medium"
    expect_status 0
    expect_line 'msgbox "Insufficient Disk Space to \t\t\t\t\t\t\t\t\tInstall all selected file sets" "Error" 0 1'
    expect_line 'msgbox "Insufficient Disk space for minimum install" "Alert" 0 1'
    expect_line 'add "DriveStatusText" "R:\\usr"'
    expect_line 'add "DriveStatusText" "2097  KB"'

    # The payload alone would fit the 2 MB drive; with the uninstaller's
    # copy of the program files and its log it would not.
    e2e_case minimum_too_large_for_the_drive
    sed 's/END 90112/END 1700000/' <(script) | make_medium "$work/medium"
    cat > "$work/answers" <<'ANS'
dialog 100 CONTINUE
dialog 300 CONTINUE EditTextOut=r
dialog 6400 CONTINUE
dialog 300 CONTINUE EditTextOut=r:
msgbox OK
dialog 300 EXIT
ANS
    quit_here >> "$work/answers"
    run_setup "$work/medium" "$work/medium"
    expect_status 0
    expect_line 'msgbox "Insufficient Disk space for minimum install" "Alert" 0 1'
fi

# An answer without values goes on with what the dialog shows, as a user
# pressing Continue without typing: the destination offered (C:) is taken.
e2e_case continue_without_values
script | make_medium "$work/medium"
printf 'dialog 100 CONTINUE\ndialog 300 CONTINUE\ndialog 800 EXIT\ndialog 200 EXIT\n' > "$work/answers"
run_setup "$work/medium" "$work/medium"
expect_clean_end 0
expect_line 'set "EditTextOut" "C:"'
expect_line 'dialog 800 EXIT'
expect_no_line 'dialog 6400 CONTINUE'

# Answers that can never get past the destination end the run with a reason
# instead of going round for ever.
e2e_case answers_that_never_finish
script | make_medium "$work/medium"
{ echo 'dialog 100 CONTINUE'; for i in $(seq 120); do echo 'dialog * CONTINUE EditTextOut=Q:'; done; } > "$work/answers"
run_setup "$work/medium" "$work/medium"
expect_clean_end 3
expect_line 'abort "endless loop: dialog 300 answered 50 times"'
grep -q 'endless loop: dialog 300 answered 50 times' "$work/stdout" || fail "no reason on the standard error"

# Continue with every set unchecked would install nothing and then say the
# product is installed: a message keeps the custom dialog.
e2e_case custom_with_nothing_checked
script | make_medium "$work/medium"
cat > "$work/answers" <<'ANS'
dialog 100 CONTINUE
dialog 300 CONTINUE EditTextOut=C:
dialog 800 CONTINUE ButtonChecked=2
dialog 6200 CHK1
dialog 6200 CONTINUE
msgbox OK
dialog 6200 EXIT
dialog 200 EXIT
ANS
run_setup "$work/medium" "$work/medium"
expect_status 0
expect_line 'msgbox "No part is selected. Check the parts to install, or choose Exit to quit Setup." "Custom Installation" 0 1'
expect_line 'dialog 6200 EXIT'
expect_no_line 'dialog 700 CONTINUE'

e2e_done
