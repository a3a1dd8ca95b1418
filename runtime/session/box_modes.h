// box_modes.h - how the runtime's message boxes behave (FSetBeepingMode, FSetSilent).
#pragma once

namespace rt {

// A sound before each box that is shown.
bool BeepsBeforeBoxes();

// Boxes are answered with their first button and never shown.
bool AnswersBoxesSilently();

}  // namespace rt
