#include "cli/programmer_connection.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "backends/sim/chip_hex.h"
#include "backends/sim/chip_model.h"
#include "backends/sim/sim_board.h"
#include "engine/line_settings.h"
#include "engine/port_status.h"
#include "hexfile/file_io.h"
#include "model/settings_catalog.h"

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
      manager_(context.state, settings_, host, provider_) {}

ProgrammerConnection::~ProgrammerConnection() = default;

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
    if (status == kExitOk && trace_file_.is_open())
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

int ProgrammerConnection::open_simulator(const std::string& chip_file) {
    const AppState& state = context_.state;
    const std::optional<ChipModel> model = find_chip_model(state.model_name);
    if (!model) {
        QStringList known;
        for (const std::string& name : chip_model_names())
            known << text(name);
        return context_.fail(kExitUsage, QStringLiteral("the simulated board has no %1 chip; it knows %2")
                                             .arg(text(state.model_name), known.join(QStringLiteral(", "))));
    }
    chip_ = make_chip(state.model_name, virtual_clock_, sim_log_);
    std::error_code error;
    if (!chip_file.empty() && std::filesystem::exists(path_from_utf8(chip_file), error)) {
        const ChipHexResult loaded = load_chip_file(chip_file, *model, chip_->memory());
        if (!loaded.ok) {
            chip_.reset();
            return context_.fail(kExitUsage, text(loaded.message));
        }
    }
    chip_file_ = chip_file;
    clock_ = &virtual_clock_;
    auto board = std::make_unique<SimBoard>(virtual_clock_, sim_log_);
    board->insert_chip(chip_.get());
    const std::optional<PortError> refused =
        manager_.attach_port(std::move(board), simulated_board_name(state.model_name, chip_file));
    return refused ? port_failed(*refused, false) : kExitOk;
}

int ProgrammerConnection::port_failed(const PortError& error, bool message_shown) {
    if (!message_shown) host_.show_message(error.message, MessageKind::Error, context_.state.product_title);
    return kExitPort;
}

ChipSession ProgrammerConnection::session() {
    ProgrammerPort* port = trace_ ? trace_.get() : manager_.port();
    return ChipSession{context_.state, host_, *clock_, port};
}

int ProgrammerConnection::finish() {
    int status = kExitOk;
    if (trace_file_.is_open()) {
        trace_.reset();
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
                         .arg(text(context_.state.model_name))
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
