#include "cli/programmer_connection.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "adapters/ftdi_port_opener.h"
#include "backends/sim/chip_hex.h"
#include "backends/sim/chip_model.h"
#include "hexfile/file_io.h"
#include "model/settings_catalog.h"
#include "ports/line_settings.h"
#include "ports/port_status.h"

namespace quillon {

namespace {

constexpr std::size_t kRefusalsShown = 5;

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

}  // namespace

ProgrammerConnection::ProgrammerConnection(CliContext& context, CliHost& host)
    : context_(context),
      host_(host),
      settings_(context.settings()),
      provider_(settings_),
      manager_(context.state, settings_, host, provider_) {
    socket_.force = context.parser.isSet(QStringLiteral("force"));
}

// The port goes first: an FTDI port still sends what it holds, through the chip-side trace.
ProgrammerConnection::~ProgrammerConnection() {
    manager_.close_port();
}

int ProgrammerConnection::open(const PortChoice& choice, const QString& trace_path) {
    if (!trace_path.isEmpty()) {
        trace_file_.open(path_from_utf8(trace_path.toStdString()), std::ios::binary | std::ios::trunc);
        if (!trace_file_.is_open()) {
            return context_.fail(kExitUsage,
                                 QStringLiteral("cannot write the line trace %1: %2")
                                     .arg(trace_path, QString::fromLocal8Bit(std::strerror(errno))));
        }
        trace_path_ = trace_path;
    }
    const int status = open_port(choice);
    if (status == kExitOk && trace_file_.is_open() && !chip_traced_)
        trace_ = std::make_unique<VcdTracePort>(*manager_.port(), *clock_, trace_file_);
    return status;
}

int ProgrammerConnection::open_port(const PortChoice& choice) {
    int status = kExitOk;
    switch (choice.kind) {
        case PortChoice::Kind::Stored:
            // The program scans first: a missing port number setting defaults to the last port found.
            manager_.scan_ports();
            status = open_by_settings();
            break;
        case PortChoice::Kind::Number:
            settings_.give_number(kPortNumberSetting.name, choice.number);
            status = open_by_settings();
            break;
        case PortChoice::Kind::Device:
            status = open_device(choice.device);
            break;
        case PortChoice::Kind::Simulator:
            status = open_simulator(choice.chip_file);
            break;
        case PortChoice::Kind::Ftdi:
            status = open_ftdi(choice.device);
            break;
        case PortChoice::Kind::FtdiSimulator:
            status = open_ftdi_simulator(choice.chip_file);
            break;
    }
    host_.finish_operation();
    return status;
}

int ProgrammerConnection::open_by_settings() {
    const Result<void, PortError> opened = manager_.open_programmer_port();
    // The manager explains only a refused permission in a message box; a terminal user gets every
    // reason.
    if (opened.ok()) return kExitOk;
    return port_failed(opened.error(), opened.error().kind == PortErrorKind::PermissionDenied);
}

int ProgrammerConnection::open_device(const std::string& device) {
    // A device of the port table is opened by its number, exactly as the program would open it.
    for (int number = 1; number <= 16; ++number) {
        if (provider_.device_for(number) == device) {
            settings_.give_number(kPortNumberSetting.name, number);
            return open_by_settings();
        }
    }
    AppState& state = context_.state;
    state.baud_setting = read_setting(settings_, kBaudRateSetting);
    const std::string name = serial_port_name(device);
    PortOpenResult opened =
        SerialPortProvider::open_device(device, programmer_line_settings(state.baud_setting));
    if (!opened.ok()) {
        host_.set_status(port_status_text(name, PortStatus::Error));
        return port_failed(opened.error(), false);
    }
    const Result<void, PortError> attached = manager_.attach_port(std::move(opened).value(), name);
    return attached.ok() ? kExitOk : port_failed(attached.error(), false);
}

std::optional<ChipModel> ProgrammerConnection::chip_to_simulate(const std::string& chip_file,
                                                                std::optional<ChipMemory>& kept) {
    const std::string chip_model = chip_model_name();
    const std::optional<ChipModel> model = find_chip_model(chip_model);
    if (!model) {
        QStringList known;
        for (const std::string& name : chip_model_names())
            known << text(name);
        context_.fail(kExitUsage, QStringLiteral("the simulated board has no %1 chip; it knows %2")
                                      .arg(text(chip_model), known.join(QStringLiteral(", "))));
        return std::nullopt;
    }
    std::error_code error;
    if (!chip_file.empty() && std::filesystem::exists(path_from_utf8(chip_file), error)) {
        ChipMemory memory;
        const Result<> loaded = load_chip_file(chip_file, *model, memory);
        if (!loaded.ok()) {
            context_.fail(kExitUsage, text(loaded.error().message));
            return std::nullopt;
        }
        kept = std::move(memory);
    }
    return model;
}

// Hands the board's port to the manager under `name`; the board stays here, and the run works on
// its chip in virtual time.
int ProgrammerConnection::attach_simulated(SimulatedBoard board, std::optional<ChipMemory>& kept,
                                           const std::string& chip_file, const std::string& name) {
    if (kept) board.chip().memory() = std::move(*kept);
    chip_file_ = chip_file;
    clock_ = &virtual_clock_;
    std::unique_ptr<ProgrammerPort> port = board.take_port();
    simulated_ = std::move(board);
    if (port->failed()) {
        host_.set_status(port_status_text(name, PortStatus::Error));
        return port_failed({PortErrorKind::Failed, name + " cannot be used: " + port->failure_text() + "."},
                           false);
    }
    const Result<void, PortError> attached = manager_.attach_port(std::move(port), name);
    return attached.ok() ? kExitOk : port_failed(attached.error(), false);
}

// --sim-chip puts a chip of another model than the selected one on the simulated board.
std::string ProgrammerConnection::chip_model_name() const {
    const QString option = QStringLiteral("sim-chip");
    if (!context_.parser.isSet(option)) return context_.state.model_name;
    return context_.parser.value(option).toUpper().toStdString();
}

int ProgrammerConnection::open_simulator(const std::string& chip_file) {
    std::optional<ChipMemory> kept;
    const std::optional<ChipModel> model = chip_to_simulate(chip_file, kept);
    if (!model) return kExitUsage;
    return attach_simulated(build_simulated_board(*model, {virtual_clock_, sim_log_}), kept, chip_file,
                            simulated_board_name(model->name, chip_file));
}

// The baud rate of the setting, at which the FTDI port sends the byte on TD.
std::optional<int> ProgrammerConnection::programmer_baud() {
    AppState& state = context_.state;
    state.baud_setting = read_setting(settings_, kBaudRateSetting);
    const std::optional<LineSettings> line =
        parse_line_settings(programmer_line_settings(state.baud_setting));
    if (!line) {
        context_.fail(kExitPort,
                      QStringLiteral("the setting \"%1\" holds no baud rate: %2")
                          .arg(text(std::string(kBaudRateSetting.name)), text(state.baud_setting)));
        return std::nullopt;
    }
    return line->baud_rate;
}

int ProgrammerConnection::open_ftdi(const std::string& name) {
    const std::optional<int> baud = programmer_baud();
    if (!baud) return kExitPort;
    FtdiPortOpened opened = open_ftdi_port(name, *baud, FtdiAccess{});
    const std::string label = opened.name.empty() ? "FTDI adapter" : opened.name;
    if (!opened.result.ok()) {
        host_.set_status(port_status_text(label, PortStatus::Error));
        return port_failed(opened.result.error(), false);
    }
    const Result<void, PortError> attached = manager_.attach_port(std::move(opened.result).value(), label);
    return attached.ok() ? kExitOk : port_failed(attached.error(), false);
}

// The simulated board on the DB9 of a modelled FT232R: the real FTDI port drives it, and the
// run's time is the modelled USB's.
int ProgrammerConnection::open_ftdi_simulator(const std::string& chip_file) {
    const std::optional<int> baud = programmer_baud();
    if (!baud) return kExitPort;
    std::optional<ChipMemory> kept;
    const std::optional<ChipModel> model = chip_to_simulate(chip_file, kept);
    if (!model) return kExitUsage;
    SimulatedBoardSetup setup{virtual_clock_, sim_log_};
    setup.ftdi_baud = *baud;
    if (trace_file_.is_open()) {
        setup.chip_side = [this](ProgrammerPort& board) {
            return std::make_unique<VcdTracePort>(board, virtual_clock_, trace_file_);
        };
        chip_traced_ = true;
    }
    const std::string name = "Simulated board on a modelled FTDI adapter (" + model->name +
                             (chip_file.empty() ? std::string() : ", " + chip_file) + ")";
    return attach_simulated(build_simulated_board(*model, setup), kept, chip_file, name);
}

int ProgrammerConnection::port_failed(const PortError& error, bool message_shown) {
    if (!message_shown) host_.show_message(error.message, MessageKind::Error, context_.state.product_title);
    return kExitPort;
}

ChipSession ProgrammerConnection::session() {
    ProgrammerPort* port = trace_ ? trace_.get() : manager_.port();
    return ChipSession{context_.state, host_, *clock_, port, &socket_};
}

int ProgrammerConnection::finish() {
    int status = kExitOk;
    if (chip_traced_) manager_.close_port();
    if (trace_file_.is_open()) {
        trace_.reset();
        if (simulated_) simulated_->end_chip_side();
        trace_file_.close();
        if (!trace_file_) {
            status = context_.fail(
                kExitUsage, QStringLiteral("the line trace %1 could not be written whole").arg(trace_path_));
        }
    }
    if (simulated_) {
        Pic18Chip& chip = simulated_->chip();
        report_sim_refusals();
        chip.settle();
        if (!chip_file_.empty()) {
            const Result<> saved = save_chip_file(chip_file_, chip.memory());
            if (!saved.ok()) {
                const int failed = context_.fail(kExitPort, text(saved.error().message));
                if (status == kExitOk) status = failed;
            }
        }
    }
    return status;
}

// A device library that asks the chip for something it does not do fails on a real chip without a
// word; the simulated one can say what it refused.
void ProgrammerConnection::report_sim_refusals() {
    const std::size_t count = sim_log_.refusal_count();
    if (count == 0) return;
    QString report = QStringLiteral("The simulated %1 refused %2 request%3:")
                         .arg(text(simulated_->chip().model().name))
                         .arg(count)
                         .arg(count == 1 ? "" : "s");
    std::size_t shown = 0;
    for (const SimLog::Entry& entry : sim_log_.entries()) {
        if (entry.kind != SimLog::Kind::Refusal) continue;
        if (shown++ == kRefusalsShown) {
            report += QStringLiteral("\n...");
            break;
        }
        report += '\n' + text(entry.text);
    }
    host_.show_message(report.toStdString(), MessageKind::Info, context_.state.product_title);
}

}  // namespace quillon
