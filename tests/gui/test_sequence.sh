#!/usr/bin/env bash
# Welcome, destination, install type and custom on the real dialogs, driven
# by the mouse and the keyboard, with a screenshot of each.
. "$(dirname "$0")/lib.sh"

script() {
    printf 'COMPANY [Quorvane]\nFILESET [Setup files]\nBEGIN\nEND 0\n'
    printf 'FILESET [Base tools]\nEXPRESS\nBEGIN\nEND 90112\n'
    printf 'FILESET [Samples]\nBEGIN\nEND 1000000\n'
    printf 'FILESET [Big data]\nBEGIN\nEND 3000000\n'
}

# click_dlu WINDOW X Y: a click at dialog units X, Y of a dialog with the
# product's font (7 by 13 pixel base units) below a 22-pixel caption.
click_dlu() {
    xdotool mousemove --window "$1" $((3 + $2 * 7 / 4)) $((22 + $3 * 13 / 8)) click 1
}

e2e_case click_through
script | make_medium "$work/medium"
start_setup "$work/medium" "$work/medium"
if welcome=$(wait_for_window "Welcome"); then
    screenshot welcome_dialog
    click_button "$welcome" continue
    wait_for_line 'dialog 100 CONTINUE'
fi
if destination=$(wait_for_window "Destination Drive"); then
    screenshot destination_dialog
    keys "$destination" Home shift+End
    type_text "$destination" 'c:\somewhere\else'
    keys "$destination" Return
    wait_for_line 'dialog 300 CONTINUE'
fi
if install_type=$(wait_for_window "Installation Type"); then
    screenshot install_type_dialog
    keys "$install_type" alt+u
    click_button "$install_type" continue
    wait_for_line 'dialog 800 CONTINUE'
fi
if custom=$(wait_for_window "Custom Installation"); then
    screenshot custom_dialog
    click_dlu "$custom" 40 55  # the second file set
    wait_for_line 'dialog 6200 CHK2'
    wait_for_line 'add "DriveStatusText" "1090  KB"'
    screenshot custom_dialog_after_toggle
    keys "$custom" Escape
    wait_for_line 'dialog 6200 EXIT'
fi
if quit=$(wait_for_window "Exit Setup"); then
    click_button "$quit" exit
fi
finish_setup
expect_line 'set "ButtonChecked" "2"'
expect_line 'add "DriveStatusText" "c:\\usr"'
expect_line 'add "DriveStatusText" "90  KB"'
expect_line 'dialog 200 EXIT'
expect_files 0 "$work/tmp/pex*.tmp"

# The frame's close box asks to quit, as Escape does; going on from the
# quit dialog brings the step back.
e2e_case frame_close_box
script | make_medium "$work/medium"
start_setup "$work/medium" "$work/medium"
if frame=$(wait_for_window "Quorvane/32 2.0 Installation") && wait_for_window "Welcome" >/dev/null; then
    width=$(xwininfo -id "$frame" | awk '/Width:/ {print $2}')
    # The close box: the rightmost button of the caption.
    xdotool mousemove --window "$frame" $((width - 12)) 10 click 1
    wait_for_line 'dialog 100 EXIT'
    if quit=$(wait_for_window "Exit Setup"); then
        screenshot quit_from_close_box
        click_button "$quit" exit
    fi
fi
finish_setup
expect_status 0
expect_line 'dialog 200 EXIT'
expect_no_line 'dialog 400 CONTINUE'
expect_files 0 "$work/tmp/*"

# The usage box: one option to a line, its text beside it, nothing wrapped.
e2e_case usage_box
script | make_medium "$work/medium"
SETUP_ARGS=/? start_setup "$work/medium" "$work/medium"
if usage=$(wait_for_window "^Setup$"); then
    screenshot usage_box
    keys "$usage" Return
fi
finish_setup
expect_status 0

e2e_done
