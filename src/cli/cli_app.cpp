#include <QCoreApplication>

#include "cli/cli_context.h"
#include "model/settings_catalog.h"

namespace quillon {

namespace {

CliRegistry make_registry() {
    CliRegistry registry;
    registry.add_option({QStringLiteral("device-file"),
                         QStringLiteral("Device definition file to use instead of the supplied library."),
                         QStringLiteral("PATH")});
    registry.add_option(
        {QStringLiteral("model"),
         QStringLiteral("Microcontroller model, by number (1-based) or by name; default: the model the "
                        "program uses (setting \"%1\").")
             .arg(QString::fromUtf8(kModelSetting.name.data(),
                                    static_cast<qsizetype>(kModelSetting.name.size()))),
         QStringLiteral("NAME|NUMBER")});
    registry.add_option(
        {QStringLiteral("json"), QStringLiteral("With models, show, check-devices and doctor: print JSON.")},
        {QStringLiteral("models"), QStringLiteral("show"), QStringLiteral("check-devices"),
         QStringLiteral("doctor")});
    register_device_commands(registry);
    register_hex_commands(registry);
    register_chip_commands(registry);
    register_identify_command(registry);
    register_check_devices_command(registry);
    register_doctor_command(registry);
    return registry;
}

QString commands_help(const CliRegistry& registry) {
    QString text = QStringLiteral(
        "Programs PIC18 microcontrollers through a serial-port programmer board.\n\nCommands:\n");
    for (const CliCommand& command : registry.commands()) {
        const QString usage =
            command.arguments.isEmpty() ? command.name : command.name + ' ' + command.arguments;
        text += QStringLiteral("  %1  %2\n").arg(usage, -26).arg(command.summary);
    }
    text += QStringLiteral(
        "\nAn option that does not apply to the command is bad usage. A chip command stops on\n"
        "SIGINT (Ctrl-C) or SIGTERM at the end of the ICSP frame in progress and powers the chip\n"
        "down; a read that was stopped saves nothing.\n"
        "\nExit status: 0 success; 1 a blank check or verify found differences, check-devices\n"
        "found a failing model, doctor a problem or identify an unknown chip; 2 bad usage or bad\n"
        "input; 3 programmer port error, a run ended by a fault, erase or program refused because\n"
        "the chip in the socket is not the selected model (see identify and --force), or no chip\n"
        "answers; 4 a chip operation stopped by SIGINT or SIGTERM.");
    return text;
}

}  // namespace

int run_cli(const QStringList& arguments) {
    const CliRegistry registry = make_registry();
    QCommandLineParser parser;
    parser.setApplicationDescription(commands_help(registry));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    for (const QCommandLineOption& option : registry.options())
        parser.addOption(option);
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("What to do (see Commands)."),
                                 QStringLiteral("command [arguments]"));

    CliContext context(parser);
    if (!parser.parse(arguments)) return context.fail(kExitUsage, parser.errorText());
    if (parser.isSet(help)) {
        context.out << parser.helpText();
        return kExitOk;
    }
    if (parser.isSet(version)) {
        context.out << QCoreApplication::applicationName() << ' ' << QCoreApplication::applicationVersion()
                    << Qt::endl;
        return kExitOk;
    }

    QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        return context.fail(kExitUsage, QStringLiteral("no command given (quillon-cli --help lists them)"));
    }
    const QString name = positional.takeFirst();
    const auto command = std::find_if(registry.commands().begin(), registry.commands().end(),
                                      [&](const CliCommand& c) { return c.name == name; });
    if (command == registry.commands().end()) {
        return context.fail(
            kExitUsage, QStringLiteral("unknown command \"%1\" (quillon-cli --help lists them)").arg(name));
    }
    if (positional.size() != command->argument_count) {
        const QString usage =
            command->arguments.isEmpty() ? QStringLiteral("no arguments") : command->arguments;
        return context.fail(kExitUsage, QStringLiteral("%1 takes %2").arg(name, usage));
    }
    if (const QString option = registry.misplaced_option(parser, name); !option.isEmpty())
        return context.fail(kExitUsage, QStringLiteral("option --%1 does not apply to %2").arg(option, name));
    context.json = parser.isSet(QStringLiteral("json"));
    context.read_only_settings = !registry.writes_settings(name);
    if (command->needs_model) {
        if (const int status = context.load_model(); status != kExitOk) return status;
    }
    return command->run(context, positional);
}

}  // namespace quillon
