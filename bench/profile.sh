# Where the time of a small file goes under Wine: every open, close and
# rename is a request to the one server process that all programs of the
# session share, and the server does the file system work of each itself.
# Sourced by scripts/bench.

# count_requests TRACE FIRST LAST FILES: the server requests in a trace of
# WINEDEBUG=+server of the thread that first names FIRST, from that request
# to its first naming LAST, per file, then the four most frequent kinds.
count_requests() {
    mawk -v first="$2" -v last="$3" -v files="$4" '
        !/^[0-9a-f]+: [a-z_0-9]+\( / { next }
        !counting && !done && index($0, first) { counting = 1; thread = $1 }
        $1 != thread { next }
        counting && index($0, last) { counting = 0; done = 1 }
        counting {
            kind = $2; sub(/\(.*/, "", kind)
            total++; kinds[kind]++
        }
        END {
            if (!done || files < 2) { print "? | |"; exit }
            printf "%.1f |", total / (files - 1)
            for (n = 1; n <= 4; n++) {
                best = ""
                for (k in kinds) if (best == "" || kinds[k] > kinds[best]) best = k
                if (best == "") break
                printf "%s %s %.1f", (n > 1 ? "," : ""), best, kinds[best] / (files - 1)
                delete kinds[best]
            }
            print ""
        }' "$1"
}

# profile_requests FILES: one traced run each of the floor, setup.exe and
# NSIS on the small plain medium, and of the one file that holds it stored;
# prints a table of their requests per file.
profile_requests() {
    local files=$1 medium="$bench/media/small-plain" installer label trace last
    last=$(printf 'f%04d.dat' "$files")
    printf '| installer | server requests per file | the most frequent, per file |\n|---|---:|---|\n'
    for installer in floor:floor setup:setup.exe one:"one file, stored" nsis:NSIS; do
        label=${installer#*:} installer=${installer%%:*}
        trace="$bench/requests-$installer.txt"
        clean_destinations
        # The server writes the trace where its own output goes: a server
        # of its own for the run.
        wineserver -k 2>/dev/null || true
        case $installer in
            floor) (cd "$medium" && WINEDEBUG=+server wine "$floor_exe" copy "$(winpath "$bench/lists/small-plain.txt")") ;;
            setup) (cd "$medium" && WINEDEBUG=+server wine setup.exe /q) ;;
            one) (cd "$bench/media" && WINEDEBUG=+server wine small-exe-stored.exe /q) ;;
            nsis) (cd "$medium" && WINEDEBUG=+server wine "$(winpath "$bench/peers/small-plain.exe")" /S '/D=C:\nsis') ;;
        esac </dev/null >/dev/null 2>"$trace" || { echo "bench: the traced $installer run failed" >&2; exit 1; }
        [ "$installer" = floor ] || [ "$installer" = nsis ] || clean_registration
        printf '| %s | %s |\n' "$label" "$(count_requests "$trace" f0001.dat "$last" "$files")"
        rm -f "$trace"
    done
    clean_destinations
}
