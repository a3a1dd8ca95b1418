# Helpers for the GUI tests: setup.exe on a Wine desktop on the X display,
# keys and clicks with xdotool, screenshots with ImageMagick.
. "$(dirname "$0")/../e2e/lib.sh"

: "${DISPLAY:?the GUI tests need an X display (scripts/test runs them under Xvfb)}"
artifacts="$SETUP_BUILD/artifacts"
mkdir -p "$artifacts"

# start_setup START_DIR PROGRAM_DIR: setup.exe with a transcript, on a
# 1024x768 Wine desktop so its windows get real frames. SETUP_ARGS adds
# options in front.
start_setup() {
    local start=$1 program=$2
    rm -f "$work/transcript"
    (cd "$start" && exec wine explorer /desktop=setup,1024x768 cmd /c \
        "set TMP=$(winpath "$work/tmp")&& $(winpath "$program")\\setup.exe ${SETUP_ARGS:-} /t $(winpath "$work/transcript")" \
        </dev/null >"$work/stdout" 2>&1) &
    setup_pid=$!
}

# wait_for_line TEXT [SECONDS]: until the transcript has that line.
wait_for_line() {
    local i
    for ((i = 0; i < ${2:-30} * 4; i++)); do
        grep -qxF -- "$1" "$work/transcript" 2>/dev/null && return 0
        sleep 0.25
    done
    fail "timed out waiting for: $1"
    return 1
}

# wait_for_window TITLE [SECONDS]: the X id of a visible window with that title.
wait_for_window() {
    local i id
    for ((i = 0; i < ${2:-30} * 4; i++)); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.25
    done
    return 1
}

# express_to DRIVE: through the welcome, the destination drive and the
# express installation, as a user types them.
express_to() {
    local welcome destination install_type
    if welcome=$(wait_for_window "Welcome"); then keys "$welcome" Return; fi
    if destination=$(wait_for_window "Destination Drive"); then
        keys "$destination" Home shift+End
        type_text "$destination" "$1"
        keys "$destination" Return
    fi
    if install_type=$(wait_for_window "Installation Type"); then keys "$install_type" Return; fi
}

screenshot() { sleep 0.5; import -window root "$artifacts/$1.png"; }

# finish_setup: the exit status of setup.exe, waiting at most 30 seconds.
finish_setup() {
    local i
    for ((i = 0; i < 120; i++)); do
        kill -0 "$setup_pid" 2>/dev/null || break
        sleep 0.25
    done
    if kill -0 "$setup_pid" 2>/dev/null; then
        fail "setup.exe did not end"
        kill "$setup_pid" 2>/dev/null
        wineserver -k 2>/dev/null
    fi
    wait "$setup_pid"
    status=$?
}

# click_button WINDOW BUTTON: clicks back, continue, exit or help in the
# button row of a dialog; every dialog has them at the same places, 260
# dialog units wide (OK stands where Continue or Exit or Help would).
click_button() {
    local width height centre
    case $2 in
        back) centre=68 ;; continue) centre=116 ;; exit) centre=172 ;; help) centre=228 ;;
        *) fail "no button $2"; return 1 ;;
    esac
    width=$(xwininfo -id "$1" | awk '/Width:/ {print $2}')
    height=$(xwininfo -id "$1" | awk '/Height:/ {print $2}')
    # Inside the 3-pixel frame; the row's middle is 14 units above the
    # bottom, a unit down being about 13/14 of a unit across.
    xdotool mousemove --window "$1" $((3 + centre * (width - 6) / 260)) \
        $((height - 3 - 14 * 13 * (width - 6) / (260 * 14))) click 1
}

# keys WINDOW KEY...: the keys, typed into that window.
keys() {
    local window=$1
    shift
    xdotool windowfocus "$window"
    xdotool key "$@"
}

type_text() {
    xdotool windowfocus "$1"
    xdotool type --delay 20 "$2"
}
