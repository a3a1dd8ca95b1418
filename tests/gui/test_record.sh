#!/usr/bin/env bash
# An installation recorded as a user gives it (/r), driven by keys and a
# click, then given again from the recording (/a) with the destination and
# the registry cleaned as on another machine: the same transcript, the same
# installed tree, the same registry values and Start-menu entries.
. "$(dirname "$0")/lib.sh"

dest="$SETUP_BUILD/drives/r/usr"
programs() { printf '%s/ProgramData/Microsoft/Windows/Start Menu/Programs' "$(drive_c)"; }

script() {
    cat <<'INF'
COMPANY [Recorded]
FILESET [Setup files]
BEGIN
END 0
FILESET [Recorder core]
EXPRESS
SOFTWARE [Recorder32]
MAJORVERSION [1]
BEGIN
D bin
P rec.exe bin\rec.exe bin\rec.exe [Recorder]
F core.txt core.txt
END 200
FILESET [Recorder samples]
SOFTWARE [Recorder32]
BEGIN
D samples
F sample.txt samples\sample.txt
END 100
FILESET [Recorder extras]
SOFTWARE [Recorder32]
BEGIN
F extra.txt extra.txt
END 100
INF
}

forget_installation() {
    wine reg delete 'HKLM\Software\Recorded' /f >/dev/null 2>&1
    wine reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Recorded-Recorder32' /f >/dev/null 2>&1
    wine reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\rec.exe' /f >/dev/null 2>&1
    rm -rf "$(programs)/Recorder32" "$dest"
}

# snapshot NAME: the installed tree, the registry values and the shortcuts,
# kept under $work/NAME, without the time of installation; the transcript
# with the free space masked (the first run's own files change it).
snapshot() {
    mkdir -p "$work/$1"
    cp -a "$dest" "$work/$1/tree"
    mv "$work/$1/tree/uninstall-Recorded-Recorder32.log" "$work/$1/log"
    sed -i '/"InstallTime"/d' "$work/$1/log"
    wine reg query 'HKLM\Software\Recorded' /s 2>/dev/null | tr -d '\r' > "$work/$1/registry"
    wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Recorded-Recorder32' /s 2>/dev/null |
        tr -d '\r' >> "$work/$1/registry"
    sed -i '/InstallTime\|InstallDate\|LogCrc\|LogSize/d' "$work/$1/registry"
    (cd "$(programs)" && find Recorder32 | sort) > "$work/$1/shortcuts"
    awk '/^set "DriveStatusText" ""/ { n = 0 } /^add "DriveStatusText"/ && ++n == 3 { $0 = "add \"DriveStatusText\" FREE" } 1' \
        "$work/transcript" > "$work/$1/transcript"
}

e2e_case record_then_replay
trap forget_installation EXIT
forget_installation
script | make_medium "$work/medium"
echo "the recorder program" > "$work/medium/rec.exe"
echo "the core of the recorder" > "$work/medium/core.txt"
echo "a sample recording" > "$work/medium/sample.txt"
echo "extras nobody chose" > "$work/medium/extra.txt"

SETUP_ARGS="/r $(winpath "$work/recorded")" start_setup "$work/medium" "$work/medium"
if welcome=$(wait_for_window "Welcome"); then keys "$welcome" Return; fi
if destination=$(wait_for_window "Destination Drive"); then
    keys "$destination" Home shift+End
    type_text "$destination" 'r:'
    keys "$destination" Return
    wait_for_line 'dialog 300 CONTINUE'
fi
if install_type=$(wait_for_window "Installation Type"); then
    keys "$install_type" alt+u Return
    wait_for_line 'dialog 800 CONTINUE'
fi
if custom=$(wait_for_window "Custom Installation"); then
    # The second part's check box, as test_sequence.sh finds it.
    xdotool mousemove --window "$custom" $((3 + 40 * 7 / 4)) $((22 + 55 * 13 / 8)) click 1
    wait_for_line 'dialog 6200 CHK2'
    keys "$custom" Return
    wait_for_line 'dialog 6200 CONTINUE'
fi
if complete=$(wait_for_window "Installation Complete" 60); then keys "$complete" Return; fi
finish_setup
expect_status 0
tr -d '\r' < "$work/recorded" | grep -v '^#' > "$work/recorded.lines"
diff -u - "$work/recorded.lines" <<'ANS' || fail "unexpected recording"
dialog 100 CONTINUE
dialog 300 CONTINUE EditTextOut=r:
dialog 800 CONTINUE ButtonChecked=2
dialog 6200 CHK2
dialog 6200 CONTINUE
dialog 700 CONTINUE
ANS
expect_file "$dest/samples/sample.txt" "a sample recording"
expect_no_file "$dest/extra.txt"
snapshot recorded_run

forget_installation
cp "$work/recorded" "$work/answers"
run_setup "$work/medium" "$work/medium"
expect_clean_end 0
snapshot replayed_run
for part in transcript log registry shortcuts; do
    diff -u "$work/recorded_run/$part" "$work/replayed_run/$part" || fail "the replay's $part differs"
done
diff -r "$work/recorded_run/tree" "$work/replayed_run/tree" || fail "the replay installed another tree"
[ -s "$work/recorded_run/registry" ] && grep -q 'Recorder32' "$work/recorded_run/shortcuts" ||
    fail "nothing registered to compare"

e2e_done
