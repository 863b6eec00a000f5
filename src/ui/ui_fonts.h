#pragma once

#include <QFont>

namespace quillon {

// The fonts of the windows: each named face where it is installed, else the nearest sans-serif
// face or the system's fixed-pitch face, at the same point size.
QFont window_font();   // "Microsoft Sans Serif" 8.25 pt: main window and theme window
QFont message_font();  // "Microsoft Sans Serif" 9 pt: text of the message box
QFont table_font();    // "Lucida Console" 9.75 pt: the memory tables and configuration cells

}  // namespace quillon
