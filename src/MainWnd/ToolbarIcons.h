#pragma once
#include <QIcon>

// Icons of the toolbar commands and of the application. Commands with a
// standard meaning (open, print, navigation, add, remove, about) take the
// desktop's icon theme, so they look like the rest of the user's desktop;
// the program's own commands (report, curves, rows per page, merge) and
// any icon the theme lacks are drawn here.
namespace toolbaricons {

// Uses Adwaita when the platform names no icon theme (offscreen, bare X).
void prepareIconTheme();
// The icon of `command`; a null icon for commands without one.
QIcon icon(int command);
QIcon applicationIcon();

} // namespace toolbaricons
