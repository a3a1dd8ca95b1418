// simulated_user.h - acts on the dialogs the runtime shows, as a user would.
//
// A thread timer runs the steps one at a time from inside the runtime's
// message loop, always on the active dialog (the help dialog while it is up).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// One action on the active dialog; false means "not yet, try again".
using UserStep = std::function<bool(HWND dialog)>;

// Runs template `id` of mscuistf.dll with procedure `proc` and help page
// `help` while the steps are carried out; returns the event word it reported.
std::string RunDialog(unsigned id, const char *proc, std::vector<UserStep> steps, unsigned help = 900);

UserStep Click(int controlId);
UserStep PressKey(UINT virtualKey);  // through the runtime's keyboard handling
UserStep TypeChars(const std::string &text);  // into the focused control
// Waits for the active dialog to have this caption.
UserStep WaitForCaption(const std::string &caption);
// Looks at the dialog as it stands (with EXPECT_...), then goes on.
UserStep Inspect(std::function<void(HWND dialog)> look);

std::string WindowText(HWND window);
std::string Symbol(const char *name);
// The text of control `id` of a dialog, as GetDlgItemTextA gives it.
std::string ItemText(HWND dialog, int id);
bool IsShown(HWND dialog, int id);
bool IsChecked(HWND dialog, int id);
