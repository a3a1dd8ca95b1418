# The table of the benchmark, in Markdown, from $bench/results.tsv. Sourced
# by scripts/bench. Every figure is a median over the rounds; a ratio is
# taken within each round (the installer's time over the floor's time in
# the same round) and then its median.

# summarise SMALL_COUNT MANY_COUNT LARGE_COUNT SCAN_LINES SCAN_FILES; also
# writes the medians to $bench/medians.tsv (FILES KIND INSTALLER SECONDS)
# for the plot.
summarise() {
    rm -f "$bench/medians.tsv"
    mawk -F'\t' -v small="$1" -v many="$2" -v large="$3" -v scan_lines="$4" -v scan_files="$5" \
        -v medians="$bench/medians.tsv" '
    function median(list,    n, v, i, j, t) {
        n = split(list, v, " ")
        for (i = 2; i <= n; i++)
            for (j = i; j > 1 && v[j - 1] + 0 > v[j] + 0; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
        return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
    }
    function add(key, value) { values[key] = values[key] (values[key] == "" ? "" : " ") value }
    function verdict(ok) { return ok ? "met" : "NOT met" }
    {
        time[$1, $2, $3, $4] = $5
        add($1 SUBSEP $2 SUBSEP $3, $5)
        if ($6 + 0 > peak[$1, $2, $3]) peak[$1, $2, $3] = $6 + 0
        rounds[$4] = 1
    }
    END {
        name["floor"] = "floor"; name["setup"] = "setup.exe"; name["uninstall"] = "setup.exe /u"
        name["nsis"] = "NSIS"; name["msi"] = "MSI"
        count["small"] = small; count["many"] = many; count["large"] = large
        print "| payload | medium | installer | median s | ms per file | × floor | peak RSS MB |"
        print "|---|---|---|---:|---:|---:|---:|"
        np = split("small many large", payloads, " "); nk = split("plain compressed exe-stored exe-deflated", kinds, " ")
        ni = split("floor setup uninstall nsis msi", installers, " ")
        for (p = 1; p <= np; p++) for (k = 1; k <= nk; k++) for (i = 1; i <= ni; i++) {
            key = payloads[p] SUBSEP kinds[k] SUBSEP installers[i]
            if (!(key in values)) continue
            ratios = ""
            for (r in rounds) {
                # A one-file medium against the floor of the plain files it holds.
                floor_time = time[payloads[p], kinds[k] ~ /^exe-/ ? "plain" : kinds[k], "floor", r]
                if ((payloads[p], kinds[k], installers[i], r) in time && floor_time > 0)
                    ratios = ratios " " time[payloads[p], kinds[k], installers[i], r] / floor_time
            }
            m = median(values[key])
            ratio[key] = median(ratios)
            med[key] = m
            printf "| %s (%d files) | %s | %s | %.2f | %.2f | %.2f | %.1f |\n", payloads[p], count[payloads[p]],
                kinds[k], name[installers[i]], m, m * 1000 / count[payloads[p]], ratio[key], peak[key] / 1024
            printf "%d\t%s\t%s\t%.3f\n", count[payloads[p]], kinds[k], name[installers[i]], m > medians
        }
        if (("scan" SUBSEP "copy" SUBSEP "floor") in values) {
            scans = ""; shares = ""
            for (r in rounds) {
                scan = time["scan", "scan-full", "setup", r] - time["scan", "scan-bare", "setup", r]
                scans = scans " " scan
                shares = shares " " scan / time["scan", "copy", "floor", r]
            }
            print ""
            print "| script | median s | peak RSS MB |"
            print "|---|---:|---:|"
            printf "| start-up to the welcome dialog and quit, %d body lines | %.2f | %.1f |\n", scan_lines,
                median(values["scan" SUBSEP "scan-full" SUBSEP "setup"]), peak["scan", "scan-full", "setup"] / 1024
            printf "| the same, no body lines | %.2f | %.1f |\n",
                median(values["scan" SUBSEP "scan-bare" SUBSEP "setup"]), peak["scan", "scan-bare", "setup"] / 1024
            printf "| the scan alone (the difference) | %.3f | |\n", median(scans)
            printf "| the floor copying the script'"'"'s %d files | %.2f | %.1f |\n", scan_files,
                median(values["scan" SUBSEP "copy" SUBSEP "floor"]), peak["scan", "copy", "floor"] / 1024
            scan_share = median(shares)
        }
        print ""
        print "Goals:"
        for (p = 1; p <= np; p++) for (k = 1; k <= 2; k++) {
            s = payloads[p] SUBSEP kinds[k] SUBSEP "setup"
            n = payloads[p] SUBSEP kinds[k] SUBSEP "nsis"; m = payloads[p] SUBSEP kinds[k] SUBSEP "msi"
            if (!(s in med) || !(n in med) || !(m in med)) continue
            printf "- faster than both peers, %s %s: %.2f s against NSIS %.2f s and MSI %.2f s, %s\n",
                payloads[p], kinds[k], med[s], med[n], med[m], verdict(med[s] < med[n] && med[s] < med[m])
        }
        # The one-file medium against the peers of its files as it holds
        # them: stored beside the plain peers, deflated beside the compressed.
        peer_kind["exe-stored"] = "plain"; peer_kind["exe-deflated"] = "compressed"
        for (p = 1; p <= np; p++) for (k = 3; k <= nk; k++) {
            s = payloads[p] SUBSEP kinds[k] SUBSEP "setup"
            n = payloads[p] SUBSEP peer_kind[kinds[k]] SUBSEP "nsis"; m = payloads[p] SUBSEP peer_kind[kinds[k]] SUBSEP "msi"
            if (!(s in med) || !(n in med) || !(m in med)) continue
            printf "- one file faster than both peers, %s %s: %.2f s against NSIS %.2f s and MSI %.2f s (%s), %s\n",
                payloads[p], kinds[k], med[s], med[n], med[m], peer_kind[kinds[k]],
                verdict(med[s] < med[n] && med[s] < med[m])
        }
        for (k = 3; k <= nk; k++) {
            s = peak["small", kinds[k], "setup"]; y = peak["many", kinds[k], "setup"]; l = peak["large", kinds[k], "setup"]
            if (!s || !y || !l) continue
            lo = s; hi = s
            if (y < lo) lo = y; if (y > hi) hi = y; if (l < lo) lo = l; if (l > hi) hi = l
            printf "- peak memory of the one file (its launcher) independent of the number of files, %s: %.1f MB with %d files, %.1f MB with %d, %.1f MB with %d, %s\n",
                kinds[k], s / 1024, small, y / 1024, many, l / 1024, large, verdict(hi - lo < 1024)
        }
        for (p = 1; p <= np; p++) for (k = 1; k <= 2; k++) {
            s = payloads[p] SUBSEP kinds[k] SUBSEP "setup"
            if (!(s in ratio)) continue
            limit = payloads[p] == "large" ? 1.10 : 1.25
            printf "- setup.exe within %d %% of the floor, %s %s: ratio %.2f, %s\n", (limit - 1) * 100 + 0.5,
                payloads[p], kinds[k], ratio[s], verdict(ratio[s] <= limit)
        }
        # Flat: the cost per file with ten times the files at most a quarter
        # above the cost with the small payload.
        for (k = 1; k <= 2; k++) {
            s = "small" SUBSEP kinds[k] SUBSEP "setup"; y = "many" SUBSEP kinds[k] SUBSEP "setup"
            fs = "small" SUBSEP kinds[k] SUBSEP "floor"; fy = "many" SUBSEP kinds[k] SUBSEP "floor"
            if (!(s in med) || !(y in med)) continue
            growth = (med[y] / many) / (med[s] / small)
            printf "- cost per file flat from %d to %d files, %s: setup.exe %.2f ms then %.2f ms (× %.2f; the floor × %.2f), %s\n",
                small, many, kinds[k], med[s] * 1000 / small, med[y] * 1000 / many, growth,
                (med[fy] / many) / (med[fs] / small), verdict(growth <= 1.25)
        }
        # Taking back is linear in the log: never slower than the installation.
        for (p = 1; p <= np; p++) for (k = 1; k <= 2; k++) {
            s = payloads[p] SUBSEP kinds[k] SUBSEP "setup"; u = payloads[p] SUBSEP kinds[k] SUBSEP "uninstall"
            if (!(s in med) || !(u in med)) continue
            printf "- setup.exe /u removes %d files faster than setup.exe installed them, %s: %.2f s against %.2f s, %s\n",
                count[payloads[p]], kinds[k], med[u], med[s], verdict(med[u] < med[s])
        }
        # Apart from the item lists, which these scripts do not have, nothing
        # is kept per file or per line: a megabyte covers the noise.
        s = peak["small", "plain", "setup"]; y = peak["many", "plain", "setup"]; l = peak["large", "plain", "setup"]
        f = peak["scan", "scan-full", "setup"]; b = peak["scan", "scan-bare", "setup"]
        if (s && y && l && f && b) {
            lo = s; hi = s
            if (y < lo) lo = y; if (y > hi) hi = y; if (l < lo) lo = l; if (l > hi) hi = l
            printf "- peak memory of setup.exe independent of the number of files: %.1f MB with %d files, %.1f MB with %d, %.1f MB with %d, %.1f MB over %d body lines, %.1f MB over none, %s\n",
                s / 1024, small, y / 1024, many, l / 1024, large, f / 1024, scan_lines, b / 1024,
                verdict(hi - lo < 1024 && f - b < 1024)
        }
        if (scan_share != "")
            printf "- the scan under a tenth of its files'"'"' copy: %.3f of it, %s\n", scan_share,
                scan_share < 0 ? "within the noise of the start-up" : verdict(scan_share < 0.1)
    }' "$bench/results.tsv"
}

# plot_medians PNG: seconds against the number of files, one line per
# installer, plain and compressed side by side (log scales).
plot_medians() {
    local series="$bench/plot" kind who
    rm -rf "$series" && mkdir -p "$series"
    for kind in plain compressed; do
        for who in floor setup.exe NSIS MSI; do
            mawk -F'\t' -v kind="$kind" -v who="$who" '$2 == kind && $3 == who { print $1 "\t" $4 }' \
                "$bench/medians.tsv" | sort -n > "$series/$kind-$who.tsv"
        done
    done
    gnuplot <<PLOT
set terminal pngcairo size 1100,460 font "sans,10"
set output "$1"
set logscale xy
set xrange [2:20000]
set xlabel "files installed"
set ylabel "seconds (median)"
set key top left
set grid
set multiplot layout 1,2
do for [kind in "plain compressed"] {
    set title sprintf("%s medium", kind)
    plot for [who in "floor setup.exe NSIS MSI"] sprintf("$series/%s-%s.tsv", kind, who) \
        using 1:2 with linespoints lw 2 pt 7 title who
}
unset multiplot
PLOT
}

# machine_facts LOAD_BEFORE LOAD_AFTER
machine_facts() {
    printf -- '- machine: %s processors, %s\n' "$(nproc)" "$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
    printf -- '- %s, 32-bit prefix of its own; Xvfb display\n' "$(wine --version)"
    if [ -n "$dest_store" ]; then
        printf -- '- installed into a memory file system (%s, /dev/shm)\n' "$dest_fs"
    else
        printf -- '- installed into the prefix on the disk (%s); no room in /dev/shm, or none writable\n' "$dest_fs"
    fi
    printf -- '- load average (1, 5, 15 min) before: %s; after: %s\n' "$1" "$2"
}

# write_performance_doc TABLE LOAD_BEFORE LOAD_AFTER REQUESTS
write_performance_doc() {
    cat <<DOC
# Performance

Written by \`scripts/bench\` on $(date -u +%Y-%m-%d); run it again to reproduce (\`scripts/bench --runs N\`
for another number of rounds than $runs).

The same payloads go through four installers, $runs rounds in one session, all under one Wine prefix
of their own (\`build/wine/bench\`) whose server and desktop stay up for the session, as a Windows
session's do (else every windowed run would start Wine's desktop process), each run into a clean
destination, with the disk done writing what the runs before it wrote and deleted. The destinations
lie on a memory file system where one has room (the facts at the end say where): on a disk formatted
as ext4 without a journal, as this machine's is, the file system passes over every inode freed in the
last minute each time it makes a file, so each run would pay for the deletion of the run before it,
about 0.7 ms a file for every installer alike, and the table would measure that.

- **floor**: \`bench/floor.cpp\`, the least work an installation needs: one \`CopyFileA\` per file, or
  on the compressed medium read, decode with the installer's own decoder (\`codec/\`) and write;
- **setup.exe**: \`setup.exe /q\` on a single-directory medium whose \`setup.inf\` lists every file
  (express installation into C:\\usr, registration included);
- **one file**: \`mkmedia build --kind exe\` of the plain medium's script, run with \`/q\`: the
  launcher writes setup.exe, its libraries and setup.inf into a directory under TMP and runs it,
  and setup.exe reads each file out of the archive; *exe-stored* holds the files as they are (set
  beside the plain peers), *exe-deflated* deflated by zlib (beside the compressed ones);
- **NSIS**: an installer made by makensis, run with \`/S\`; plain: \`SetCompress off\`, compressed: its
  default (zlib);
- **MSI**: a package made by wixl, installed with \`msiexec /i … /qn\`; plain: its files marked
  uncompressed and read from beside the package on the plain medium, compressed: its default (an
  embedded MSZIP cabinet).

Payloads: *small* is 1,000 files of 1 to 64 KB in 20 directories, *many* 10,000 such files in 200
directories (as many a directory), *large* 4 files of 50 MB; all seeded text, plain and compressed with
\`mscompress\`. The peers pack the plain files themselves.

Seconds are the wall time of the \`wine\` command of a run, median over the rounds. "× floor" is the
installer's time over the floor's time on the same medium in the same round, median over the rounds.
Peak RSS is \`/usr/bin/time -f %M\` of that \`wine\` command, the largest over the rounds: the resident
set of the installer's own process (for MSI, msiexec's; for the one file, its launcher's: setup.exe
runs in a process of its own that \`time\` does not see, and is measured in the directory media's rows). The scan table times setup.exe from start to the welcome dialog, where it quits,
over a script of 10 file sets of 2,000 body lines and over the same sets without body lines.

![Seconds against the number of files installed, plain and compressed](images/performance.png)

$1

Reading it: setup.exe decodes the compressed files in its own process, as the floor does; a file in
another format would still go to \`expand.exe\`. Per file it opens the source once, creates the
temporary file beside the destination once and writes it through that handle, summing the bytes for
the uninstallation log on the way, and once the file is whole names it through the same handle. Under
Wine every open, close and rename is a request to the one server process that all programs of the
session share, and the server does the file system work of each itself; the table below counts them
in a traced run of each on the small plain medium, from the first file to the last. NSIS reads its
files from its own open archive and writes each in place, three requests a file fewer than anything
that opens a source file of a medium; the floor opens each source and writes in place; setup.exe's
rename, which keeps a file that is not whole from ever standing under its name, is the request neither
makes, and its new name is one more that Wine can only tell is free by reading the whole directory.
Beyond that, setup.exe has a fixed part that the floor and NSIS (\`/S\`, no window) do not: the
start-up of a windowed program, whose frame alone the scan table times (start-up to the welcome
dialog, no body lines), then the progress window, the registration and the uninstaller's copy. On the
small payloads that fixed part is a large share of the floor's whole time. Per file there is also one
line of the uninstallation log (written at once, so that a killed run leaves the record of every file
it put in place), the script line and the progress window (texts and bar only when they change, the
queue asked at most every 20 ms).

$4

$(machine_facts "$2" "$3")
DOC
}
