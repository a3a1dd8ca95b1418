// install.cpp - start and end of the install engine, and its error report.
#include <string>

#include "files/log_file.h"
#include "setuprt.h"
#include "transcript/transcript.h"

namespace rt {
namespace {

// What the engine was started with; its later parts work for this frame.
struct Engine {
    HINSTANCE hinst = nullptr;
    HWND frame = nullptr;
};

Engine g_engine;

}  // namespace
}  // namespace rt

int FInitializeInstall(HINSTANCE hinst, HWND hwndFrame) {
    rt::g_engine.hinst = hinst;
    rt::g_engine.frame = hwndFrame;
    return 1;
}

void TerminateInstall(void) { rt::g_engine = rt::Engine(); }

int EercErrorHandler(int grc, int fVital, const char *sz1, const char *sz2, const char *sz3) {
    (void)grc;
    (void)fVital;
    rt::transcript::Error(sz1);
    rt::LogLine("error " + rt::Quote(sz1));
    std::string text = sz1 ? sz1 : "";
    for (const char *more : {sz2, sz3})
        if (more) text = text + "\n" + more;
    return DoMsgBox(text.c_str(), "Setup Error", MB_ICONHAND);
}
