#include "cli/programmer_connection.h"

#include <cerrno>
#include <cstring>

#include "backends/sim/chip_hex.h"
#include "hexfile/file_io.h"

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
      manager_(context.state, settings_, host, provider_),
      opening_{context.state, settings_,      host,     manager_,
               provider_,     virtual_clock_, sim_log_, chip_model_name()} {
    socket_.force = context.parser.isSet(QStringLiteral("force"));
    opening_.clock = &system_clock_;
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
        opening_.trace = &trace_file_;
    }
    const int status = open_port(choice);
    if (status == kExitOk && trace_file_.is_open() && !opening_.traced)
        trace_ = std::make_unique<VcdTracePort>(*manager_.port(), clock(), trace_file_);
    return status;
}

int ProgrammerConnection::open_port(const PortChoice& choice) {
    const Result<void, PortFormError> opened = choice.form->open(choice, opening_);
    host_.finish_operation();
    if (opened.ok()) return kExitOk;
    const PortFormError& error = opened.error();
    switch (error.kind) {
        case PortFormError::Kind::BadInput:
            return context_.fail(kExitUsage, text(error.message));
        case PortFormError::Kind::BadSetting:
            return context_.fail(kExitPort, text(error.message));
        case PortFormError::Kind::Told:
            break;
    }
    return kExitPort;
}

// --sim-chip puts a chip of another model than the selected one on the simulated board.
std::string ProgrammerConnection::chip_model_name() const {
    const QString option = QStringLiteral("sim-chip");
    if (!context_.parser.isSet(option)) return context_.state.model_name;
    return context_.parser.value(option).toUpper().toStdString();
}

ChipSession ProgrammerConnection::session() {
    ProgrammerPort* port = trace_ ? trace_.get() : manager_.port();
    return ChipSession{context_.state, host_, clock(), port, &socket_};
}

int ProgrammerConnection::finish() {
    int status = kExitOk;
    if (opening_.traced) manager_.close_port();
    if (trace_file_.is_open()) {
        trace_.reset();
        if (opening_.simulated) opening_.simulated->end_chip_side();
        trace_file_.close();
        if (!trace_file_) {
            status = context_.fail(
                kExitUsage, QStringLiteral("the line trace %1 could not be written whole").arg(trace_path_));
        }
    }
    if (opening_.simulated) {
        Pic18Chip& chip = opening_.simulated->chip();
        report_sim_refusals();
        chip.settle();
        if (!opening_.chip_file.empty()) {
            const Result<> saved = save_chip_file(opening_.chip_file, chip.memory());
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
                         .arg(text(opening_.simulated->chip().model().name))
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
