#!/usr/bin/env bash
# The source dialog, the invalid-path dialog, the quit dialog and help, on the
# real dialogs, driven by keys and by the mouse.
. "$(dirname "$0")/lib.sh"

script() {
    printf 'COMPANY [Quorvane]\nFILESET [Setup files]\nBEGIN\nEND 0\n'
    printf 'FILESET [Base tools]\nBEGIN\nF tool.txt tool.txt\nEND 10\n'
}

e2e_case find_the_script
script | make_medium "$work/medium"
mkdir -p "$work/empty"
make_program "$work/program"
start_setup "$work" "$work/program"
wait_for_line 'set "EditFocus" "END"'
if dialog=$(wait_for_window "Installation Files"); then
    screenshot source_dialog
    keys "$dialog" Home shift+End
    type_text "$dialog" "$(winpath "$work/empty")"
    keys "$dialog" Return
    wait_for_line 'dialog 103 CONTINUE'
fi
if info=$(wait_for_window "Location Cannot Be Used"); then
    screenshot invalid_path_dialog
    click_button "$info" continue  # OK
    wait_for_line 'dialog 6400 CONTINUE'
fi
if dialog=$(wait_for_window "Installation Files"); then
    keys "$dialog" Home shift+End
    type_text "$dialog" "$(winpath "$work/medium")"
    keys "$dialog" Return
fi
# The script is found: the welcome dialog follows, and the private copy is
# there until the run ends.
if welcome=$(wait_for_window "Welcome"); then
    expect_files 1 "$work/tmp/pex*.tmp"
    keys "$welcome" Escape
    wait_for_line 'dialog 100 EXIT'
fi
if quit=$(wait_for_window "Exit Setup"); then
    keys "$quit" alt+x
fi
finish_setup
expect_line "set \"EditTextOut\" \"$(winpath "$work/empty" | sed 's/\\/\\\\/g')\""
expect_line 'set "LocationProblem" "NO_FILES"'
expect_line "set \"EditTextOut\" \"$(winpath "$work/medium" | sed 's/\\/\\\\/g')\""
expect_files 0 "$work/tmp/pex*.tmp"

e2e_case quit_with_the_mouse
script | make_medium "$work/medium"
make_program "$work/program"
start_setup "$work" "$work/program"
if dialog=$(wait_for_window "Installation Files"); then
    click_button "$dialog" exit
    wait_for_line 'dialog 103 EXIT'
fi
if quit=$(wait_for_window "Exit Setup"); then
    screenshot quit_dialog
    click_button "$quit" help
    if help=$(wait_for_window "Setup Help"); then
        screenshot help_dialog
        keys "$help" Return
    fi
    keys "$quit" Escape
    wait_for_line 'dialog 200 CANCEL'
fi
if dialog=$(wait_for_window "Installation Files"); then
    keys "$dialog" alt+x
    wait_for_line 'dialog 103 EXIT'
fi
sleep 1
if quit=$(wait_for_window "Exit Setup"); then
    click_button "$quit" exit
fi
finish_setup
expect_line 'dialog 200 EXIT'
expect_files 0 "$work/tmp/pex*.tmp"

e2e_done
