#include <QApplication>

#include "ui/program.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quillon"));
    QApplication::setOrganizationName(QStringLiteral("Ardentix Quillon"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLON_VERSION));
    return quillon::run_program(application);
}
