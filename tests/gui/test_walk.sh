#!/usr/bin/env bash
# Every step of an installation, at 96 and at 120 dots per inch, driven by
# keys and clicks: F1 opens each step's help, the custom step with nine
# parts (one with a long name) stays clear of the banner,
# and the quit dialog ends the run. A screenshot of each step is kept.
. "$(dirname "$0")/lib.sh"
"$SETUP_TOP/scripts/prefix" "$SETUP_BUILD" dpi120

banner_bottom=$((24 + $(identify -format %h "$SETUP_TOP/dialogs/banner.bmp")))

script() {
    printf 'COMPANY [Quorvane]\nFILESET [Setup files]\nBEGIN\nEND 0\n'
    printf 'FILESET [Base tools]\nEXPRESS\nBEGIN\nEND 10\n'
    printf 'FILESET [MANUALS & SAMPLES: WINDOWS, MS-DOS AND OS/2 EDITIONS, WITH PRINTED REFERENCE]\nBEGIN\nEND 1000\n'
    for n in 3 4 5 6 7 8 9; do printf 'FILESET [Part %d]\nBEGIN\nEND 1000\n' "$n"; done
}

# help_on WINDOW SHOT: F1 on the step opens its help; Enter closes it.
help_on() {
    local help
    keys "$1" F1
    if help=$(wait_for_window "Setup Help" 10); then
        screenshot "$2"
        keys "$help" Return
        sleep 0.5
    else
        fail "F1 opened no help on $2"
    fi
}

for prefix in nt dpi120; do
    e2e_case "walk_$prefix" "$prefix"
    script | make_medium "$work/medium"
    start_setup "$work/medium" "$work/medium"
    if welcome=$(wait_for_window "Welcome"); then
        screenshot "walk_${prefix}_welcome"
        help_on "$welcome" "walk_${prefix}_welcome_help"
        click_button "$welcome" continue
        wait_for_line 'dialog 100 CONTINUE'
    fi
    if destination=$(wait_for_window "Destination Drive"); then
        help_on "$destination" "walk_${prefix}_destination_help"
        keys "$destination" Home shift+End
        type_text "$destination" R:
        screenshot "walk_${prefix}_destination"
        keys "$destination" Return
        wait_for_line 'dialog 300 CONTINUE'
    fi
    if install_type=$(wait_for_window "Installation Type"); then
        help_on "$install_type" "walk_${prefix}_install_type_help"
        keys "$install_type" alt+u
        screenshot "walk_${prefix}_install_type"
        click_button "$install_type" continue
        wait_for_line 'dialog 800 CONTINUE'
    fi
    if custom=$(wait_for_window "Custom Installation"); then
        help_on "$custom" "walk_${prefix}_custom_help"
        top=$(xwininfo -id "$custom" | awk '/Absolute upper-left Y:/ {print $4}')
        [ "$top" -ge "$banner_bottom" ] || fail "the custom step at y $top covers the banner (to y $banner_bottom)"
        screenshot "walk_${prefix}_custom"
        keys "$custom" Escape
        wait_for_line 'dialog 6200 EXIT'
    fi
    if quit=$(wait_for_window "Exit Setup"); then
        help_on "$quit" "walk_${prefix}_quit_help"
        screenshot "walk_${prefix}_quit"
        click_button "$quit" exit
    fi
    finish_setup
    expect_status 0
    expect_line 'dialog 200 EXIT'
done

# The vendor's product: its name in the frame's title, every dialog and the
# help, its banner over the gradient, the dialogs below that banner.
e2e_case walk_branded nt
script | sed 's/^COMPANY /PRODUCT [Pinecone Notes 3.1]\nBANNER [art\\pinecone.bmp]\nCOMPANY /' | make_medium "$work/medium"
mkdir -p "$work/medium/art"
convert -size 480x150 gradient:'#1d4d1a'-'#5f9f3a' -font DejaVu-Sans-Bold -pointsize 44 -fill white \
    -gravity west -annotate +20+0 'Pinecone Notes' +dither -colors 256 -type Palette -compress None \
    BMP3:"$work/medium/art/pinecone.bmp"
start_setup "$work/medium" "$work/medium"
wait_for_window "Pinecone Notes 3.1 Installation" >/dev/null || fail "the frame is not titled with the product"
if welcome=$(wait_for_window "Welcome"); then
    screenshot walk_branded_welcome
    keys "$welcome" F1
    if help=$(wait_for_window "Pinecone Notes 3.1 Setup Help" 10); then
        screenshot walk_branded_welcome_help
        keys "$help" Return
        sleep 0.5
    else
        fail "the help does not name the product"
    fi
    click_button "$welcome" continue
fi
if destination=$(wait_for_window "Destination Drive"); then
    keys "$destination" Home shift+End
    type_text "$destination" R:
    keys "$destination" Return
fi
if install_type=$(wait_for_window "Installation Type"); then
    keys "$install_type" alt+u
    click_button "$install_type" continue
fi
if custom=$(wait_for_window "Custom Installation"); then
    top=$(xwininfo -id "$custom" | awk '/Absolute upper-left Y:/ {print $4}')
    [ "$top" -ge $((24 + 150)) ] || fail "the custom step at y $top covers the banner (to y $((24 + 150)))"
    screenshot walk_branded_custom
    keys "$custom" Escape
fi
if quit=$(wait_for_window "Exit Setup"); then
    screenshot walk_branded_quit
    click_button "$quit" exit
fi
finish_setup
expect_status 0
expect_line 'product "Pinecone Notes 3.1"'
expect_line 'dialog 200 EXIT'

# The name alone: the frame paints it where the banner would stand.
e2e_case walk_named nt
script | sed 's/^COMPANY /PRODUCT [Pinecone Notes 3.1]\nCOMPANY /' | make_medium "$work/medium"
start_setup "$work/medium" "$work/medium"
if welcome=$(wait_for_window "Welcome"); then
    screenshot walk_named_welcome
    keys "$welcome" Escape
fi
if quit=$(wait_for_window "Exit Setup"); then
    click_button "$quit" exit
fi
finish_setup
expect_status 0
expect_line 'product "Pinecone Notes 3.1"'

e2e_done
