// quillon-cli commands that work on the chip: erase, blank-check, program, verify and read. They
// run the program's own chip operations; this file only chooses the port, loads and saves files
// and turns outcomes into exit statuses.
#include <optional>

#include "cli/cli_context.h"
#include "cli/cli_host.h"
#include "cli/config_report.h"
#include "cli/programmer_connection.h"
#include "cli/stop_signal.h"
#include "engine/operations/chip_operations.h"
#include "engine/operations/keep_eeprom.h"
#include "hexfile/eeprom_backup.h"
#include "ports/port_manager.h"

namespace quillon {

namespace {

const QString kPortOption = QStringLiteral("port");
const QString kProgTimeOption = QStringLiteral("prog-time");
const QString kTraceOption = QStringLiteral("trace");
const QString kVerifyOption = QStringLiteral("verify");
const QString kOnlyOption = QStringLiteral("only");
const QString kKeepEepromOption = QStringLiteral("keep-eeprom");

int exit_status(RunOutcome outcome) {
    switch (outcome) {
        case RunOutcome::Completed:
            return kExitOk;
        case RunOutcome::Differences:
            return kExitDifferences;
        case RunOutcome::ScriptRefused:
        case RunOutcome::ScriptUnrecognized:
            return kExitUsage;
        case RunOutcome::Stopped:
            return kExitStopped;
        case RunOutcome::PortClosed:
        case RunOutcome::PortFailed:
        case RunOutcome::Fault:
        case RunOutcome::WrongChip:
            break;
    }
    return kExitPort;
}

// One chip command from its options to its exit status.
class ChipCommand {
  public:
    explicit ChipCommand(CliContext& context)
        : context_(context), host_(context.out, context.err, stderr_is_terminal()) {
        host_.stop_check = &StopSignals::requested;
    }

    // Names the model, then reads the options; kExitOk or the status after reporting.
    int prepare();
    // Opens the programmer port and the line trace.
    int connect();
    int run(Operation operation);
    // program, keeping the chip's data EEPROM with --keep-eeprom; `image_path` is where the copy of
    // it goes beside.
    int program(const QString& image_path);
    int program_and_verify(const QString& image_path);
    // Ends the connection; the first failure decides the exit status.
    int finish(int status);

    CliHost& host() { return host_; }
    bool verify_after() const { return verify_; }

  private:
    int wrong_entry(const QString& hint);

    CliContext& context_;
    StopSignals stop_signals_;  // from the start, so that an early Ctrl-C still stops the run
    CliHost host_;
    PortChoice port_;
    ProgramChoice program_choice(const QString& image_path);

    bool verify_ = false;
    bool keep_eeprom_ = false;
    MemoryRegions regions_;
    std::optional<ProgrammerConnection> connection_;
};

int ChipCommand::wrong_entry(const QString& hint) {
    host_.show_message("Wrong entry!", MessageKind::Error, context_.state.product_title);
    return context_.fail(kExitUsage, hint);
}

int ChipCommand::prepare() {
    context_.out << context_.model_line() << Qt::endl;
    const QCommandLineParser& parser = context_.parser;
    if (parser.isSet(kProgTimeOption)) {
        // As "Change Default Programming Time": it replaces the model's time for this command only.
        const std::optional<std::int32_t> milliseconds =
            typed_prog_time(parser.value(kProgTimeOption).toStdString());
        if (!milliseconds) return wrong_entry(QStringLiteral("--prog-time takes 1 to 30 (milliseconds)"));
        context_.state.prog_time_ms = *milliseconds;
    }
    const std::optional<PortChoice> choice = port_option(parser);
    if (!choice) return wrong_entry(port_option_help());
    port_ = *choice;
    verify_ = parser.isSet(kVerifyOption);
    keep_eeprom_ = parser.isSet(kKeepEepromOption);
    if (parser.isSet(kOnlyOption)) {
        const std::optional<MemoryRegions> regions = parse_regions(parser.value(kOnlyOption).toStdString());
        if (!regions)
            return wrong_entry(
                QStringLiteral("--only takes flash, eeprom or config, or a comma list of them "
                               "such as flash,config"));
        regions_ = *regions;
    }
    return kExitOk;
}

int ChipCommand::connect() {
    connection_.emplace(context_, host_);
    return connection_->open(port_, context_.parser.value(kTraceOption));
}

int ChipCommand::run(Operation operation) {
    ChipSession session = connection_->session();
    const RunOutcome outcome = run_algorithm(session, operation, regions_);
    host_.finish_operation();
    return exit_status(outcome);
}

ProgramChoice ChipCommand::program_choice(const QString& image_path) {
    ProgramChoice choice{keep_eeprom_, {}};
    choice.backup = [this, image_path](const MemoryImage& chip) {
        const Result<std::string> saved = save_eeprom_backup(image_path.toStdString(), chip);
        if (!saved.ok()) return EepromBackupResult{{}, saved.error().message};
        context_.err << "quillon-cli: the chip's data EEPROM is kept in " << QString::fromStdString(*saved)
                     << " while it is erased and written back" << Qt::endl;
        return EepromBackupResult{*saved, {}};
    };
    return choice;
}

int ChipCommand::program(const QString& image_path) {
    if (!keep_eeprom_) return run(Operation::Program);
    ChipSession session = connection_->session();
    const RunOutcome outcome = program_keeping_eeprom(session, program_choice(image_path).backup);
    host_.finish_operation();
    return exit_status(outcome);
}

int ChipCommand::program_and_verify(const QString& image_path) {
    ChipSession session = connection_->session();
    const RunOutcome outcome = quillon::program_and_verify(
        session, [this] { host_.finish_operation(); }, program_choice(image_path));
    host_.finish_operation();
    return exit_status(outcome);
}

int ChipCommand::finish(int status) {
    if (!connection_) return status;
    const int finished = connection_->finish();
    connection_.reset();
    return status != kExitOk ? status : finished;
}

// erase and blank-check: the chip alone.
int run_operation(CliContext& context, Operation operation) {
    ChipCommand command(context);
    if (const int status = command.prepare(); status != kExitOk) return status;
    int status = command.connect();
    if (status == kExitOk) status = command.run(operation);
    return command.finish(status);
}

int erase_command(CliContext& context, const QStringList&) {
    return run_operation(context, Operation::Erase);
}

int blank_check_command(CliContext& context, const QStringList&) {
    return run_operation(context, Operation::BlankCheck);
}

// program and verify: the HEX file is loaded before the programmer is touched.
int run_with_file(CliContext& context, const QString& file, Operation operation) {
    ChipCommand command(context);
    if (const int status = command.prepare(); status != kExitOk) return status;
    if (!load_hex_argument(context, command.host(), file)) return kExitUsage;
    if (operation == Operation::Program) warn_of_protection(context);
    int status = command.connect();
    if (status == kExitOk) {
        // With --verify a protecting image is verified before its protection is written.
        if (operation == Operation::Verify) {
            status = command.run(operation);
        } else {
            status = command.verify_after() ? command.program_and_verify(file) : command.program(file);
        }
    }
    return command.finish(status);
}

int program_command(CliContext& context, const QStringList& arguments) {
    return run_with_file(context, arguments[0], Operation::Program);
}

int verify_command(CliContext& context, const QStringList& arguments) {
    return run_with_file(context, arguments[0], Operation::Verify);
}

int read_command(CliContext& context, const QStringList& arguments) {
    ChipCommand command(context);
    if (const int status = command.prepare(); status != kExitOk) return status;
    int status = command.connect();
    if (status == kExitOk) status = command.run(Operation::Read);
    if (status == kExitOk && !save_hex_argument(context, command.host(), arguments[0])) status = kExitUsage;
    return command.finish(status);
}

}  // namespace

void register_chip_commands(CliRegistry& registry) {
    const QStringList chip_commands = {QStringLiteral("erase"), QStringLiteral("blank-check"),
                                       QStringLiteral("program"), QStringLiteral("verify"),
                                       QStringLiteral("read")};
    registry.add_option(
        {kPortOption, QString::fromStdString(port_option_help_text()), QStringLiteral("PORT")},
        chip_commands + QStringList{QStringLiteral("doctor"), QStringLiteral("identify")});
    registry.add_option(
        {kProgTimeOption, QStringLiteral("Programming time in ms (1-30) instead of the model's."),
         QStringLiteral("MS")},
        chip_commands);
    registry.add_option(
        {kTraceOption, QStringLiteral("Record the programmer lines of the run as a VCD file."),
         QStringLiteral("FILE.vcd")},
        chip_commands);
    registry.add_option({kVerifyOption, QStringLiteral("With program: verify the chip afterwards.")},
                        {QStringLiteral("program")});
    registry.add_option(
        {kKeepEepromOption,
         QStringLiteral("With program: leave the chip's data EEPROM as it is and ignore the "
                        "file's EEPROM bytes; --verify then compares FLASH and configuration "
                        "only. Where the chip cannot be erased without its EEPROM, the bytes "
                        "are read, kept in FILE-eeprom-backup.hex beside the file and written "
                        "back.")},
        {QStringLiteral("program")});
    registry.add_option({kOnlyOption,
                         QStringLiteral("With verify, blank-check and read: only these memories, a comma "
                                        "list of flash, eeprom and config. A read leaves the file's other "
                                        "memories erased."),
                         QStringLiteral("LIST")},
                        {QStringLiteral("verify"), QStringLiteral("blank-check"), QStringLiteral("read")});
    registry.add_command(
        {QStringLiteral("erase"), {}, QStringLiteral("Erase the chip."), 0, true, erase_command}, true);
    registry.add_command({QStringLiteral("blank-check"),
                          {},
                          QStringLiteral("Check that the chip is erased."),
                          0,
                          true,
                          blank_check_command},
                         true);
    registry.add_command(
        {QStringLiteral("program"), QStringLiteral("FILE.hex"),
         QStringLiteral("Load a HEX file and program it into the chip."), 1, true, program_command},
        true);
    registry.add_command(
        {QStringLiteral("verify"), QStringLiteral("FILE.hex"),
         QStringLiteral("Load a HEX file and compare the chip with it."), 1, true, verify_command},
        true);
    registry.add_command({QStringLiteral("read"), QStringLiteral("OUT.hex"),
                          QStringLiteral("Read the chip and save it as a HEX file (replaced if it exists)."),
                          1, true, read_command},
                         true);
}

}  // namespace quillon
