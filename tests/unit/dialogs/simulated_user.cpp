// simulated_user.cpp - acts on the dialogs the runtime shows, as a user would.
#include "simulated_user.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <deque>

#include "setuprt.h"

namespace {

std::deque<UserStep> pending;
int ticksLeft;

constexpr UINT kTickMs = 30;
constexpr int kPatienceTicks = 10000 / kTickMs;

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
{
    // A dialog that never reports its event would keep the runtime waiting
    // for ever: give up loudly instead.
    if (--ticksLeft < 0) {
        std::fprintf(stderr, "the dialog did not react; %u step(s) left\n", static_cast<unsigned>(pending.size()));
        ExitProcess(3);
    }
    HWND dialog = GetActiveWindow();
    if (pending.empty() || !dialog)
        return;
    // Taken off first: a step that opens the modal help runs the next steps
    // from inside its own message loop.
    UserStep step = std::move(pending.front());
    pending.pop_front();
    if (!step(dialog))
        pending.push_front(std::move(step));
}

}  // namespace

std::string RunDialog(unsigned id, const char *proc, std::vector<UserStep> steps, unsigned help)
{
    pending.assign(steps.begin(), steps.end());
    ticksLeft = kPatienceTicks;
    const UINT_PTR timer = SetTimer(nullptr, 0, kTickMs, Tick);
    const int shown = FDoDialogExt(HwndFrame(), "mscuistf.dll", id, proc, "mscuistf.dll", help, "FHelpDlgProc");
    KillTimer(nullptr, timer);
    EXPECT_NE(shown, 0) << "dialog " << id;
    EXPECT_TRUE(pending.empty()) << pending.size() << " step(s) not carried out";
    pending.clear();
    return Symbol("DLGEVENT");
}

UserStep Click(int controlId)
{
    return [controlId](HWND dialog) {
        HWND button = GetDlgItem(dialog, controlId);
        EXPECT_NE(button, nullptr) << "no control " << controlId << " in " << WindowText(dialog);
        SendMessageA(button, BM_CLICK, 0, 0);
        return true;
    };
}

UserStep PressKey(UINT virtualKey)
{
    return [virtualKey](HWND dialog) {
        HWND focus = GetFocus();
        PostMessageA(focus ? focus : dialog, WM_KEYDOWN, virtualKey, 0);
        return true;
    };
}

UserStep TypeChars(const std::string &text)
{
    return [text](HWND) {
        for (unsigned char c : text)
            SendMessageA(GetFocus(), WM_CHAR, c, 0);
        return true;
    };
}

UserStep WaitForCaption(const std::string &caption)
{
    return [caption](HWND dialog) { return WindowText(dialog) == caption; };
}

UserStep Inspect(std::function<void(HWND dialog)> look)
{
    return [look](HWND dialog) {
        look(dialog);
        return true;
    };
}

std::string WindowText(HWND window)
{
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string Symbol(const char *name)
{
    std::string value(1024, '\0');
    const unsigned length = CbGetSymbolValue(name, value.data(), static_cast<unsigned>(value.size()));
    EXPECT_LT(length, value.size()) << name;
    value.resize(strnlen(value.c_str(), value.size() - 1));
    return value;
}

std::string ItemText(HWND dialog, int id)
{
    EXPECT_NE(GetDlgItem(dialog, id), nullptr) << "no control " << id << " in " << WindowText(dialog);
    char text[512] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

bool IsShown(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    EXPECT_NE(control, nullptr) << "no control " << id << " in " << WindowText(dialog);
    return control && IsWindowVisible(control);
}

bool IsChecked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}
