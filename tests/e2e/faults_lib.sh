# Helpers of the fault tests (test_faults.sh, test_whole_files.sh): one file
# set installed into R:\usr over an earlier installation, the prefixes put
# back afterwards. Sourced after lib.sh.
drive_r="$SETUP_BUILD/drives/r"
dest="$drive_r/usr"
env_key='HKLM\System\CurrentControlSet\Control\Session Manager\Environment'
SETUP_TIMEOUT=60
earlier="kept from an earlier installation"

w95_expand="$SETUP_BUILD/wine/w95/drive_c/windows/expand.exe"
export WINEPREFIX="$SETUP_BUILD/wine/nt"
saved_path=$(reg_value "$env_key" Path | cut -d' ' -f2-)
restore_prefixes() {
    mountpoint -q "$drive_r" && umount "$drive_r"
    [ -f "$w95_expand.away" ] && mv "$w95_expand.away" "$w95_expand"
    [ -e "$dest" ] && chattr -R -i "$dest" 2>/dev/null
    rm -rf "$dest" "${SETUP_BUILD:?}/drives/"{a,d,n}/* "$SETUP_BUILD/wine/nt/drive_c/usr"
    export WINEPREFIX="$SETUP_BUILD/wine/w95"
    wine reg delete 'HKLM\Software\Quorvane' /f >/dev/null 2>&1
    rm -rf "$(drive_c)/windows/Start Menu/Programs/Quorvane32"
    export WINEPREFIX="$SETUP_BUILD/wine/nt"
    wine reg add "$env_key" /v Path /t REG_EXPAND_SZ /d "$saved_path" /f >/dev/null 2>&1
    wine reg delete 'HKLM\Software\Quorvane' /f >/dev/null 2>&1
    rm -rf "$(drive_c)/ProgramData/Microsoft/Windows/Start Menu/Programs/Quorvane32"
}
trap restore_prefixes EXIT

to_install=('dialog 100 CONTINUE' 'dialog 300 CONTINUE EditTextOut=R:' 'dialog 800 CONTINUE ButtonChecked=1')

# script COMPRESSION SIZE FILE...: one file set that installs these files,
# each from a source of the same name (compressed: its name ending in "_").
script() {
    local compression=$1 size=$2 suffix=""
    shift 2
    [ "$compression" = COMPRESSED ] && suffix=_
    printf 'COMPANY [Quorvane]\n%s\nFILESET [Setup files]\nBEGIN\nEND 0\n' "$compression"
    printf 'FILESET [Base tools]\nSOFTWARE [Quorvane32]\nEXPRESS\nBEGIN\n'
    for f in "$@"; do printf 'F %s%s %s\n' "$f" "$suffix" "$f"; done
    printf 'END %s\n' "$size"
}

# The payload: each file names itself, long enough for mscompress.
content_of() { printf 'payload file %s, installed by the fault tests\n' "$1"; }
# payload DIR COMPRESSED FILE...
payload() {
    local dir=$1 compressed=$2 f
    shift 2
    mkdir -p "$dir"
    for f in "$@"; do
        content_of "$f" > "$dir/$f"
        [ "$compressed" = yes ] && (cd "$dir" && mscompress "$f" && rm "$f")
    done
}

# An earlier installation left a file in R:\usr.
earlier_installation() {
    rm -rf "$dest"
    mkdir -p "$dest"
    echo "$earlier" > "$dest/earlier.txt"
}

# stopped_after TEXT FILE...: the fatal stop with TEXT; the files named were
# installed before it and are whole, as is the earlier installation's file.
stopped_after() {
    local text=$1 f
    shift
    expect_clean_end 1
    expect_line "msgbox \"$text\" \"Fatal Error\" 0 1"
    expect_intact "$dest/earlier.txt" "$earlier"
    for f in "$@"; do expect_intact "$dest/$f" "$(content_of "$f")"; done
}

# A file that cannot be replaced stands in the way. Root writes through a
# read-only mode, so the file is made immutable as well.
unreplaceable() {
    chmod a-w "$1"
    [ "$(id -u)" -ne 0 ] || chattr +i "$1" 2>/dev/null
}
