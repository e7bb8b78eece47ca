#pragma once

// The number of the window's icon resource (WindowIcon.rc): one icon with a 32 and a 16 pixel
// image in 16 colours, made at build time from the drawing the desktop's icons come from.
#define FENDRALWIN_WINDOW_ICON 1
