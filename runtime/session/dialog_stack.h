// dialog_stack.h - what the rest of the runtime needs of the dialog stack.
#pragma once

namespace rt {

// Gives the top dialog (or the frame) the activation back, for example after
// a message box closed over the frame.
void ActivateTopDialog();

}  // namespace rt
