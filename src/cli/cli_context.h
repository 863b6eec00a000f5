#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QTextStream>
#include <functional>
#include <memory>
#include <vector>

#include "adapters/port_registry.h"
#include "base/settings_store.h"
#include "model/app_state.h"

namespace quillon {

// Exit statuses of quillon-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitDifferences = 1;  // differences found, a failing model, a problem found
inline constexpr int kExitUsage = 2;        // bad usage or bad input
inline constexpr int kExitPort = 3;         // programmer port error, or a run ended by a fault
// The user stopped a chip operation (SIGINT, SIGTERM); the chip was powered down. A status of its
// own rather than 128 + the signal: the program was not killed, it ended the run and cleaned up.
inline constexpr int kExitStopped = 4;

// Everything a command works with: the parsed command line, its own AppState and the streams.
class CliContext {
  public:
    explicit CliContext(const QCommandLineParser& parser);

    const QCommandLineParser& parser;
    AppState state;
    QTextStream out;
    QTextStream err;
    QString device_file_path;  // the device library in use, once loaded
    QString model_source;      // how the selected model was chosen, for model_line()
    bool json = false;
    // The command only looks at the user's settings: nothing is written, not even a default.
    bool read_only_settings = true;

    // Writes "quillon-cli: <message>" as one line on stderr and returns `status`.
    int fail(int status, const QString& message);

    // Loads the device library (--device-file or the default) and selects the model of --model,
    // or without it the model the program would start with (the setting kModelSetting).
    // Returns kExitOk, or the failure status after reporting it.
    int load_model();

    // The line that names the selected model: "Model 1: PIC18F452 (from --model)".
    QString model_line() const;

    // The user's settings, the same store the program uses; opened at first use.
    SettingsStore& settings();

  private:
    std::unique_ptr<SettingsStore> settings_;
};

// The programmer port of --port (the port the program uses without the option); nothing for a
// value it cannot read, which port_option_help() explains.
std::optional<PortChoice> port_option(const QCommandLineParser& parser);
QString port_option_help();

struct CliCommand {
    QString name;
    QString arguments;  // shown in the help, for example "FILE.hex"
    QString summary;
    int argument_count = 0;
    bool needs_model = true;  // load the device library and select the model before running
    std::function<int(CliContext&, const QStringList& arguments)> run;
};

// Commands and options are registered by the files that implement them.
class CliRegistry {
  public:
    // A command that `writes_settings` opens the programmer port as the program does, which stores
    // the defaults of the port settings it reads; every other command leaves them untouched.
    void add_command(CliCommand command, bool writes_settings = false) {
        if (writes_settings) setting_writers_.push_back(command.name);
        commands_.push_back(std::move(command));
    }
    bool writes_settings(const QString& command) const { return setting_writers_.contains(command); }
    // An option for the commands named in `commands`, or for every command when none are named.
    void add_option(const QCommandLineOption& option, const QStringList& commands = {}) {
        options_.push_back(option);
        commands_of_.push_back(commands);
    }
    const std::vector<CliCommand>& commands() const { return commands_; }
    const std::vector<QCommandLineOption>& options() const { return options_; }

    // The first option on the command line that does not apply to `command`, or empty text.
    QString misplaced_option(const QCommandLineParser& parser, const QString& command) const;

  private:
    std::vector<CliCommand> commands_;
    std::vector<QCommandLineOption> options_;
    std::vector<QStringList> commands_of_;  // of options_[i]
    QStringList setting_writers_;
};

void register_device_commands(CliRegistry& registry);
void register_hex_commands(CliRegistry& registry);
void register_chip_commands(CliRegistry& registry);
void register_check_devices_command(CliRegistry& registry);
void register_doctor_command(CliRegistry& registry);
void register_identify_command(CliRegistry& registry);

class CliHost;

// Loads a HEX file named on the command line as Open HEX File loads a chosen one; true when the
// file was accepted.
bool load_hex_argument(CliContext& context, CliHost& host, const QString& argument);

// Saves the buffers to a file named on the command line, replacing it without a question as
// command-line copy tools do; true when it was saved.
bool save_hex_argument(CliContext& context, CliHost& host, const QString& argument);

// Runs quillon-cli on its arguments (the program name first); returns the exit status.
int run_cli(const QStringList& arguments);

}  // namespace quillon
