// box_modes.cpp - the beeping and silent modes of the runtime's message boxes.
#include "session/box_modes.h"

#include "setuprt.h"

namespace rt {
namespace {

bool g_beeping = false;
bool g_silent = false;

int Swap(bool &mode, int newMode) {
    int previous = mode ? 1 : 0;
    mode = newMode != 0;
    return previous;
}

}  // namespace

bool BeepsBeforeBoxes() { return g_beeping; }

bool AnswersBoxesSilently() { return g_silent; }

}  // namespace rt

int FSetBeepingMode(int mode) { return rt::Swap(rt::g_beeping, mode); }

int FSetSilent(int mode) { return rt::Swap(rt::g_silent, mode); }
