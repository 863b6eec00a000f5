// quillon-cli commands on Intel HEX files: hex-info and convert.
#include <QDir>

#include "cli/cli_context.h"
#include "cli/cli_host.h"
#include "cli/config_report.h"
#include "hexfile/hex_file_commands.h"

namespace quillon {

bool load_hex_argument(CliContext& context, CliHost& host, const QString& argument) {
    const std::string path = QDir::toNativeSeparators(argument).toStdString();
    const HexReadOutcome outcome = open_hex_file(context.state, host, path, QDir::separator().toLatin1());
    host.finish_operation();
    return outcome == HexReadOutcome::Accepted || outcome == HexReadOutcome::AcceptedOutOfRange;
}

bool save_hex_argument(CliContext& context, CliHost& host, const QString& argument) {
    const std::string target = QDir::toNativeSeparators(argument).toStdString();
    const bool saved = save_hex_file(context.state, host, target);
    host.finish_operation();
    return saved;
}

namespace {

int hex_info(CliContext& context, const QStringList& arguments) {
    CliHost host(context.out, context.err);
    if (!load_hex_argument(context, host, arguments[0])) return kExitUsage;
    print_decoded_config(context);
    return kExitOk;
}

int convert(CliContext& context, const QStringList& arguments) {
    CliHost host(context.out, context.err);
    if (!load_hex_argument(context, host, arguments[0])) return kExitUsage;
    return save_hex_argument(context, host, arguments[1]) ? kExitOk : kExitUsage;
}

}  // namespace

void register_hex_commands(CliRegistry& registry) {
    registry.add_command({QStringLiteral("hex-info"), QStringLiteral("FILE.hex"),
                          QStringLiteral("Load a HEX file into the model's buffers, report the load and name "
                                         "its configuration settings."),
                          1, true, hex_info});
    registry.add_command({QStringLiteral("convert"), QStringLiteral("IN.hex OUT.hex"),
                          QStringLiteral("Load a HEX file and save the buffers as a new HEX file."), 2, true,
                          convert});
}

}  // namespace quillon
