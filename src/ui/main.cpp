#include <QApplication>

#include "ui/program.h"

int main(int argc, char* argv[]) {
    if (quillon::asks_for_help_or_version(argc, argv)) {
        QCoreApplication application(argc, argv);
        quillon::set_application_names();
        quillon::parse_program_options(application);  // prints the text and ends the program
        return 0;
    }
    QApplication application(argc, argv);
    quillon::set_application_names();
    return quillon::run_program(application);
}
