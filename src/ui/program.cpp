#include "ui/program.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QStandardPaths>
#include <iostream>
#include <memory>
#include <optional>
#include <string_view>

#include "adapters/qt_settings_store.h"
#include "adapters/serial_port_provider.h"
#include "adapters/single_instance.h"
#include "adapters/start_environment.h"
#include "base/clock.h"
#include "base/host.h"
#include "model/app_state.h"
#include "model/prepare_start.h"
#include "ports/port_manager.h"
#include "ui/main_window.h"
#include "ui/simulated_programmer.h"
#include "ui/theme_state.h"
#include "ui/user_dialogs.h"

namespace quillon {

namespace {

constexpr int kExitStartFailed = 1;

// The user's settings, or the file that QUILLON_SETTINGS_FILE names (to try the program without
// touching them).
QtSettingsStore open_settings() {
    const QString file = qEnvironmentVariable("QUILLON_SETTINGS_FILE");
    return file.isEmpty() ? QtSettingsStore::for_current_user() : QtSettingsStore(file);
}

// Where the simulated chips keep their memories: a folder in the user's data folder.
std::string simulated_chip_folder() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QDir(data).filePath(QStringLiteral("simulated-chips")).toStdString() + "/";
}

}  // namespace

bool asks_for_help_or_version(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        if (argument == "-h" || argument == "--help" || argument == "-?" || argument == "--help-all" ||
            argument == "-v" || argument == "--version") {
            return true;
        }
    }
    return false;
}

void set_application_names() {
    QCoreApplication::setApplicationName(QStringLiteral("quillon"));
    QCoreApplication::setOrganizationName(QStringLiteral("Ardentix Quillon"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUILLON_VERSION));
}

ProgramOptions parse_program_options(QCoreApplication& application) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A programmer for PIC18 microcontrollers."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption simulated(
        QStringLiteral("simulated"),
        QStringLiteral("Use the simulated programmer board for this run, without storing the choice."));
    parser.addOption(simulated);
    parser.process(application);  // --help, --version and unknown options end the program here
    return {parser.isSet(simulated)};
}

bool prepare_program(AppState& state, const StartEnvironment& environment, UserDialogs& dialogs,
                     std::ostream& errors) {
    const DeviceFileResult result = prepare_start(state, environment);
    switch (result.status) {
        case DeviceFileStatus::Loaded:
            return true;
        case DeviceFileStatus::NoModel:
            errors << "quillon: " << result.message << '\n';
            return false;
        case DeviceFileStatus::Unreadable:
            dialogs.show_message(result.message + "\r\nThe program cannot start without it.",
                                 MessageKind::Error, state.product_title);
            return false;
    }
    return false;
}

int run_program(QApplication& application) {
    const ProgramOptions options = parse_program_options(application);
    SingleInstance instance;
    if (!instance.acquire()) return 0;

    AppState state;
    ThemeState theme;
    WidgetDialogs dialogs(state, theme);
    if (!prepare_program(state, current_start_environment(), dialogs, std::cerr)) return kExitStartFailed;

    QtSettingsStore settings = open_settings();
    SystemClock clock;
    // Declared before the port manager, so that the simulated chip outlives the board it holds.
    std::optional<SimulatedProgrammer> simulator;
    MainWindow window(MainWindowServices{state, theme, settings, dialogs, clock});
    dialogs.set_parent(&window);
    SerialPortProvider provider(settings);
    // Declared after the window, so the port is released before the window goes.
    PortManager ports(state, settings, window.host(), provider);
    window.set_port_manager(&ports);
    simulator.emplace(state, window.host(), clock, simulated_chip_folder());
    window.set_simulator(&*simulator, options.simulated);
    window.load();
    return QApplication::exec();
}

}  // namespace quillon
