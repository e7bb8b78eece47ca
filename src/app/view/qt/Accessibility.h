#pragma once

namespace fendralwin {

// What screen readers hear of the window's own widgets, besides Qt's defaults: the window as a
// window, each drive list named by its caption with the drive it shows as its value, and each
// settings bar with its setting as value ("1.5", not 15 tenths). Installed once per process.
void installAccessibility();

} // namespace fendralwin
