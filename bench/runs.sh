# One timed run of an installer, the check that it installed every file,
# and the clean-up that gives the next run a clean destination. Sourced by
# scripts/bench; every run goes to $bench/results.tsv as
#   PAYLOAD KIND INSTALLER ROUND SECONDS PEAK_RSS_KB

env_key='HKLM\System\CurrentControlSet\Control\Session Manager\Environment'
programs_dir() { printf '%s/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs' "$WINEPREFIX"; }

# The Path as the prefix had it before the first run; setup.exe adds to it.
save_path() {
    saved_path=$(wine reg query "$env_key" /v Path 2>/dev/null | tr -d '\r' |
        mawk '$1 == "Path" { sub(/^[ \t]*Path[ \t]+REG_[A-Z_]+[ \t]+/, ""); print }')
    [ -n "$saved_path" ] || { echo "bench: the prefix has no Path" >&2; exit 1; }
}

# choose_destination_store KB: a memory file system with KB to spare, so
# that no run pays for the deletions of the one before (the report's
# introduction says why); without one, the prefix on the disk. Sets
# dest_store (empty: the disk) and dest_fs, the type the runs had.
choose_destination_store() {
    local need_kb=$1 free_kb
    dest_store=""
    free_kb=$(df -Pk /dev/shm 2>/dev/null | mawk 'NR == 2 { print $4 }')
    if [ -w /dev/shm ] && [ "${free_kb:-0}" -ge "$need_kb" ]; then
        dest_store=$(mktemp -d /dev/shm/setup-bench.XXXXXX)
    fi
    dest_fs=$(stat -f -c %T "${dest_store:-$WINEPREFIX/drive_c}")
}

# Every destination empty; on the memory file system each is a directory
# there that the drive's folder links to.
clean_destinations() {
    local c="$WINEPREFIX/drive_c" dir
    rm -rf "$c/usr" "$c/floor" "$c/nsis" "$c/msi" "$(programs_dir)/BenchPayload"
    [ -n "${dest_store:-}" ] || return 0
    for dir in usr floor nsis msi; do
        rm -rf "${dest_store:?}/$dir"
        mkdir "$dest_store/$dir"
        ln -s "$dest_store/$dir" "$c/$dir"
    done
}

# What setup.exe registered; the Path goes back to what it was.
clean_registration() {
    wine reg delete 'HKLM\Software\BenchCo' /f >/dev/null 2>&1 || true
    wine reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\BenchCo-BenchPayload' /f >/dev/null 2>&1 || true
    wine reg add "$env_key" /v Path /t REG_EXPAND_SZ /d "$saved_path" /f >/dev/null 2>&1
}

# timed LABEL DIR COMMAND...: runs COMMAND in DIR under /usr/bin/time;
# sets seconds and rss_kb. A failing command ends the benchmark.
timed() {
    local label=$1 dir=$2 start end status=0
    shift 2
    start=$(date +%s%N)
    (cd "$dir" && /usr/bin/time -f %M -o "$bench/rss" "$@" </dev/null >"$bench/run.log" 2>&1) || status=$?
    end=$(date +%s%N)
    if [ "$status" -ne 0 ]; then
        cat "$bench/run.log" >&2
        echo "bench: $label failed with exit code $status" >&2
        exit 1
    fi
    seconds=$(mawk -v ns=$((end - start)) 'BEGIN { printf "%.3f", ns / 1e9 }')
    rss_kb=$(tail -n 1 "$bench/rss")
}

# expect_installed LABEL ROOT MANIFEST [OWN...]: every file of the manifest,
# with its content, and nothing else but the installer's own files OWN
# (below ROOT), which must be there.
expect_installed() {
    local label=$1 root=$2 manifest=$3 found expected own
    shift 3
    expected=$(($(wc -l < "$manifest") + $#))
    found=$(find -H "$root" -type f 2>/dev/null | wc -l)
    for own in "$@"; do
        [ -f "$root/$own" ] || found=-1
    done
    if [ "$found" -ne "$expected" ] || ! (cd "$root" && md5sum --quiet -c "$manifest" >/dev/null 2>&1); then
        echo "bench: $label installed $found of $expected files, or not their content" >&2
        exit 1
    fi
}

record() { printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$@" "$seconds" "$rss_kb" >> "$bench/results.tsv"; }

# run_installer PAYLOAD KIND INSTALLER ROUND
run_installer() {
    local name=$1 kind=$2 installer=$3 round=$4 medium="$bench/media/$1-$2" root
    local c="$WINEPREFIX/drive_c" mode=copy msi
    # A one-file medium is a program beside the others.
    [[ $kind != exe-* ]] || medium="$bench/media"
    clean_destinations
    # The last run's files and their deletion still being written out
    # would slow this run by chance.
    sync
    case $installer in
        floor)
            [ "$kind" = compressed ] && mode=decode
            timed "$name $kind floor" "$medium" wine "$floor_exe" "$mode" "$(winpath "$bench/lists/$name-$kind.txt")"
            root="$c/floor" ;;
        setup)
            if [[ $kind == exe-* ]]; then
                timed "$name $kind one file" "$medium" wine "$name-$kind.exe" /q
            else
                timed "$name $kind setup.exe" "$medium" wine setup.exe /q
            fi
            root="$c/usr" ;;
        nsis)
            timed "$name $kind NSIS" "$medium" wine "$(winpath "$bench/peers/$name-$kind.exe")" /S '/D=C:\nsis'
            root="$c/nsis" ;;
        msi)
            msi=$(winpath "$(msi_package "$name" "$kind")")
            timed "$name $kind MSI" "$medium" wine msiexec /i "$msi" /qn 'INSTALLDIR=C:\msi'
            root="$c/msi" ;;
    esac
    if [ "$installer" = setup ]; then
        expect_installed "$name $kind $installer" "$root" "$bench/lists/$name.md5" uninstall-BenchCo-BenchPayload.log \
            uninstall-BenchCo-BenchPayload/{setup.exe,setuprt.dll,mscuistf.dll}
    else
        expect_installed "$name $kind $installer" "$root" "$bench/lists/$name.md5"
    fi
    record "$name" "$kind" "$installer" "$round"
    # setup.exe takes its installation back with the copy it left.
    if [ "$installer" = setup ]; then
        sync
        timed "$name $kind setup.exe /u" "$medium" wine 'C:\usr\uninstall-BenchCo-BenchPayload\setup.exe' \
            /u 'C:\usr\uninstall-BenchCo-BenchPayload.log' /q
        [ "$(find -H "$root" -type f 2>/dev/null | wc -l)" -le 3 ] || {
            echo "bench: $name $kind setup.exe /u left files behind" >&2
            exit 1
        }
        record "$name" "$kind" uninstall "$round"
    fi
    case $installer in
        setup) clean_registration ;;
        msi) wine msiexec /x "$msi" /qn >/dev/null 2>&1 || true ;;
    esac
    clean_destinations
}

# run_scan ROUND: setup.exe quitting at its welcome dialog over the long and
# the bare script, and the floor copying the long script's files.
run_scan() {
    local round=$1 c="$WINEPREFIX/drive_c" dir
    for dir in scan-full scan-bare; do
        timed "$dir" "$bench/media/$dir" wine setup.exe /a quit.txt
        record scan "$dir" setup "$round"
    done
    clean_destinations
    sync
    timed "scan copy" "$bench/media/small-plain" wine "$floor_exe" copy "$(winpath "$bench/lists/scan.txt")"
    local copied
    copied=$(find -H "$c/floor" -type f | wc -l)
    [ "$copied" -eq "$(cat "$bench/lists/scan.count")" ] || {
        echo "bench: the scan's copy made $copied files" >&2
        exit 1
    }
    record scan copy floor "$round"
    clean_destinations
}
