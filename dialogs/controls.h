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

// The one edit field of the edit dialogs.
#define IDC_EDIT 110

// Icon placeholders; the procedures put the matching system icon in them.
#define IDC_ICON_ERROR   120
#define IDC_ICON_WARNING 121
#define IDC_ICON_INFO    122

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
};

struct IconSlot {
    int id;
    LPCSTR systemIcon;
};

inline const IconSlot kIconSlots[] = {
    {IDC_ICON_ERROR, IDI_ERROR},
    {IDC_ICON_WARNING, IDI_WARNING},
    {IDC_ICON_INFO, IDI_INFORMATION},
};

#endif
