// controls.h - control ids of the dialog templates and what each button means.
//
// Read by the resource compiler as well as by the procedures, so the ids are
// plain macros; the tables below are hidden from the resource compiler.
#pragma once

#include <windows.h>

// Buttons. IDOK is Continue (or OK), IDCANCEL is Esc and the close box,
// IDHELP is Help.
#define IDC_EXIT 100
#define IDC_BACK 101
#define IDC_CHANGE_DRIVE 102  // custom dialog: choose another destination

// The one edit field of the edit dialogs.
#define IDC_EDIT 110

// Icon placeholders; the procedures put the matching system icon in them.
#define IDC_ICON_ERROR   120
#define IDC_ICON_WARNING 121
#define IDC_ICON_INFO    122

// The install-type dialog: one radio button per value of "RadioDefault" and
// "ButtonChecked", consecutive in the template so that they form one group.
#define IDC_RADIO_EXPRESS 130  // "1"
#define IDC_RADIO_CUSTOM  131  // "2"

// The custom dialog. Check box n (1-based) is IDC_FILESET_CHECK1 + n - 1 and
// reports "CHKn"; the group box frames them and shrinks to the rows in use.
#define IDC_FILESET_GROUP  139
#define IDC_FILESET_CHECK1 140
#define IDC_FILESET_CHECK9 148
// Item n (1-based) of "DriveStatusText" is shown in IDC_DRIVE_STATUS1 + n - 1:
// drive, space required, space available, three spare items, directory.
#define IDC_DRIVE_STATUS1 150
#define IDC_DRIVE_STATUS7 156

// The invalid-location dialog: the text that says why, and the strings it
// can say, one for each word of "LocationProblem".
#define IDC_LOCATION_PROBLEM 160
#define IDS_LOCATION_BLANK 200
#define IDS_LOCATION_NOT_FOUND 201
#define IDS_LOCATION_NOT_HARD_OR_NETWORK 202
#define IDS_LOCATION_SOURCE_DRIVE 203
#define IDS_LOCATION_TOO_LONG 204
#define IDS_LOCATION_NO_FILES 205
#define IDS_LOCATION_SAME 206

#ifndef RC_INVOKED

// What pressing a button does: report an event word to the runtime, or show
// the help dialog over the dialog without leaving it.
enum class ButtonAction { ReportEvent, ShowHelp };

struct ButtonRole {
    int id;
    ButtonAction action;
    const char *event;  // the word for ReportEvent, null for ShowHelp
};

// Esc (IDCANCEL) is absent: its word depends on the dialog, see DialogKind.
inline constexpr ButtonRole kButtonRoles[] = {
    {IDOK, ButtonAction::ReportEvent, "CONTINUE"},
    {IDC_BACK, ButtonAction::ReportEvent, "BACK"},
    {IDC_EXIT, ButtonAction::ReportEvent, "EXIT"},
    {IDHELP, ButtonAction::ShowHelp, nullptr},
    {IDC_CHANGE_DRIVE, ButtonAction::ReportEvent, "PATH"},
    // A file-set check box reports at once, so the driver can recount the
    // space and show the dialog again.
    {IDC_FILESET_CHECK1 + 0, ButtonAction::ReportEvent, "CHK1"},
    {IDC_FILESET_CHECK1 + 1, ButtonAction::ReportEvent, "CHK2"},
    {IDC_FILESET_CHECK1 + 2, ButtonAction::ReportEvent, "CHK3"},
    {IDC_FILESET_CHECK1 + 3, ButtonAction::ReportEvent, "CHK4"},
    {IDC_FILESET_CHECK1 + 4, ButtonAction::ReportEvent, "CHK5"},
    {IDC_FILESET_CHECK1 + 5, ButtonAction::ReportEvent, "CHK6"},
    {IDC_FILESET_CHECK1 + 6, ButtonAction::ReportEvent, "CHK7"},
    {IDC_FILESET_CHECK1 + 7, ButtonAction::ReportEvent, "CHK8"},
    {IDC_FILESET_CHECK1 + 8, ButtonAction::ReportEvent, "CHK9"},
};
static_assert(IDC_FILESET_CHECK1 + 8 == IDC_FILESET_CHECK9, "one event word per check box");

struct IconSlot {
    int id;
    LPCSTR systemIcon;
};

inline const IconSlot kIconSlots[] = {
    {IDC_ICON_ERROR, IDI_ERROR},
    {IDC_ICON_WARNING, IDI_WARNING},
    {IDC_ICON_INFO, IDI_INFORMATION},
};

struct LocationProblem {
    const char *word;  // as the installer sets "LocationProblem"
    int text;
};

inline constexpr LocationProblem kLocationProblems[] = {
    {"BLANK", IDS_LOCATION_BLANK},
    {"NOT_FOUND", IDS_LOCATION_NOT_FOUND},
    {"NOT_HARD_OR_NETWORK", IDS_LOCATION_NOT_HARD_OR_NETWORK},
    {"SOURCE_DRIVE", IDS_LOCATION_SOURCE_DRIVE},
    {"TOO_LONG", IDS_LOCATION_TOO_LONG},
    {"NO_FILES", IDS_LOCATION_NO_FILES},
    {"SAME", IDS_LOCATION_SAME},
};

#endif
