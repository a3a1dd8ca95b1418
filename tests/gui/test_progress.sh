#!/usr/bin/env bash
# The copy-progress window on a real run: a screenshot while a large file
# is decoded; Cancel within that file hides the window and asks to quit at
# once, the file's writing waits meanwhile; going on brings the window back
# and the copy goes on.
. "$(dirname "$0")/lib.sh"

dest="$SETUP_BUILD/drives/r/usr"
env_key='HKLM\System\CurrentControlSet\Control\Session Manager\Environment'
saved_path=$(reg_value "$env_key" Path | cut -d' ' -f2-)
trap 'wine reg add "$env_key" /v Path /t REG_EXPAND_SZ /d "$saved_path" /f >/dev/null 2>&1
      wine reg delete "HKLM\Software\Quorvane" /f >/dev/null 2>&1
      rm -rf "$(drive_c)/ProgramData/Microsoft/Windows/Start Menu/Programs/Progress" "$dest"' EXIT

# Compressed files, a large one among them that takes a few seconds.
files=150 big=2000000000
e2e_case cancel_and_go_on
mkdir -p "$work/medium"
for i in $(seq 1 $files); do
    seq 1 $((200 + i)) > "$work/medium/data$i.txt"
done
size=$(( $(cat "$work/medium"/data*.txt | wc -c) + big ))
(cd "$work/medium" && mscompress data*.txt && rm data*.txt)
zeros "$work/medium" big.bin compressed "$big"
{
    printf 'COMPANY [Quorvane]\nCOMPRESSED\nFILESET [Setup files]\nBEGIN\nEND 0\n'
    printf 'FILESET [Data]\nEXPRESS\nSOFTWARE [Progress]\nBEGIN\nD data\n'
    for i in $(seq 1 $files); do
        printf 'F data%d.txt_ data\\data%d.txt\n' "$i" "$i"
        [ "$i" = 10 ] && printf 'F big.bin_ data\\big.bin\n'
    done
    printf 'END %d\n' "$size"
} | make_medium "$work/medium"
rm -rf "$dest"

start_setup "$work/medium" "$work/medium"
express_to R:
# A new file: written under its own name.
part="$dest/data/big.bin"
part_size() { stat -c %s "$part" 2>/dev/null || echo 0; }
if progress=$(wait_for_window "Copying Files"); then
    for ((i = 0; i < 200 && $(part_size) == 0; i++)); do sleep 0.05; done
    [ "$(part_size)" -gt 0 ] || fail "big.bin was never seen while it was written"
    screenshot progress_window
    started=$(date +%s%N)
    keys "$progress" Escape
    if quit=$(wait_for_window "Exit Setup"); then
        answered_ms=$(( ($(date +%s%N) - started) / 1000000 ))
        echo "    the quit dialog came ${answered_ms} ms after Esc"
        # Well within a second, though the file takes several.
        [ "$answered_ms" -lt 1000 ] || fail "Esc was answered only after ${answered_ms} ms"
        [ "$(part_size)" -lt "$big" ] || fail "big.bin was whole before Esc was answered"
        xwininfo -id "$progress" | grep -q 'IsUnMapped' || fail "the progress window stays on screen while Setup asks"
        screenshot progress_cancelled
        before=$(part_size)
        sleep 1
        [ "$(part_size)" -eq "$before" ] || fail "the copy went on while Setup asked to quit"
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
[ "$(ls "$dest/data" 2>/dev/null | wc -l)" -eq $((files + 1)) ] || fail "not every file was installed"
[ "$(stat -c %s "$dest/data/big.bin" 2>/dev/null)" = "$big" ] || fail "big.bin is not whole"
cmp -s <(seq 1 $((200 + files))) "$dest/data/data$files.txt" || fail "the last file differs"

e2e_done
