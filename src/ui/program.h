#pragma once

#include <iosfwd>

class QApplication;
class QCoreApplication;

namespace quillon {

class UserDialogs;
struct AppState;
struct StartEnvironment;

// What the command line asks for.
struct ProgramOptions {
    // --simulated: the simulated programmer board for this run, stored nowhere.
    bool simulated = false;
};

// Reads the command line; --help, --version and an unknown option end the program with their
// text.
ProgramOptions parse_program_options(QCoreApplication& application);

// True when the command line asks only for the help or the version text, which must print
// without a display.
bool asks_for_help_or_version(int argc, char* argv[]);

// The program's names, as the window system and the settings see them.
void set_application_names();

// Start-up preparation as the program runs it, after the single-instance check. True when the
// main window can follow. A missing or unreadable device file is explained in a message box; a
// file that defines no model ends the program with one line on `errors` and no window.
bool prepare_program(AppState& state, const StartEnvironment& environment, UserDialogs& dialogs,
                     std::ostream& errors);

// The program: the command line is read and a second instance ends at once; otherwise start-up
// preparation, the main window and its load step, then window events until the main window
// closes. Returns the exit status.
int run_program(QApplication& application);

}  // namespace quillon
