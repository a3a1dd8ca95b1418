#!/usr/bin/env bash
# The copy-progress window on a real run: a screenshot mid-copy; Cancel
# hides it and asks to quit; going on brings it back and the copy goes on.
. "$(dirname "$0")/lib.sh"

dest="$SETUP_BUILD/drives/r/usr"
env_key='HKLM\System\CurrentControlSet\Control\Session Manager\Environment'
saved_path=$(reg_value "$env_key" Path | cut -d' ' -f2-)
trap 'wine reg add "$env_key" /v Path /t REG_EXPAND_SZ /d "$saved_path" /f >/dev/null 2>&1
      wine reg delete "HKLM\Software\Quorvane" /f >/dev/null 2>&1
      rm -rf "$(drive_c)/ProgramData/Microsoft/Windows/Start Menu/Programs/Progress" "$dest"' EXIT

# Enough compressed files that the copy lasts a few seconds: each is
# expanded by a child process of its own.
files=150
e2e_case cancel_and_go_on
mkdir -p "$work/medium"
for i in $(seq 1 $files); do
    seq 1 $((200 + i)) > "$work/medium/data$i.txt"
done
size=$(cat "$work/medium"/data*.txt | wc -c)
(cd "$work/medium" && mscompress data*.txt && rm data*.txt)
{
    printf 'COMPANY [Quorvane]\nCOMPRESSED\nFILESET [Setup files]\nBEGIN\nEND 0\n'
    printf 'FILESET [Data]\nEXPRESS\nSOFTWARE [Progress]\nBEGIN\nD data\n'
    for i in $(seq 1 $files); do printf 'F data%d.txt_ data\\data%d.txt\n' "$i" "$i"; done
    printf 'END %d\n' "$size"
} | make_medium "$work/medium"
rm -rf "$dest"

start_setup "$work/medium" "$work/medium"
express_to R:
if progress=$(wait_for_window "Copying Files"); then
    sleep 1
    screenshot progress_window
    keys "$progress" Escape
    if quit=$(wait_for_window "Exit Setup"); then
        xwininfo -id "$progress" | grep -q 'IsUnMapped' || fail "the progress window stays on screen while Setup asks"
        screenshot progress_cancelled
        before=$(ls "$dest/data" | wc -l)
        sleep 1
        [ "$(ls "$dest/data" | wc -l)" -eq "$before" ] || fail "the copy went on while Setup asked to quit"
        keys "$quit" Return  # Continue
        wait_for_line 'dialog 200 CONTINUE'
        sleep 0.5
        xwininfo -id "$progress" | grep -q 'IsViewable' || fail "the progress window did not come back"
        screenshot progress_resumed
    fi
fi
if finished=$(wait_for_window "Installation Complete" 120); then keys "$finished" Return; fi
finish_setup
expect_line 'dialog 700 CONTINUE'
[ "$(ls "$dest/data" 2>/dev/null | wc -l)" -eq "$files" ] || fail "not every file was installed"
cmp -s <(seq 1 $((200 + files))) "$dest/data/data$files.txt" || fail "the last file differs"

e2e_done
