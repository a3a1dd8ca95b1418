// dialog_kind.cpp - the message handling that every dialog procedure shares.
#include "dialog_kind.h"

#include <cstring>

#include "controls.h"
#include "setuprt.h"

namespace {

const ButtonRole *FindButtonRole(int id)
{
    for (const ButtonRole &role : kButtonRoles)
        if (role.id == id)
            return &role;
    return nullptr;
}

void ReportEvent(const DialogKind &kind, HWND hdlg, const char *event)
{
    // The driver reads the output symbols as soon as the event arrives.
    if (kind.storeSymbols)
        kind.storeSymbols(hdlg);
    DlgReportEvent(hdlg, event);
}

INT_PTR OnCommand(const DialogKind &kind, HWND hdlg, WPARAM wParam)
{
    // Notifications of the edit field and the like are no user action.
    if (HIWORD(wParam) != BN_CLICKED)
        return FALSE;
    const int id = LOWORD(wParam);
    if (id == IDCANCEL) {
        ReportEvent(kind, hdlg, kind.escapeEvent);
        return TRUE;
    }
    const ButtonRole *role = FindButtonRole(id);
    if (!role)
        return FALSE;
    if (role->action == ButtonAction::ShowHelp)
        FDlgShowHelp(hdlg);
    else
        ReportEvent(kind, hdlg, role->event);
    return TRUE;
}

// A value of the runtime, read by `read(buffer, size)`, which returns the full
// length. Most values fit the first buffer; a longer one is read again whole.
template <typename Read>
Text ReadWhole(Read read)
{
    Text text(256, '\0');
    unsigned length = read(text.data(), static_cast<unsigned>(text.size()));
    if (length >= text.size()) {
        text.assign(length + 1, '\0');
        read(text.data(), static_cast<unsigned>(text.size()));
    }
    text.resize(strnlen(text.c_str(), text.size() - 1));
    return text;
}

// The name every template and string of the library was written with.
constexpr char kOwnName[] = "Quorvane/32 2.0";

// text with each of the library's own names made the product's. A static
// text that takes "&" for a mnemonic shows the product's "&" doubled.
bool Rename(Text &text, const Text &product, bool mnemonics)
{
    Text shown;
    for (char ch : product) {
        if (ch == '&' && mnemonics)
            shown += '&';
        shown += ch;
    }
    bool renamed = false;
    const size_t ownLength = sizeof kOwnName - 1;
    for (size_t at = text.find(kOwnName); at != Text::npos; at = text.find(kOwnName, at + shown.size())) {
        text.replace(at, ownLength, shown);
        renamed = true;
    }
    return renamed;
}

BOOL CALLBACK RenameControl(HWND control, LPARAM product)
{
    Text text = ControlText(control);
    char className[8];
    const bool isStatic = GetClassNameA(control, className, sizeof className) && lstrcmpiA(className, "Static") == 0;
    const bool mnemonics = !isStatic || !(GetWindowLongA(control, GWL_STYLE) & SS_NOPREFIX);
    if (Rename(text, *reinterpret_cast<const Text *>(product), mnemonics))
        SetWindowTextA(control, text.c_str());
    return TRUE;
}

}  // namespace

void ShowProductName(HWND hdlg)
{
    const Text product =
        ReadWhole([](char *buffer, unsigned size) { return CbGetProductName(buffer, size); });
    if (product.empty())
        return;
    Text caption = ControlText(hdlg);
    if (Rename(caption, product, false))
        SetWindowTextA(hdlg, caption.c_str());
    EnumChildWindows(hdlg, RenameControl, reinterpret_cast<LPARAM>(&product));
}

INT_PTR HandleDialogMessage(const DialogKind &kind, HWND hdlg, UINT msg, WPARAM wParam)
{
    switch (msg) {
    case WM_INITDIALOG: {
        FillIconSlots(hdlg);
        const bool focusSet = kind.loadSymbols && kind.loadSymbols(hdlg);
        ShowProductName(hdlg);
        // TRUE lets the dialog manager focus the first control in Tab order.
        return focusSet ? FALSE : TRUE;
    }
    case STF_REINITDIALOG:
        if (kind.loadSymbols)
            kind.loadSymbols(hdlg);
        ShowProductName(hdlg);
        return TRUE;
    case WM_COMMAND:
        return OnCommand(kind, hdlg, wParam);
    default:
        return FALSE;
    }
}

void FillIconSlots(HWND hdlg)
{
    // System icons are shared and never destroyed.
    for (const IconSlot &slot : kIconSlots) {
        if (HWND icon = GetDlgItem(hdlg, slot.id))
            SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, slot.systemIcon)), 0);
    }
}

Text SymbolText(const char *symbol)
{
    return ReadWhole([symbol](char *buffer, unsigned size) { return CbGetSymbolValue(symbol, buffer, size); });
}

Text ListItemText(const char *symbol, unsigned n)
{
    return ReadWhole([symbol, n](char *buffer, unsigned size) { return CbGetListItem(symbol, n, buffer, size); });
}

Text ControlText(HWND control)
{
    const int length = GetWindowTextLengthA(control);
    Text text(length + 1, '\0');
    const int copied = GetWindowTextA(control, text.data(), length + 1);
    text.resize(copied > 0 ? copied : 0);
    return text;
}
