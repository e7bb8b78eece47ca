#pragma once

namespace fendralwin {

// What screen readers hear of the window's own widgets, besides Qt's defaults: the window as a
// window; each drive list named by its caption, with the drive it shows as its value, its text
// and its selected row; the folder and file lists labelled by their captions; and each settings
// bar labelled by its caption, with its setting as value ("1.5", not 15 tenths). Installed once
// per process.
void installAccessibility();

} // namespace fendralwin
