// frame.h - the frame window behind every dialog.
#pragma once

#include <windows.h>

namespace rt {

// Creates the maximised frame window; false when Windows refuses.
bool CreateFrame();

// Destroys the frame and forgets its bitmap and About texts.
void DestroyFrame();

// The frame window, or null before CreateFrame and after DestroyFrame.
HWND Frame();

// Shows the product's name in place of the installer's banner, or the
// installer's own again.
void ShowProductName();

// The screen row just below the banner the frame paints; 0 without one.
LONG BannerBottom();

}  // namespace rt
