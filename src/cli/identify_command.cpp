// quillon-cli identify names the chip in the socket by its device ID; this file also gives the
// chip commands the options about that chip: --force, and --sim-chip for the simulated board.
#include "cli/cli_context.h"
#include "cli/cli_host.h"
#include "cli/programmer_connection.h"
#include "engine/operations/socket_check.h"

namespace quillon {

namespace {

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

// The line about the chip found, and the exit status it gives: 0 for a part of the library,
// 1 for one it does not know, 3 when no chip answers.
int report_identity(CliContext& context, const ChipIdentity& found) {
    const AppState& state = context.state;
    QString line = QStringLiteral("Chip in the socket: ") + text(identity_text(found));
    if (found.kind == ChipIdentity::Kind::Known && found.model_number != state.model_number)
        line += QStringLiteral(", not the selected ") + text(state.model_name);
    if (found.kind == ChipIdentity::Kind::NoChip) line += QStringLiteral(". ") + QLatin1String(kNoChipCauses);
    context.out << line << '.' << Qt::endl;
    switch (found.kind) {
        case ChipIdentity::Kind::Known:
            return kExitOk;
        case ChipIdentity::Kind::Unknown:
            return kExitDifferences;
        case ChipIdentity::Kind::NoChip:
            break;
    }
    return kExitPort;
}

int identify_command(CliContext& context, const QStringList&) {
    context.out << context.model_line() << Qt::endl;
    CliHost host(context.out, context.err, false);
    const std::optional<PortChoice> chosen = port_option(context.parser);
    if (!chosen) return context.fail(kExitUsage, port_option_help());
    const PortChoice& port = *chosen;
    ProgrammerConnection connection(context, host);
    int status = connection.open(port, {});
    if (status == kExitOk) {
        ChipSession session = connection.session();
        const std::optional<int> word = read_device_id(session);
        if (word) {
            status = report_identity(context, identify_chip(context.state.catalog, *word));
        } else if (session.port != nullptr && session.port->failed()) {
            status = context.fail(kExitPort, QStringLiteral("the programmer port stopped working: ") +
                                                 text(session.port->failure_text()));
        } else {
            status =
                context.fail(kExitUsage, QStringLiteral("the model %1 gives no power-up order (voltageseq:)")
                                             .arg(text(context.state.model_name)));
        }
    }
    const int finished = connection.finish();
    return status != kExitOk ? status : finished;
}

}  // namespace

void register_identify_command(CliRegistry& registry) {
    registry.add_option({QStringLiteral("force"),
                         QStringLiteral("Erase or program even a chip whose device ID is not the selected "
                                        "model's, or when no chip answers.")},
                        {QStringLiteral("erase"), QStringLiteral("program")});
    registry.add_option(
        {QStringLiteral("sim-chip"),
         QStringLiteral("With --port sim or ftdisim: the simulated board holds a chip of this "
                        "model instead of the selected one."),
         QStringLiteral("MODEL")},
        {QStringLiteral("erase"), QStringLiteral("blank-check"), QStringLiteral("program"),
         QStringLiteral("verify"), QStringLiteral("read"), QStringLiteral("identify")});
    registry.add_command({QStringLiteral("identify"),
                          {},
                          QStringLiteral("Name the chip in the socket by its device ID."),
                          0,
                          true,
                          identify_command},
                         true);
}

}  // namespace quillon
