// message_box.cpp - DoMsgBox: shown over the frame, or answered in unattended runs.
#include "session/box_modes.h"
#include "session/dialog_stack.h"
#include "session/frame.h"
#include "unattended/recording.h"
#include "unattended/responder.h"
#include "setuprt.h"
#include "transcript/transcript.h"

int DoMsgBox(const char *szText, const char *szCaption, unsigned style) {
    const char *text = szText ? szText : "";
    const char *caption = szCaption ? szCaption : "";
    int button;
    if (rt::AnswersBoxesSilently()) {
        button = rt::FirstButton(style);
    } else if (rt::IsUnattended()) {
        button = rt::AnswerMessage(text, style);
    } else {
        if (rt::BeepsBeforeBoxes()) MessageBeep(style & MB_ICONMASK);
        button = MessageBoxA(rt::Frame(), text, caption, style);
        rt::ActivateTopDialog();
        rt::recording::MsgBox(button);
    }
    rt::transcript::MsgBox(text, caption, style, button);
    return button;
}
