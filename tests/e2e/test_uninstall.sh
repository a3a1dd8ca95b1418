#!/usr/bin/env bash
# Taking an installation back: the sample medium installed into R:\usr, its
# uninstall entry read with `wine reg query`, the registered quiet command
# run, and the machine found as it was before, on both platforms.
. "$(dirname "$0")/lib.sh"

env_key='HKLM\System\CurrentControlSet\Control\Session Manager\Environment'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
app_paths='HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths'
session_key='HKLM\System\CurrentControlSet\Control\Session Manager'
drive_r="$SETUP_BUILD/drives/r"
dest="$drive_r/usr"
SETUP_TIMEOUT=180
to_install=('dialog 100 CONTINUE' 'dialog 300 CONTINUE EditTextOut=R:' 'dialog 800 CONTINUE ButtonChecked=1'
    'dialog 700 CONTINUE')

programs_folders() {
    printf '%s\n' "$(drive_c)/ProgramData/Microsoft/Windows/Start Menu/Programs" \
        "$(drive_c)/windows/Start Menu/Programs"
}

# What the runs add to a prefix, taken out; Path as it was at the start.
declare -A saved_path
clean_prefix() {
    export WINEPREFIX="$SETUP_BUILD/wine/$1"
    [ -n "${saved_path[$1]:-}" ] &&
        wine reg add "$env_key" /v Path /t REG_EXPAND_SZ /d "${saved_path[$1]}" /f >/dev/null 2>&1
    wine reg delete "$env_key" /v QUORVANE_HOME /f >/dev/null 2>&1
    wine reg delete 'HKLM\Software\Quorvane' /f >/dev/null 2>&1
    wine reg delete "$uninstall_key\\Quorvane-Quorvane32" /f >/dev/null 2>&1
    wine reg delete 'HKLM\Software\Orvex' /f >/dev/null 2>&1
    wine reg delete "$uninstall_key\\Orvex-Quorvane32" /f >/dev/null 2>&1
    wine reg delete "$session_key" /v PendingFileRenameOperations /f >/dev/null 2>&1
    while read -r folder; do rm -rf "$folder/Quorvane32"; done < <(programs_folders)
    rm -f "$(drive_c)"/AUTOEXEC.* "$(drive_c)/windows/WININIT.INI"
    rm -rf "$dest"
}
for p in nt w95; do
    export WINEPREFIX="$SETUP_BUILD/wine/$p"
    # An element left by a run cut short would hide the one the test adds.
    saved_path[$p]=$(reg_value "$env_key" Path | cut -d' ' -f2- | sed 's/R:\\usr\\bin;//g')
done
trap 'clean_prefix nt; clean_prefix w95' EXIT

# start_prefix nt|w95 [with-autoexec]: with an AUTOEXEC.BAT of its own, the
# 95 family's PATH line gains the product's directory, its SET line stays,
# one line is added, and the user's own AUTOEXEC.BAK stays as it was;
# without, the installation makes the file.
start_prefix() {
    clean_prefix "$1"
    # Such a system has its Start menu's folder; the installation makes only the group.
    [ "$1" = w95 ] && mkdir -p "$(drive_c)/windows/Start Menu/Programs"
    [ "$1" = w95 ] && [ "${2:-}" = with-autoexec ] && printf '@ECHO OFF\r\nSET PATH=C:\\WINDOWS;C:\\WINDOWS\\COMMAND\r\nSET TEMP=C:\\TEMP\r\n' \
        >"$(drive_c)/AUTOEXEC.BAT" && printf 'REM the user'"'"'s own backup\r\n' >"$(drive_c)/AUTOEXEC.BAK"
    mkdir -p "$drive_r"
}

# state FILE: what an installation may touch, written to FILE: the files
# of R:, the company's key, the uninstall key, App Paths, the system's
# variables byte for byte (Path included), AUTOEXEC.BAT, the Start menu.
state() {
    {
        echo "== files"; (cd "$drive_r" && find . | sort)
        echo "== company"; wine reg query 'HKLM\Software\Quorvane' /s 2>&1 | tr -d '\r'
        echo "== uninstall"; wine reg query "$uninstall_key" /s 2>&1 | tr -d '\r'
        echo "== app paths"; wine reg query "$app_paths" /s 2>&1 | tr -d '\r'
        echo "== environment"
        rm -f "$work/env.reg"
        wine reg export "$env_key" "$(winpath "$work/env.reg")" /y >/dev/null 2>&1
        tr -d '\r\0' <"$work/env.reg"
        echo "== autoexec"
        for f in AUTOEXEC.BAT AUTOEXEC.BAK AUTOEXEC.B01; do
            [ -f "$(drive_c)/$f" ] && od -c "$(drive_c)/$f"
        done
        echo "== start menu"
        while read -r folder; do (cd "$folder" 2>/dev/null && find . | sort); done < <(programs_folders)
    } >"$1"
}

expect_state() {
    diff -u "$work/$1" "$work/$2" >"$work/state.diff" || {
        fail "the machine differs from $1"
        sed 's/^/    | /' "$work/state.diff" | head -40
    }
}

mkmedia=${MKMEDIA:-$SETUP_BUILD/host/tools/mkmedia/mkmedia}
[ -x "$mkmedia" ] || { echo "FAIL: no native mkmedia at $mkmedia (scripts/build makes it)"; exit 1; }

# The sample product in $work/product; medium_of_product makes its
# single-directory medium as scripts/demo does.
sample_medium() {
    mkdir -p "$work/product"
    cp "$SETUP_TOP"/samples/quorvane/* "$work/product/"
    medium_of_product
}
medium_of_product() {
    rm -rf "$work/medium"
    "$mkmedia" build "$work/product/setup.inf" -o "$work/medium" --kind single --programs "$SETUP_BUILD/bin" -q ||
        fail "mkmedia build"
}
# add_to_core: the lines of standard input at the end of the core set's block.
add_to_core() {
    cat >"$work/added"
    sed -i "/^F license.txt license.txt\$/r $work/added" "$work/product/setup.inf"
}

install_sample() { run_medium "${to_install[@]}"; expect_clean_end 0; }

# uninstall [ENTRY]: the registered quiet command of the entry (the
# sample's by default), with a transcript. The command ends once the copy it
# started in TMP has done the removal; that copy then takes the program's
# copy away.
uninstall() {
    local command entry=${1:-Quorvane-Quorvane32}
    command=$(reg_value "$uninstall_key\\$entry" QuietUninstallString | cut -d' ' -f2-)
    eval "set -- $command"
    rm -f "$work/transcript"
    (cd "$work" && timeout "$SETUP_TIMEOUT" wine "$@" /t "$(winpath "$work/transcript")" </dev/null >"$work/stdout" 2>&1)
    status=$?
    for _ in $(seq 1 100); do [ -e "$dest/uninstall-$entry" ] || break; sleep 0.1; done
}

# run_uninstall LOG [ARGS...]: setup.exe of the medium on that log.
run_uninstall() {
    local log=$1
    shift
    rm -f "$work/transcript"
    (cd "$work" && timeout "$SETUP_TIMEOUT" wine "$work/medium/setup.exe" /u "$log" "$@" \
        /t "$(winpath "$work/transcript")" </dev/null >"$work/stdout" 2>&1)
    status=$?
}

# The program's copy and the log are gone at once; the copy in TMP that
# removed them goes at the next start.
temp_copy_left() {
    if [ "$1" = nt ]; then
        wine reg query "$session_key" /v PendingFileRenameOperations 2>/dev/null | grep -qi 'qvremove-[0-9]*\\setup.exe'
    else
        # Wine's next start works through the list and keeps it as wininit.bak.
        grep -qi '^NUL=.*\\temp\\[^\\]*\\setup\.exe' "$(drive_c)/windows/WININIT.INI" "$(drive_c)/windows/wininit.bak" 2>/dev/null
    fi
}
expect_copy_leaving() {
    [ ! -e "$dest/uninstall-Quorvane-Quorvane32" ] || fail "the program's copy stays"
    expect_no_file "$dest/uninstall-Quorvane-Quorvane32.log"
    # Its last step, just after the command ended.
    for _ in $(seq 1 50); do temp_copy_left "$1" && break; sleep 0.1; done
    temp_copy_left "$1" || fail "the copy in TMP is not left for the next start"
}

# Before leaving the machine as it was, the copy's files are taken away as
# the next start would, so that the states compare; the start uses up the
# list of what it removes.
after_restart() {
    local copy
    for copy in "$dest"/uninstall-*/; do
        [ -e "${copy%/}.log" ] || rm -rf "$copy"
    done
    [ -d "$dest" ] && [ -z "$(ls -A "$dest")" ] && {
        tr -d '\r' 2>/dev/null <"$(drive_c)/windows/WININIT.INI" | grep -qi 'NUL=R:\\usr$' ||
            wine reg query "$session_key" /v PendingFileRenameOperations 2>/dev/null | grep -qi 'R:\\usr\\0' ||
            fail "R:\\usr stays, not scheduled"
        rmdir "$dest"
    }
    wine reg delete "$session_key" /v PendingFileRenameOperations /f >/dev/null 2>&1
    rm -f "$(drive_c)/windows/WININIT.INI" "$(drive_c)/windows/wininit.bak"
}

for platform in nt w95; do
    e2e_case "round-trip-$platform" "$platform"
    start_prefix "$platform" with-autoexec
    sample_medium
    # Path stored as plain text comes back so, though the installation writes it expandable.
    [ "$platform" = nt ] && wine reg add "$env_key" /v Path /t REG_SZ /d "${saved_path[nt]}" /f >/dev/null 2>&1
    state "$work/before"
    install_sample
    [ "$(reg_value "$uninstall_key\\Quorvane-Quorvane32" DisplayName)" = "REG_SZ Quorvane32" ] || fail "no display name"
    [ "$(reg_value "$uninstall_key\\Quorvane-Quorvane32" DisplayVersion)" = "REG_SZ 2.0.0" ] || fail "no version"
    [ "$(reg_value "$uninstall_key\\Quorvane-Quorvane32" Publisher)" = "REG_SZ Quorvane" ] || fail "no publisher"
    [ "$(reg_value "$uninstall_key\\Quorvane-Quorvane32" InstallLocation)" = 'REG_SZ R:\usr' ] || fail "no location"
    reg_value "$uninstall_key\\Quorvane-Quorvane32" InstallDate | grep -qE '^REG_SZ [0-9]{8}$' || fail "no install date"
    [ "$(reg_value "$uninstall_key\\Quorvane-Quorvane32" EstimatedSize)" = "REG_DWORD 0x1" ] || fail "size is not 1 KB"
    [ "$(reg_value "$uninstall_key\\Quorvane-Quorvane32" UninstallString)" = \
      'REG_SZ "R:\usr\uninstall-Quorvane-Quorvane32\setup.exe" /u "R:\usr\uninstall-Quorvane-Quorvane32.log"' ] || fail "no command"
    [ "$(reg_value "$uninstall_key\\Quorvane-Quorvane32" DisplayIcon)" = \
      'REG_SZ R:\usr\uninstall-Quorvane-Quorvane32\setup.exe,0' ] || fail "no icon"
    for v in NoModify NoRepair; do
        [ "$(reg_value "$uninstall_key\\Quorvane-Quorvane32" $v)" = "REG_DWORD 0x1" ] || fail "$v is not 1"
    done
    expect_file "$dest/uninstall-Quorvane-Quorvane32.log"
    cmp -s "$SETUP_BUILD/bin/setup.exe" "$dest/uninstall-Quorvane-Quorvane32/setup.exe" || fail "no copy of setup.exe"
    head -n 1 "$dest/uninstall-Quorvane-Quorvane32.log" | grep -q '^Quorvane/32 installation log 1 ~' || fail "log header"
    grep -qF 'file "R:\\usr\\bin\\qv.cfg" new ' "$dest/uninstall-Quorvane-Quorvane32.log" || fail "qv.cfg not in the log"

    # What a run cut short while writing leaves beside a file goes with it;
    # such a run leaves its entry without the log's seal.
    printf 'half a licence' >"$dest/license.txt.~part"
    wine reg delete "$uninstall_key\\Quorvane-Quorvane32" /v LogCrc /f >/dev/null 2>&1
    uninstall
    expect_clean_end 0
    expect_line 'dialog 1000 CONTINUE'
    expect_line 'remove "R:\\usr\\bin\\qv.cfg"'
    expect_line 'rmdir "R:\\usr\\bin"'
    expect_line 'delvalue "Software\\Quorvane\\Quorvane32\\VersionInfo" "FileSetName"'
    expect_line 'delkey "Software\\Quorvane"'
    expect_line 'delkey "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvane-Quorvane32"'
    if [ "$platform" = nt ]; then
        expect_line 'delpath "R:\\usr\\bin"'
        expect_line 'delvalue "System\\CurrentControlSet\\Control\\Session Manager\\Environment" "QUORVANE_HOME"'
    else
        expect_line 'setline "SET PATH=C:\\WINDOWS;C:\\WINDOWS\\COMMAND"'
        expect_line 'delline "SET QUORVANE_HOME=C:\\usr"'
        expect_line 'remove "C:\\AUTOEXEC.B01"'
    fi
    expect_copy_leaving "$platform"
    after_restart
    state "$work/after"
    expect_state before after

    e2e_case "over-earlier-changed-file-kept-$platform" "$platform"
    start_prefix "$platform"
    sample_medium
    state "$work/before"
    install_sample
    install_sample
    # Changed at its length: only the checksum tells.
    sed -i 's/EUR/USD/' "$dest/bin/qv.cfg"
    # A file in use goes at the next start; a variable the user set since stays.
    wine "$SETUP_BUILD/tests/e2e/hold_file.exe" 'R:\usr\license.txt' 60 >"$work/held" 2>/dev/null &
    holder=$!
    for _ in $(seq 1 100); do grep -q holding "$work/held" && break; sleep 0.1; done
    changed='\n\nThese files were changed after the installation and are kept:\nR:\\usr\\bin\\qv.cfg\n'
    in_use='\n\nThese files are in use and will be removed when Windows starts again:\nR:\\usr\\license.txt\n'
    if [ "$platform" = nt ]; then
        wine reg add "$env_key" /v QUORVANE_HOME /d 'D:\mine' /f >/dev/null 2>&1
        changed+='\n\nThese variables were changed after the installation and are kept:\nQUORVANE_HOME\n'
    fi
    uninstall
    kill "$holder" 2>/dev/null
    wait "$holder" 2>/dev/null
    expect_clean_end 0
    expect_line "msgbox \"Quorvane32 was removed.$changed$in_use\" \"Remove Quorvane/32 2.0\" 64 1"
    expect_file "$dest/bin/qv.cfg" "$(sed 's/EUR/USD/' "$SETUP_TOP/samples/quorvane/qv.cfg")"
    if [ "$platform" = nt ]; then
        [ "$(reg_value "$env_key" QUORVANE_HOME)" = 'REG_SZ D:\mine' ] || fail "the user's variable is gone"
        wine reg query "$session_key" /v PendingFileRenameOperations 2>/dev/null | grep -qiF 'R:\usr\license.txt' ||
            fail "license.txt in use is not scheduled"
        wine reg delete "$env_key" /v QUORVANE_HOME /f >/dev/null 2>&1
    fi
    rm -rf "$dest/bin/qv.cfg" "$dest/bin" "$dest/license.txt"
    rmdir "$dest" 2>/dev/null
    after_restart
    rmdir "$dest" 2>/dev/null
    state "$work/after"
    expect_state before after
done

# Two companies' products of one name in one \usr, sharing a file, a Path
# element and a variable, removed in both orders: the first removal leaves
# what the other still has, the second leaves the machine as it was.
e2e_case "products-side-by-side" nt
start_prefix nt
sample_medium
mv "$work/medium" "$work/medium_a"
mkdir -p "$work/orvex"
printf 'Orvex licence terms\r\n' >"$work/orvex/license.txt"
printf '%s\n' 'COMPANY [Orvex]' 'FILESET [Setup files]' BEGIN END 'FILESET [Orvex core]' EXPRESS \
    'SOFTWARE [Quorvane32]' 'ADDPATH [bin]' 'ENVIRONMENT [QUORVANE_HOME] [C:\orvex]' BEGIN \
    'F license.txt license.txt' END >"$work/orvex/setup.inf"
"$mkmedia" build "$work/orvex/setup.inf" -o "$work/medium_b" --kind single --programs "$SETUP_BUILD/bin" -q ||
    fail "mkmedia build"
state "$work/before"
for first in Quorvane Orvex; do
    for medium in a b; do
        rm -rf "$work/medium"
        cp -r "$work/medium_$medium" "$work/medium"
        install_sample
    done
    uninstall "$first-Quorvane32"
    expect_clean_end 0
    after_restart
    expect_file "$dest/license.txt" "$(printf 'Orvex licence terms\r')"
    reg_value "$env_key" Path | grep -qF 'R:\usr\bin;' || fail "R:\usr\bin left Path with $first"
    home='C:\orvex'
    [ "$first" = Orvex ] && home='C:\usr'
    [ "$(reg_value "$env_key" QUORVANE_HOME)" = "REG_SZ $home" ] || fail "QUORVANE_HOME is not $home without $first"
    second=Orvex
    [ "$first" = Orvex ] && second=Quorvane
    uninstall "$second-Quorvane32"
    expect_clean_end 0
    after_restart
    state "$work/after"
    expect_state before after
    ! wine reg query 'HKLM\Software\Orvex' >/dev/null 2>&1 || fail "the key of Orvex stays"
done

# A second installation over one that lacked something: taking it back
# leaves nothing that the first one lacked, and keeps what was there before
# either.
e2e_case "later-installation-adds" nt
start_prefix nt
sample_medium
mkdir -p "$dest"
echo "the user's own notes" >"$dest/notes.txt"
state "$work/before"
install_sample
echo 'F parts.csv parts.csv' | add_to_core
medium_of_product
install_sample
expect_file "$dest/parts.csv"
uninstall
expect_clean_end 0
expect_file "$dest/notes.txt" "the user's own notes"
after_restart
state "$work/after"
expect_state before after

e2e_case "refused-logs" nt
start_prefix nt
sample_medium
install_sample
log="$dest/uninstall-Quorvane-Quorvane32.log"
cp "$log" "$work/log.good"
state "$work/installed"
run_uninstall 'R:\usr\uninstall-Quorvane99.log' /q
expect_clean_end 1
expect_line 'msgbox "The installation log R:\\usr\\uninstall-Quorvane99.log cannot be used: it cannot be read. Nothing was removed." "Fatal Error" 0 1'
sed -i 's/qv\.cfg/qv.cfh/' "$log"
run_uninstall 'R:\usr\uninstall-Quorvane-Quorvane32.log' /q
expect_clean_end 1
grep -q 'cannot be used: line [0-9]* is damaged. Nothing was removed.' "$work/transcript" || fail "damage not named"
head -c -20 "$work/log.good" >"$log"
run_uninstall 'R:\usr\uninstall-Quorvane-Quorvane32.log' /q
expect_clean_end 1
grep -q 'cannot be used: line [0-9]* is cut off' "$work/transcript" || fail "a cut log is taken"
printf 'C:\\windows\\system32\\kernel32.dll\r\n' >"$log"
run_uninstall 'R:\usr\uninstall-Quorvane-Quorvane32.log' /q
expect_clean_end 1
grep -q 'cannot be used: it is not an installation log of this Setup' "$work/transcript" || fail "a foreign log is taken"
# A log that differs from the one its entry was sealed with.
{ cat "$work/log.good"; head -n 3 "$work/log.good" | tail -n 1; } >"$log"
run_uninstall 'R:\usr\uninstall-Quorvane-Quorvane32.log' /q
expect_clean_end 1
grep -q 'cannot be used: it was changed after the installation' "$work/transcript" || fail "a changed log is taken"
# From here on the entry is not sealed, as a run cut short leaves it: what
# follows is refused for what it is, not for differing from the seal.
seal=$(wine reg query "$uninstall_key\\Quorvane-Quorvane32" 2>&1 | tr -d '\r' | grep -E 'Log(Size|Crc)')
wine reg delete "$uninstall_key\\Quorvane-Quorvane32" /v LogSize /f >/dev/null 2>&1
wine reg delete "$uninstall_key\\Quorvane-Quorvane32" /v LogCrc /f >/dev/null 2>&1
# The same log where no entry names it: under another name, or in another
# drive's usr with this entry's name; and at a drive's root where an entry
# is made to name it.
cp "$work/log.good" "$dest/uninstall-Quorvane-Quorvane99.log"
# moved_log DIR FILE: the good log's records moved from R:\usr to DIR, sealed.
moved_log() {
    python3 -c 'import sys, zlib
for line in open(sys.argv[1], "rb").read().splitlines():
    body = line.rsplit(b" ~", 1)[0].replace(b"R:\\\\usr", sys.argv[2].encode())
    if body != b"dir \"" + sys.argv[2].encode() + b"\"":
        sys.stdout.buffer.write(body + b" ~%08x\r\n" % zlib.crc32(body))' "$work/log.good" "$1" >"$2"
}
mkdir -p "$(drive_c)/usr"
moved_log 'C:\\usr' "$(drive_c)/usr/uninstall-Quorvane-Quorvane32.log"
for at in 'R:\usr\uninstall-Quorvane-Quorvane99.log' 'R:\usr\bin\..\uninstall-Quorvane-Quorvane99.log' \
    'C:\usr\uninstall-Quorvane-Quorvane32.log'; do
    run_uninstall "$at" /q
    expect_clean_end 1
    grep -q 'cannot be used: no uninstall entry names it' "$work/transcript" || fail "the log $at is taken"
done
rm -rf "$dest/uninstall-Quorvane-Quorvane99.log" "$(drive_c)/usr"
moved_log 'C:' "$(drive_c)/uninstall-Quorvane-Quorvane32.log"
wine reg export "$uninstall_key\\Quorvane-Quorvane32" "$(winpath "$work/entry.reg")" /y >/dev/null 2>&1
wine reg add "$uninstall_key\\Quorvane-Quorvane32" /v InstallLocation /d 'C:' /f >/dev/null 2>&1
wine reg add "$uninstall_key\\Quorvane-Quorvane32" /v UninstallString \
    /d '"C:\uninstall-Quorvane-Quorvane32\setup.exe" /u "C:\uninstall-Quorvane-Quorvane32.log"' /f >/dev/null 2>&1
run_uninstall 'C:\uninstall-Quorvane-Quorvane32.log' /q
expect_clean_end 1
grep -q 'cannot be used: an installation log lies in the folder usr of a drive' "$work/transcript" ||
    fail "a log at C:\\ is taken"
rm -f "$(drive_c)/uninstall-Quorvane-Quorvane32.log"
wine reg import "$(winpath "$work/entry.reg")" >/dev/null 2>&1

# Sealed lines that reach outside the installation by a trick: refused
# whole, with the record of an installed file before them.
printf 'the victim' | tee "$(drive_c)/windows/victim.txt" >"$drive_r/victim.txt"
mkdir -p "$drive_r/victimdir"
victim_crc=$(python3 -c 'import zlib; print("%08x" % zlib.crc32(b"the victim"))')
group=$(grep -o '^group "[^"]*"' "$work/log.good" | head -n 1 | sed 's/^group "//; s/"$//')
env='System\\CurrentControlSet\\Control\\Session Manager\\Environment'
qv=$(grep -o '^file "R:\\\\usr\\\\bin\\\\qv.cfg" new [0-9]* [0-9a-f]*' "$work/log.good")
while IFS= read -r body; do
    body=${body//@GROUP@/"$group"} body=${body//@ENV@/"$env"} body=${body//@CRC@/"$victim_crc"}
    crc=$(python3 -c 'import sys, zlib; print("%08x" % zlib.crc32(sys.argv[1].encode("latin-1")))' "$qv")
    { head -n 2 "$work/log.good"; printf '%s ~%s\r\n' "$qv" "$crc"
      crc=$(python3 -c 'import sys, zlib; print("%08x" % zlib.crc32(sys.argv[1].encode("latin-1")))' "$body")
      printf '%s ~%s\r\n' "$body" "$crc"; } >"$log"
    run_uninstall 'R:\usr\uninstall-Quorvane-Quorvane32.log' /q
    expect_clean_end 1
    grep -q 'cannot be used: line 4 names a place outside the installation. Nothing was removed.' "$work/transcript" ||
        fail "taken: $body"
done <<'EOF2'
file "C:\\windows\\win.ini" new 0 00000000
file "R:\\usr\\x/../../victim.txt" new 10 @CRC@
file "R:\\usr\\bin\\..\\..\\victim.txt" new 10 @CRC@
dir "R:\\usr\\bin/../../victimdir"
shortcut "@GROUP@\\x/../../../../../../windows/victim.txt\x00.lnk" new
shortcut "@GROUP@\\..\\..\\..\\..\\..\\..\\windows\\victim.lnk" new
file "R:\\usr\\bin\\qv.cfg\x00.txt" new 0 00000000
file "R:\\usr\\bin\\qv\x7f\x01.cfg" new 0 00000000
file "R:\\usr\\COM1" new 0 00000000
file "R:\\usr\\bin\\lpt2.txt" new 0 00000000
value "@ENV@" "Path" new
value "@ENV@" "ComSpec" was 1 433a5c6576696c2e65786500
value "Software\\Microsoft\\Windows\\CurrentVersion\\Run" "evil" new
EOF2
expect_file "$(drive_c)/windows/victim.txt" 'the victim'
expect_file "$drive_r/victim.txt" 'the victim'
[ -d "$drive_r/victimdir" ] || fail "a directory outside was removed"
rm -rf "$(drive_c)/windows/victim.txt" "$drive_r/victim.txt" "$drive_r/victimdir"
# Longer than any log, in sound lines: refused, not cut.
python3 -c 'import sys, zlib
body = b"fileset \"pad\""
line = body + b" ~%08x\r\n" % zlib.crc32(body)
sys.stdout.buffer.write(open(sys.argv[1], "rb").read() + line * ((65 << 20) // len(line)))' "$work/log.good" >"$log"
run_uninstall 'R:\usr\uninstall-Quorvane-Quorvane32.log' /q
expect_clean_end 1
grep -q 'cannot be used: it is longer than 64 MB' "$work/transcript" || fail "an oversized log is taken"
while read -r name type value; do
    [ -n "$name" ] || continue
    wine reg add "$uninstall_key\\Quorvane-Quorvane32" /v "$name" /t "$type" /d "$value" /f >/dev/null 2>&1
done <<<"$seal"
cp "$work/log.good" "$log"
state "$work/refused"
expect_state installed refused
# A run that stopped before it recorded anything leaves its entry and the
# program's copy, and no log: they go, where the entry is not sealed.
rm -f "$log"
run_uninstall 'R:\usr\uninstall-Quorvane-Quorvane32.log' /q
expect_clean_end 1
grep -q 'cannot be used: it cannot be read' "$work/transcript" || fail "a sealed entry's missing log is taken"
wine reg delete "$uninstall_key\\Quorvane-Quorvane32" /v LogSize /f >/dev/null 2>&1
uninstall
expect_clean_end 0
wine reg query "$uninstall_key\\Quorvane-Quorvane32" >/dev/null 2>&1 && fail "the entry of a run without a log stays"
[ ! -e "$dest/uninstall-Quorvane-Quorvane32" ] || fail "the program's copy of a run without a log stays"
expect_file "$dest/bin/qv.cfg"

# Killed half way and started again, it completes: many files, so that the
# kill comes while they are being removed.
e2e_case "killed-and-run-again" nt
start_prefix nt
sample_medium
state "$work/before"
for i in $(seq 1 800); do echo "ledger page $i" >"$work/product/page$i.txt"; done
{
    echo "D many"
    for i in $(seq 1 800); do echo "F page$i.txt many\\page$i.txt"; done
} | add_to_core
medium_of_product
install_sample
command=$(reg_value "$uninstall_key\\Quorvane-Quorvane32" QuietUninstallString | cut -d' ' -f2-)
eval "set -- $command"
(cd "$work" && exec wine "$@" </dev/null >"$work/stdout" 2>&1) &
for _ in $(seq 1 3000); do
    [ "$(find "$dest/many" -type f 2>/dev/null | wc -l)" -lt 790 ] && break
    sleep 0.01
done
wineserver -k 2>/dev/null
wait
left=$(find "$dest/many" -type f 2>/dev/null | wc -l)
[ "$left" -gt 0 ] && [ "$left" -lt 800 ] || fail "the kill did not come half way: $left files left"
expect_file "$dest/uninstall-Quorvane-Quorvane32.log"
uninstall
expect_clean_end 0
after_restart
state "$work/after"
expect_state before after

e2e_done
