// quillon-cli doctor: finds what stands between the user and a working programmer on a port (the
// device, its permissions, another program holding it, the kind of port, what its line changes
// cost, whether a board answers) and says how to mend each; estimates how long the selected model
// takes on that port.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <array>
#include <chrono>
#include <optional>

#include "adapters/port_registry.h"
#include "cli/cli_context.h"
#include "cli/cli_host.h"
#include "tools/doctor/doctor_output.h"
#include "tools/doctor/port_doctor.h"

namespace quillon {

namespace {

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

double seconds(std::chrono::nanoseconds time) {
    return std::chrono::duration<double>(time).count();
}

QJsonObject stats_json(const CostStats& stats) {
    return {{"samples", stats.samples},
            {"median", stats.median_us},
            {"p95", stats.p95_us},
            {"mean", stats.mean_us}};
}

QJsonValue costs_json(const std::optional<LineCosts>& costs) {
    if (!costs) return QJsonValue();
    return QJsonObject{{"change_us", stats_json(costs->change)},
                       {"dsr_read_us", stats_json(costs->dsr_read)},
                       {"echo_reads", costs->echo_reads},
                       {"echo_matches", costs->echo_matches}};
}

QJsonValue estimates_json(const std::optional<DoctorEstimates>& estimates) {
    if (!estimates || estimates->ports.empty()) return QJsonValue();
    const OperationCounts& first = estimates->ports.front().counts;
    QJsonArray ports;
    for (const PortEstimate& port : estimates->ports) {
        const OperationCounts& counts = port.counts;
        QJsonObject row{{"port", text(port.cost.label)},
                        {"change_us", port.cost.change_us},
                        {"read_us", port.cost.read_us}};
        QJsonArray operations;
        for (const OperationCount& count : counts.operations) {
            row.insert(QLatin1String(operation_name(count.operation)) + QStringLiteral("_s"),
                       seconds(estimated_time(count, port.cost)));
            operations.append(QJsonObject{{"operation", QLatin1String(operation_name(count.operation))},
                                          {"line_changes", static_cast<double>(count.line_changes)},
                                          {"dsr_reads", static_cast<double>(count.dsr_reads)},
                                          {"waits_s", seconds(count.waits)}});
        }
        row.insert(QStringLiteral("operations"), operations);
        ports.append(row);
    }
    return QJsonObject{{"model", text(first.model)},
                       {"unavailable", first.unavailable.empty() ? QJsonValue() : text(first.unavailable)},
                       {"ports", ports}};
}

void print_json(CliContext& context, const DoctorTarget& target, const DoctorReport& report,
                const std::optional<DoctorEstimates>& estimates) {
    QJsonArray checks;
    for (const DoctorCheck& check : report.checks) {
        checks.append(QJsonObject{{"name", text(check.name)},
                                  {"verdict", QLatin1String(verdict_word(check.verdict))},
                                  {"finding", text(check.finding)},
                                  {"fix", text(check.fix)}});
    }
    const QJsonObject port{{"number", target.number > 0 ? QJsonValue(target.number) : QJsonValue()},
                           {"device", text(target.device)},
                           {"chosen_by", text(target.chosen_by)}};
    const QJsonObject object{{"port", port},
                             {"checks", checks},
                             {"line_costs", costs_json(report.costs)},
                             {"estimates", estimates_json(estimates)},
                             {"problems", report.count(Verdict::Problem)},
                             {"warnings", report.count(Verdict::Warning)}};
    context.out << QJsonDocument(object).toJson(QJsonDocument::Indented);
}

// The device library and model the estimates are for. A library the program cannot load is a
// problem of the installation; a wrong --model or --device-file is bad usage.
std::optional<int> check_library(CliContext& context, DoctorReport& report, bool& model_loaded) {
    model_loaded = context.load_model() == kExitOk;
    if (model_loaded) {
        report.checks.push_back(
            {"library",
             Verdict::Ok,
             (context.model_line() + QStringLiteral(" in ") + context.device_file_path).toStdString(),
             {}});
        return std::nullopt;
    }
    if (context.parser.isSet(QStringLiteral("model")) || context.parser.isSet(QStringLiteral("device-file")))
        return kExitUsage;
    report.checks.push_back({"library", Verdict::Problem, "the device library cannot be used (see above)",
                             "reinstall the program, or name a device file with --device-file"});
    return std::nullopt;
}

int doctor(CliContext& context, const QStringList&) {
    const std::optional<PortChoice> parsed = port_option(context.parser);
    if (!parsed) return context.fail(kExitUsage, port_option_help());
    const PortChoice& choice = *parsed;
    DoctorReport report;
    bool model_loaded = false;
    if (const std::optional<int> status = check_library(context, report, model_loaded)) return *status;

    DoctorTarget target;
    CliHost host(context.out, context.err);
    DoctorSetup setup{context.state, context.settings(), host};
    const DoctorReport port_report = choice.form->examine(choice, setup, target);
    report.checks.insert(report.checks.end(), port_report.checks.begin(), port_report.checks.end());
    report.costs = port_report.costs;

    std::optional<DoctorEstimates> estimates;
    if (model_loaded) estimates = make_doctor_estimates(context.state, report.costs);
    if (context.json) {
        print_json(context, target, report, estimates);
    } else {
        context.out << text(doctor_text(report, estimates ? &*estimates : nullptr));
    }
    // Exit status 1: a problem was found.
    return report.has_problem() ? kExitDifferences : kExitOk;
}

}  // namespace

void register_doctor_command(CliRegistry& registry) {
    registry.add_command({QStringLiteral("doctor"),
                          {},
                          QStringLiteral("Check the programmer port (or --port) and say how to fix what "
                                         "stands in the way."),
                          0,
                          false,
                          doctor});
}

}  // namespace quillon
