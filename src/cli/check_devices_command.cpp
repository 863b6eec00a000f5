// quillon-cli check-devices: finds what keeps the models of a device library from working, for
// users who add their own models.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/cli_context.h"
#include "tools/library/library_check.h"

namespace quillon {

namespace {

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

QString plural(int count, const char* singular, const char* plural_form) {
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? singular : plural_form));
}

QString verdict(const ModelCheck& model) {
    if (!model.passed()) {
        QStringList faults;
        for (const ModelFault& fault : model.faults)
            faults << text(describe_fault(fault));
        return QStringLiteral("failed: ") + faults.join(QStringLiteral("; "));
    }
    switch (model.simulation) {
        case Simulation::Ran:
            return QStringLiteral("passed, also on the simulated chip");
        case Simulation::NoSuchChip:
            return QStringLiteral("passed (the simulator has no such chip, so the scripts were not run)");
        case Simulation::Skipped:
            break;
    }
    return QStringLiteral("passed");
}

void print_text(CliContext& context, const LibraryCheck& check) {
    for (const ModelCheck& model : check.models) {
        context.out << text(model.name) << " (model " << model.number << "): " << verdict(model) << '\n';
    }
    for (const DeviceFileNote& note : check.notes)
        context.out << "Line " << note.line << ": " << text(note.text) << '\n';
    const int count = static_cast<int>(check.models.size());
    const int failed = check.failed_count();
    context.out << plural(count, "model", "models") << " checked in " << context.device_file_path << ": "
                << (count - failed) << " passed, " << failed << " failed";
    if (!check.notes.empty()) {
        context.out << "; " << plural(static_cast<int>(check.notes.size()), "line", "lines")
                    << " of the file had no effect";
    }
    context.out << ".\n";
}

QJsonObject model_json(const ModelCheck& model) {
    QJsonArray faults;
    for (const ModelFault& fault : model.faults) {
        faults.append(QJsonObject{
            {"script",
             fault.operation ? QJsonValue(QLatin1String(operation_name(*fault.operation))) : QJsonValue()},
            {"slot", fault.slot >= 0 ? QJsonValue(fault.slot) : QJsonValue()},
            {"text", text(fault.text)}});
    }
    QJsonObject times;
    for (const OperationTime& time : model.times) {
        times.insert(QLatin1String(operation_name(time.operation)),
                     static_cast<double>(time.virtual_time.count()) / 1e6);
    }
    return QJsonObject{{"number", model.number},   {"name", text(model.name)},
                       {"passed", model.passed()}, {"simulated", model.simulation == Simulation::Ran},
                       {"faults", faults},         {"virtual_ms", times}};
}

void print_json(CliContext& context, const LibraryCheck& check) {
    QJsonArray models;
    for (const ModelCheck& model : check.models)
        models.append(model_json(model));
    QJsonArray notes;
    for (const DeviceFileNote& note : check.notes)
        notes.append(QJsonObject{{"line", note.line}, {"text", text(note.text)}});
    const int count = static_cast<int>(check.models.size());
    const QJsonObject summary{{"models", count},
                              {"passed", count - check.failed_count()},
                              {"failed", check.failed_count()},
                              {"notes", static_cast<int>(check.notes.size())}};
    const QJsonObject object{{"device_file", context.device_file_path},
                             {"passed", check.passed()},
                             {"models", models},
                             {"notes", notes},
                             {"summary", summary}};
    context.out << QJsonDocument(object).toJson(QJsonDocument::Indented);
}

int check_devices(CliContext& context, const QStringList&) {
    // --model narrows the check to that one model.
    const int only = context.parser.isSet(QStringLiteral("model")) ? context.state.model_number : 0;
    const LibraryCheck check = check_device_library(context.state.catalog, only);
    if (context.json) {
        print_json(context, check);
    } else {
        print_text(context, check);
    }
    return check.passed() ? kExitOk : kExitDifferences;
}

}  // namespace

void register_check_devices_command(CliRegistry& registry) {
    registry.add_command({QStringLiteral("check-devices"),
                          {},
                          QStringLiteral("Check the library's models (or --model) and run them on the "
                                         "simulated chips."),
                          0,
                          true,
                          check_devices});
}

}  // namespace quillon
