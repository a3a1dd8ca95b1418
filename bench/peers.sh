# The peers: an NSIS installer and an MSI package of the same payload, built
# once per payload and medium kind (rebuilt when their source changes).
# Sourced by scripts/bench.
#
# plain:      NSIS with SetCompress off; an MSI whose files are marked
#             uncompressed and read from beside the package on the plain
#             medium (wixl always writes an MSZIP cabinet, which is emptied)
# compressed: both with their default compression (NSIS zlib, MSI MSZIP)

# build_if_changed SOURCE TARGET COMMAND...: runs COMMAND when SOURCE differs
# from the copy kept beside TARGET, or TARGET is missing.
build_if_changed() {
    local source=$1 target=$2
    shift 2
    if [ -f "$target" ] && cmp -s "$source" "$target.source"; then
        return 0
    fi
    "$@" >"$target.log" 2>&1 || { cat "$target.log" >&2; echo "bench: building $target failed" >&2; exit 1; }
    cp "$source" "$target.source"
}

# write_nsi NAME KIND COUNT DIRS
write_nsi() {
    local name=$1 kind=$2 count=$3 dirs=$4 d i
    printf 'Name "Bench payload %s"\nOutFile "%s"\nInstallDir "C:\\nsis"\n' "$name" "$bench/peers/$name-$kind.exe"
    printf 'RequestExecutionLevel admin\n'
    [ "$kind" = plain ] && printf 'SetCompress off\n'
    printf 'Section\n'
    for ((d = 1; d <= dirs; d++)); do
        printf '  SetOutPath "$INSTDIR\\d%02d"\n' "$d"
        for ((i = d; i <= count; i += dirs)); do
            printf '  File "%s/f%04d.dat"\n' "$bench/media/$name-plain" "$i"
        done
    done
    printf 'SectionEnd\n'
}

# A GUID that is the same on every run, from a kind number and an index.
guid() { printf '5e1f%04x-0b3a-4c2d-9e8f-%012x' "$1" "$2"; }

# write_wxs NAME KIND COUNT DIRS PRODUCT: one component per file, as the
# usual generators make them.
write_wxs() {
    local name=$1 kind=$2 count=$3 dirs=$4 product=$5 d i
    cat <<WXS
<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="$(guid 1 "$product")" Name="Bench payload $name $kind" Language="1033" Version="1.0.0"
           Manufacturer="BenchCo" UpgradeCode="$(guid 2 "$product")">
    <Package InstallerVersion="200" Compressed="yes" InstallScope="perMachine"/>
    <Media Id="1" Cabinet="payload.cab" EmbedCab="yes"/>
    <Directory Id="TARGETDIR" Name="SourceDir">
      <Directory Id="INSTALLDIR" Name="msi">
WXS
    for ((d = 1; d <= dirs; d++)); do
        printf '        <Directory Id="d%02d" Name="d%02d">\n' "$d" "$d"
        for ((i = d; i <= count; i += dirs)); do
            printf '          <Component Id="c%04d" Guid="%s"><File Id="f%04d" Source="f%04d.dat" KeyPath="yes"/></Component>\n' \
                "$i" "$(guid 3 $((product * 100000 + i)))" "$i" "$i"
        done
        printf '        </Directory>\n'
    done
    printf '      </Directory>\n    </Directory>\n    <Feature Id="Payload" Level="1">\n'
    for ((i = 1; i <= count; i++)); do printf '      <ComponentRef Id="c%04d"/>\n' "$i"; done
    printf '    </Feature>\n  </Product>\n</Wix>\n'
}

# The plain package reads every file from its own directory on the medium:
# files marked uncompressed (0x2000 | vital 0x200), source directories ".",
# no cabinet.
uncompress_msi() {
    local msi=$1 dirs=$2 d queries=()
    queries+=(-q "UPDATE File SET Attributes = 8704")
    queries+=(-q "UPDATE Directory SET DefaultDir = 'msi:.' WHERE Directory = 'INSTALLDIR'")
    for ((d = 1; d <= dirs; d++)); do
        queries+=(-q "$(printf "UPDATE Directory SET DefaultDir = 'd%02d:.' WHERE Directory = 'd%02d'" "$d" "$d")")
    done
    queries+=(-q "UPDATE Media SET Cabinet = ''" -a payload.cab /dev/null)
    msibuild "$msi" "${queries[@]}"
}

# build_msi WXS MSI KIND DIRS MEDIUM: wixl takes the files by their names
# in the medium.
build_msi() {
    local wxs=$1 msi=$2 kind=$3 dirs=$4
    (cd "$5" && wixl -o "$msi" "$wxs") || return 1
    [ "$kind" = compressed ] || uncompress_msi "$msi" "$dirs"
}

# msi_package NAME KIND: where the package lies; the plain one must lie on
# the plain medium, beside the files it reads.
msi_package() {
    if [ "$2" = plain ]; then
        printf '%s/bench.msi' "$bench/media/$1-plain"
    else
        printf '%s/%s-compressed.msi' "$bench/peers" "$1"
    fi
}

# make_peers NAME COUNT DIRS PRODUCT
make_peers() {
    local name=$1 count=$2 dirs=$3 product=$4 kind n=0
    mkdir -p "$bench/peers"
    for kind in plain compressed; do
        n=$((n + 1))
        write_nsi "$name" "$kind" "$count" "$dirs" > "$bench/peers/$name-$kind.nsi"
        build_if_changed "$bench/peers/$name-$kind.nsi" "$bench/peers/$name-$kind.exe" \
            makensis -V1 "$bench/peers/$name-$kind.nsi"
        write_wxs "$name" "$kind" "$count" "$dirs" $((product * 2 + n)) > "$bench/peers/$name-$kind.wxs"
        build_if_changed "$bench/peers/$name-$kind.wxs" "$(msi_package "$name" "$kind")" \
            build_msi "$bench/peers/$name-$kind.wxs" "$(msi_package "$name" "$kind")" "$kind" "$dirs" \
            "$bench/media/$name-plain"
    done
}
