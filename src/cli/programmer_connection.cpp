#include "cli/programmer_connection.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "adapters/ftdi_port_opener.h"
#include "backends/ftdi/ftdi_programmer_port.h"
#include "backends/ftdi/modelled_ftdi_adapter.h"
#include "backends/sim/chip_hex.h"
#include "backends/sim/chip_model.h"
#include "backends/sim/sim_board.h"
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
    if (status == kExitOk && trace_file_.is_open() && !chip_trace_)
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
    const std::optional<PortError> error = manager_.open_programmer_port();
    // The manager explains only a refused permission in a message box; a terminal user gets every
    // reason.
    return error ? port_failed(*error, error->kind == PortErrorKind::PermissionDenied) : kExitOk;
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
    if (!opened.port) {
        host_.set_status(port_status_text(name, PortStatus::Error));
        return port_failed(opened.error, false);
    }
    const std::optional<PortError> error = manager_.attach_port(std::move(opened.port), name);
    return error ? port_failed(*error, false) : kExitOk;
}

// Makes the simulated chip of the selected model, with the memories kept in `chip_file`; false
// after reporting why not.
bool ProgrammerConnection::load_chip(const std::string& chip_file) {
    const std::string chip_model = chip_model_name();
    const std::optional<ChipModel> model = find_chip_model(chip_model);
    if (!model) {
        QStringList known;
        for (const std::string& name : chip_model_names())
            known << text(name);
        context_.fail(kExitUsage, QStringLiteral("the simulated board has no %1 chip; it knows %2")
                                      .arg(text(chip_model), known.join(QStringLiteral(", "))));
        return false;
    }
    chip_ = make_chip(model->name, virtual_clock_, sim_log_);
    std::error_code error;
    if (!chip_file.empty() && std::filesystem::exists(path_from_utf8(chip_file), error)) {
        const ChipHexResult loaded = load_chip_file(chip_file, *model, chip_->memory());
        if (!loaded.ok) {
            chip_.reset();
            context_.fail(kExitUsage, text(loaded.message));
            return false;
        }
    }
    chip_file_ = chip_file;
    clock_ = &virtual_clock_;
    return true;
}

// --sim-chip puts a chip of another model than the selected one on the simulated board.
std::string ProgrammerConnection::chip_model_name() const {
    const QString option = QStringLiteral("sim-chip");
    if (!context_.parser.isSet(option)) return context_.state.model_name;
    return context_.parser.value(option).toUpper().toStdString();
}

int ProgrammerConnection::open_simulator(const std::string& chip_file) {
    if (!load_chip(chip_file)) return kExitUsage;
    auto board = std::make_unique<SimBoard>(virtual_clock_, sim_log_);
    board->insert_chip(chip_.get());
    const std::optional<PortError> refused =
        manager_.attach_port(std::move(board), simulated_board_name(chip_->model().name, chip_file));
    return refused ? port_failed(*refused, false) : kExitOk;
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
    if (!opened.result.port) {
        host_.set_status(port_status_text(label, PortStatus::Error));
        return port_failed(opened.result.error, false);
    }
    const std::optional<PortError> error = manager_.attach_port(std::move(opened.result.port), label);
    return error ? port_failed(*error, false) : kExitOk;
}

// The simulated board on the DB9 of a modelled FT232R: the real FTDI port drives it, and the
// run's time is the modelled USB's.
int ProgrammerConnection::open_ftdi_simulator(const std::string& chip_file) {
    const std::optional<int> baud = programmer_baud();
    if (!baud) return kExitPort;
    if (!load_chip(chip_file)) return kExitUsage;
    // No cost per change of its own: the modelled adapter keeps the time of every pin state.
    auto board = std::make_unique<SimBoard>(static_cast<Clock&>(virtual_clock_), sim_log_);
    board->insert_chip(chip_.get());
    ftdi_board_ = std::move(board);
    ProgrammerPort* lines = ftdi_board_.get();
    if (trace_file_.is_open()) {
        chip_trace_ = std::make_unique<VcdTracePort>(*ftdi_board_, virtual_clock_, trace_file_);
        lines = chip_trace_.get();
    }
    auto port = std::make_unique<FtdiProgrammerPort>(
        std::make_unique<ModelledFtdiAdapter>(*lines, virtual_clock_, *baud), *baud);
    const std::string name = "Simulated board on a modelled FTDI adapter (" + chip_->model().name +
                             (chip_file.empty() ? std::string() : ", " + chip_file) + ")";
    if (const std::string refused = port->start(); !refused.empty()) {
        host_.set_status(port_status_text(name, PortStatus::Error));
        return port_failed({PortErrorKind::Failed, name + " cannot be used: " + refused + "."}, false);
    }
    const std::optional<PortError> refused = manager_.attach_port(std::move(port), name);
    return refused ? port_failed(*refused, false) : kExitOk;
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
    if (chip_trace_) manager_.close_port();
    if (trace_file_.is_open()) {
        trace_.reset();
        chip_trace_.reset();
        trace_file_.close();
        if (!trace_file_) {
            status = context_.fail(
                kExitUsage, QStringLiteral("the line trace %1 could not be written whole").arg(trace_path_));
        }
    }
    if (chip_) {
        report_sim_refusals();
        chip_->settle();
        if (!chip_file_.empty()) {
            const ChipHexResult saved = save_chip_file(chip_file_, chip_->memory());
            if (!saved.ok) {
                const int failed = context_.fail(kExitPort, text(saved.message));
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
                         .arg(text(chip_->model().name))
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
