#pragma once

#include <QIcon>

#include <string_view>

namespace kivo {

// The program's 16-colour icons, each at 16 x 16 and 32 x 32. They are
// compiled in: reading them needs no image plug-in at start-up.
QIcon programIcon();                       // the diamond of both programs' windows
QIcon toolbarIcon(std::string_view name);  // "new", "open", ... "help"

// A wholly transparent icon, the application's in both programs: a window
// without one would show the window manager's own (openbox writes its
// default into _NET_WM_ICON), and only Form1 has an icon of its own.
QIcon noIcon();

}  // namespace kivo
