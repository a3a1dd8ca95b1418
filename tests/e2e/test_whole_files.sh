#!/usr/bin/env bash
# Every installed file is written whole or not at all. Each fault that can
# strike while a file is written, on both families, plain and compressed:
# the run ends in a fatal stop naming the file (a killed run: a re-run ends
# complete), the earlier installation's file is whole, nothing partial or
# stray is left beside it and nothing of the run stays in TMP. Each run is a
# row of the fault matrix (SETUP_FAULT_MATRIX_LOG, see
# scripts/reliability-report).
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/faults_lib.sh"

SETUP_TIMEOUT=120
earlier_b="b of the earlier installation"
big=300000000  # bytes: long enough to be caught while it is written

# The source's name on the medium.
source_of() { if [ "$2" = compressed ]; then echo "$1_"; else echo "$1"; fi; }

# new_medium DIR WINDOWS_NAME FILE...: an empty medium in DIR with the
# script that installs FILE... (plain or compressed after $kind); medium_win
# is its Windows name.
new_medium() {
    medium=$1 medium_win=$2
    shift 2
    rm -rf "${medium:?}"/*
    local compression="NOT COMPRESSED"
    [ "$kind" = compressed ] && compression=COMPRESSED
    script "$compression" 150 "$@" | make_medium "$medium"
}

# The payload of the case's kind.
payload_of_kind() { payload "$medium" "$([ "$kind" = compressed ] && echo yes)" "$@"; }

# matrix_case FAULT FAMILY KIND: a fresh case of the matrix; the earlier
# installation holds b.txt.
matrix_case() {
    fault=$1 family=$2 kind=$3
    e2e_case "${fault}_${family}_$kind" "$family"
    earlier_installation
    rm -f "$dest/earlier.txt"
    echo "$earlier_b" > "$dest/b.txt"
    printf '%s\n' "${to_install[@]}" 'msgbox OK' > "$work/answers"
}

# What an installation leaves for taking it back before its first file:
# the program's copy, and the log once something is recorded.
log=uninstall-Quorvane-Quorvane32.log
copy="uninstall-Quorvane-Quorvane32 $log uninstall-Quorvane-Quorvane32/mscuistf.dll uninstall-Quorvane-Quorvane32/setup.exe uninstall-Quorvane-Quorvane32/setuprt.dll"

# Names left in R:\usr, sorted, on one line.
left_in_dest() { (cd "$dest" && find . -mindepth 1 -printf '%P\n' | sort | tr '\n' ' ' | sed 's/ $//'); }

# left_in_tmp DIR: what a run left in TMP, a private copy of the script
# marked as such.
left_in_tmp() {
    local f names=""
    for f in "$1"/*; do
        [ -e "$f" ] || continue
        names+="${names:+, }$(basename "$f")"
        cmp -s "$f" "$medium/setup.inf" && names+=" (the script's private copy)"
    done
    echo "${names:-nothing}"
}

# expect_left NAMES: R:\usr holds exactly these; the answer for the matrix.
expect_left() {
    local left
    left=$(left_in_dest)
    if [ "$left" = "$1" ]; then
        stray_answer="yes"
    else
        stray_answer="no: $left"
        fail "R:\\usr holds \"$left\", expected \"$1\""
    fi
}

# expect_tmp_empty DIR: nothing of the run stays in TMP.
expect_tmp_empty() {
    tmp_answer=$(left_in_tmp "$1")
    [ "$tmp_answer" = nothing ] || fail "left in TMP: $tmp_answer"
}

expect_earlier_b() {
    local before=$files_lost
    expect_intact "$dest/b.txt" "$earlier_b"
    earlier_answer=yes
    [ "$files_lost" -eq "$before" ] || earlier_answer=no
}

# matrix_row [EXIT [BEFORE]]: the row of the case just run; BEFORE says
# what came before the ending observed.
matrix_row() {
    [ -n "${SETUP_FAULT_MATRIX_LOG:-}" ] || return 0
    printf '%s|%s|%s|%s|%s|%s|%s|%s\n' "$fault" "$family" "$kind" "${2:-}$(observed_ending | tr '|' '/')" \
        "${1:-$status}" "$earlier_answer" "$stray_answer" "$tmp_answer" >>"$SETUP_FAULT_MATRIX_LOG"
}

# stopped_writing TEXT NAMES: the fatal stop with TEXT; the earlier b.txt
# is whole and R:\usr holds exactly NAMES.
stopped_writing() {
    expect_clean_end 1
    expect_line "msgbox \"$1\" \"Fatal Error\" 0 1"
    expect_earlier_b
    expect_left "$2"
    expect_tmp_empty "$work/tmp"
    matrix_row
}

# What a stop names: the source on the medium (medium_win: its Windows
# name), the destination in R:\usr.
medium_path() { as_transcript "$medium_win\\$(source_of "$1" "$kind")"; }
copy_error() { echo "Error $1 Copying File $(medium_path "$2") to R:\\\\usr\\\\$2\\n"; }
expand_error() { echo "Error expanding file $(medium_path "$1")"; }

# A compressed source cut short: expand.exe ends with success and a short
# file, which never takes the name b.txt.
for family in nt w95; do
    matrix_case expansion_failure "$family" compressed
    new_medium "$work/medium" "$(winpath "$work/medium")" a.txt b.txt c.txt
    payload_of_kind a.txt b.txt c.txt
    head -c 40 "$medium/b.txt_" > "$work/cut" && mv "$work/cut" "$medium/b.txt_"
    run_setup "$medium" "$medium"
    stopped_writing "$(expand_error b.txt)" "a.txt b.txt $copy"
done

# A source that ends before the length it had when it was opened (a file
# of the kernel's: 4096 bytes by its size, a few by its reads) never takes
# the name b.txt.
short_source=$(for f in /sys/power/state /sys/kernel/mm/transparent_hugepage/enabled; do
    [ "$(stat -c %s "$f" 2>/dev/null)" = 4096 ] && [ "$(wc -c <"$f")" -lt 4096 ] && echo "$f" && break
done)
if [ -n "$short_source" ]; then
    matrix_case source_shorter_than_its_size nt plain
    new_medium "$work/medium" "$(winpath "$work/medium")" a.txt b.txt
    payload_of_kind a.txt
    ln -s "$short_source" "$medium/b.txt"
    run_setup "$medium" "$medium"
    stopped_writing "File $(medium_path b.txt) was not copied whole to R:\\\\usr\\\\b.txt\\n" "a.txt b.txt $copy"
else
    not_run source_shorter_than_its_size "no kernel file here reports more bytes than it gives"
fi

# A destination that cannot be replaced: the file b.txt, or the whole
# directory (no file can be made in it). Root writes through read-only
# modes, so both are made immutable.
for family in nt w95; do
    for kind in plain compressed; do
        for fault in read_only_destination_file locked_destination_directory; do
            matrix_case "$fault" "$family" "$kind"
            new_medium "$work/medium" "$(winpath "$work/medium")" a.txt b.txt
            payload_of_kind a.txt b.txt
            target="$dest/b.txt"
            [ "$fault" = locked_destination_directory ] && target=$dest
            if ! unreplaceable "$target"; then
                not_run "$current_case" "root replaces a read-only file, and this file system refuses chattr +i"
                chmod -R u+w "$dest"
                continue
            fi
            run_setup "$medium" "$medium"
            chattr -i "$target" 2>/dev/null
            chmod u+w "$target"
            if [ "$fault" = locked_destination_directory ]; then
                # The program's copy, written before the first file, is the first thing refused.
                stopped_writing 'Cannot register the uninstallation of Quorvane32' "b.txt"
            else
                [ "$kind" = plain ] && text=$(copy_error 0x5 b.txt) || text='Error moving expanded file to R:\\usr\\b.txt'
                expect_intact "$dest/a.txt" "$(content_of a.txt)"
                stopped_writing "$text" "a.txt b.txt $copy"
            fi
        done
    done
done

# The network medium loses the next file while a long one is copied.
wait_for_file() {
    local i
    for ((i = 0; i < 6000; i++)); do
        [ -s "$1" ] && return 0
        [ -e "$work/ended" ] && return 1
        sleep 0.01
    done
    return 1
}
# in_background: run_setup with the arguments, its exit code in $work/status.
in_background() {
    rm -f "$work/ended"
    (run_setup "$@"; echo "$status" > "$work/status"; touch "$work/ended") &
}
for family in nt w95; do
    for kind in plain compressed; do
        matrix_case vanished_network_source "$family" "$kind"
        new_medium "$SETUP_BUILD/drives/n" N: a.bin b.txt
        zeros "$medium" a.bin "$kind" "$big"
        payload_of_kind b.txt
        in_background 'N:\' 'N:'
        wait_for_file "$dest/a.bin" || fail "a.bin was never seen while it was written"
        rm "$medium/$(source_of b.txt "$kind")"
        wait
        status=$(cat "$work/status")
        [ "$(stat -c %s "$dest/a.bin" 2>/dev/null)" = "$big" ] || fail "a.bin is not whole"
        # The 95 family's expand.exe needs the source's short name first.
        text=$(copy_error 0x2 b.txt)
        [ "$kind" = compressed ] && text=$(expand_error b.txt)
        [ "$kind$family" = compressedw95 ] && text="Could not find short path name of $(medium_path b.txt)"
        stopped_writing "$text" "a.bin b.txt $copy"
        rm -rf "${medium:?}"/*
    done
done

# Killed while a long file is written: the earlier big.bin stays, the
# partial file only under its temporary name, which a re-run removes; the
# re-run ends complete.
for family in nt w95; do
    for kind in plain compressed; do
        matrix_case kill_during_long_copy "$family" "$kind"
        new_medium "$work/medium" "$(winpath "$work/medium")" a.txt big.bin c.txt
        payload_of_kind a.txt c.txt
        zeros "$medium" big.bin "$kind" "$big"
        echo "$earlier" > "$dest/big.bin"
        in_background "$medium" "$medium"
        if wait_for_file "$dest/big.bin.~part"; then
            wineserver -k
        else
            fail "big.bin was never seen while it was written"
        fi
        wait
        killed_status=$(cat "$work/status")
        [ "$killed_status" -ne 0 ] || fail "the killed run ended with exit code 0"
        expect_intact "$dest/big.bin" "$earlier"
        earlier_after_kill=yes
        [ "$files_lost" -eq 0 ] || earlier_after_kill=no
        expect_left "a.txt b.txt big.bin big.bin.~part $copy"
        stray_after_kill=$stray_answer
        # A killed run cannot clean up: no more than the script's private
        # copy may stay, and the system removes that as its handle closes.
        tmp_after_kill=$(left_in_tmp "$work/tmp")
        for f in "$work"/tmp/*; do
            [ ! -e "$f" ] || cmp -s "$f" "$medium/setup.inf" || fail "the killed run left $(basename "$f") in TMP"
        done
        mkdir -p "$work/tmp-rerun"
        printf '%s\n' "${to_install[@]}" 'dialog 700 CONTINUE' > "$work/answers"
        run_setup "$medium" "$medium" "$(winpath "$work/tmp-rerun")"
        expect_clean_end 0
        expect_earlier_b
        for f in a.txt c.txt; do expect_intact "$dest/$f" "$(content_of "$f")"; done
        head -c "$big" /dev/zero | cmp -s - "$dest/big.bin" || fail "big.bin is not whole after the re-run"
        expect_left "a.txt b.txt big.bin c.txt $copy"
        expect_tmp_empty "$work/tmp-rerun"
        earlier_answer="killed: $earlier_after_kill (big.bin); re-run: $earlier_answer (b.txt)"
        stray_answer="killed: $stray_after_kill, the partial file only as big.bin.~part; re-run: $stray_answer"
        tmp_answer="killed: $tmp_after_kill; re-run: $tmp_answer"
        matrix_row "killed ($killed_status); re-run $status" "killed while big.bin was written; re-run: "
    done
done

# Killed while a new file is written under its own name: the log names it
# as a part, the uninstallation removes it whatever it holds, and a re-run
# instead replaces it whole, as a file it then takes back too.
uninstall_quietly() {
    (cd "$work" && timeout "$SETUP_TIMEOUT" wine "$medium/setup.exe" /u 'R:\usr\uninstall-Quorvane-Quorvane32.log' /q \
        /t "$(winpath "$work/transcript")" </dev/null >"$work/stdout" 2>&1)
    status=$?
}
for family_kind in nt/plain w95/compressed; do
    matrix_case kill_during_new_file "${family_kind%/*}" "${family_kind#*/}"
    new_medium "$work/medium" "$(winpath "$work/medium")" a.txt big.bin c.txt
    payload_of_kind a.txt c.txt
    zeros "$medium" big.bin "$kind" "$big"
    in_background "$medium" "$medium"
    if wait_for_file "$dest/big.bin"; then wineserver -k; else fail "big.bin was never seen while it was written"; fi
    wait
    [ "$(stat -c %s "$dest/big.bin")" -lt "$big" ] || fail "the kill came after big.bin was whole"
    expect_left "a.txt b.txt big.bin $copy"
    grep '^file ' "$dest/$log" | tail -n 1 | grep -qF 'file "R:\\usr\\big.bin" part ~' ||
        fail "the log does not name the partial file last: $(grep '^file ' "$dest/$log" | tail -n 1)"
    cp -a "$dest" "$work/killed"
    uninstall_quietly
    expect_clean_end 0
    expect_left "b.txt"
    expect_earlier_b
    rm -rf "$dest" && cp -a "$work/killed" "$dest"
    mkdir -p "$work/tmp-rerun"
    printf '%s\n' "${to_install[@]}" 'dialog 700 CONTINUE' > "$work/answers"
    run_setup "$medium" "$medium" "$(winpath "$work/tmp-rerun")"
    expect_clean_end 0
    head -c "$big" /dev/zero | cmp -s - "$dest/big.bin" || fail "big.bin is not whole after the re-run"
    expect_left "a.txt b.txt big.bin c.txt $copy"
    uninstall_quietly
    expect_clean_end 0
    expect_left "b.txt"
    matrix_row "killed, uninstalled; re-run $status, uninstalled" "killed while the new big.bin was written: "
done

# A read-only medium (a CD-ROM) installed twice: its files come over
# read-only, which must not stop the second installation.
for family in nt w95; do
    for kind in plain compressed; do
        matrix_case read_only_medium_reinstalled "$family" "$kind"
        new_medium "$SETUP_BUILD/drives/d" D: a.txt b.txt
        payload_of_kind a.txt b.txt
        chmod a-w "$medium"/*
        printf '%s\n' "${to_install[@]}" 'dialog 700 CONTINUE' > "$work/answers"
        run_setup 'D:\' 'D:'
        first_status=$status
        run_setup 'D:\' 'D:'
        [ "$first_status" -eq 0 ] || fail "the first installation ended with exit code $first_status"
        expect_clean_end 0
        for f in a.txt b.txt; do
            expect_intact "$dest/$f" "$(content_of "$f")"
            [ $(("0$(stat -c %a "$dest/$f")" & 0200)) -ne 0 ] || fail "$f was installed read-only"
        done
        earlier_answer=yes
        [ "$files_lost" -eq 0 ] || earlier_answer=no
        expect_left "a.txt b.txt $copy"
        expect_tmp_empty "$work/tmp"
        matrix_row "$first_status, then $status" "installed twice: "
        chmod -R u+w "$medium"
        rm -rf "${medium:?}"/*
    done
done

# The destination drive runs full: a small tmpfs as R: (room for the
# uninstaller's copy, which the free-space check counts), and a file larger
# than it (random bytes, which mscompress cannot make smaller).
if mountpoint -q "$drive_r" || ! mount_error=$(mount -t tmpfs -o size=4m tmpfs "$drive_r" 2>&1); then
    not_run disk_full "no tmpfs can be mounted on $drive_r here (${mount_error:-it is a mount point already})"
else
    for family in nt w95; do
        for kind in plain compressed; do
            matrix_case disk_full "$family" "$kind"
            new_medium "$work/medium" "$(winpath "$work/medium")" a.txt b.txt
            payload_of_kind a.txt
            head -c 6000000 /dev/urandom > "$medium/b.txt"
            [ "$kind" = compressed ] && (cd "$medium" && mscompress b.txt && rm b.txt)
            run_setup "$medium" "$medium"
            [ "$kind" = plain ] && text=$(copy_error 0x70 b.txt) || text=$(expand_error b.txt)
            stopped_writing "$text" "a.txt b.txt $copy"
        done
    done
    rm -rf "$dest"
    umount "$drive_r"
fi

# The temporary name is the file's own with a suffix. A name that fits in
# C:\usr only without the suffix (252 characters: a full path of 259) still
# installs, whole, with nothing beside it but what takes it back.
e2e_case longest_name_installs
long_name="$(printf 'n%.0s' {1..248}).txt"
printf 'COMPANY [Quorvane]\nFILESET [Setup files]\nBEGIN\nEND 0\nFILESET [Base tools]\nSOFTWARE [Quorvane32]\nEXPRESS\nBEGIN\nF a.txt %s\nEND 10\n' \
    "$long_name" | make_medium "$work/medium"
echo "payload of the longest name" > "$work/medium/a.txt"
rm -rf "$(drive_c)/usr"
SETUP_ARGS=/q run_setup "$work/medium" "$work/medium"
expect_status 0
expect_file "$(drive_c)/usr/$long_name" "payload of the longest name"
[ "$(ls "$(drive_c)/usr" | tr '\n' ' ')" = "$long_name uninstall-Quorvane-Quorvane32 uninstall-Quorvane-Quorvane32.log " ] ||
    fail "beside it: $(ls "$(drive_c)/usr")"
wine reg delete 'HKLM\Software\Quorvane' /f >/dev/null 2>&1
rm -rf "$(drive_c)/usr"

e2e_done
