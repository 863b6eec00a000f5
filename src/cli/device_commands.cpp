// quillon-cli commands that show the device library: models and show.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "base/hex_text.h"
#include "cli/cli_context.h"
#include "cli/config_report.h"

namespace quillon {

namespace {

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

void print_json(CliContext& context, const QJsonObject& object) {
    context.out << QJsonDocument(object).toJson(QJsonDocument::Indented);
}

int list_models(CliContext& context, const QStringList&) {
    const DeviceCatalog& catalog = context.state.catalog;
    if (context.json) {
        QJsonArray models;
        for (int i = 1; i <= catalog.model_count(); ++i) {
            const DeviceModel& model = catalog.models[static_cast<std::size_t>(i)];
            models.append(QJsonObject{{"number", i},
                                      {"name", text(model.name)},
                                      {"flash", text(model.flash)},
                                      {"eeprom", text(model.eeprom)}});
        }
        print_json(context, {{"device_file", context.device_file_path}, {"models", models}});
        return kExitOk;
    }
    int name_width = 5;
    for (int i = 1; i <= catalog.model_count(); ++i) {
        name_width = std::max(
            name_width, static_cast<int>(text(catalog.models[static_cast<std::size_t>(i)].name).size()));
    }
    context.out << QStringLiteral("%1  %2  %3  %4\n")
                       .arg("No.", 4)
                       .arg("Model", -name_width)
                       .arg("FLASH", 8)
                       .arg("EEPROM", 8);
    for (int i = 1; i <= catalog.model_count(); ++i) {
        const DeviceModel& model = catalog.models[static_cast<std::size_t>(i)];
        context.out << QStringLiteral("%1  %2  %3  %4\n")
                           .arg(i, 4)
                           .arg(text(model.name), -name_width)
                           .arg(text(model.flash), 8)
                           .arg(text(model.eeprom), 8);
    }
    return kExitOk;
}

struct NamedScript {
    const char* name;
    const AlgorithmScript& words;
};

QString config_text(std::int32_t value) {
    return value < 0 ? QStringLiteral("-1") : text(hex2(value));
}

int show_model(CliContext& context, const QStringList&) {
    const AppState& state = context.state;
    const NamedScript scripts[] = {{"erase_script", state.erase_script},
                                   {"program_script", state.program_script},
                                   {"read_script", state.read_script},
                                   {"blank_check_script", state.blank_check_script},
                                   {"verify_script", state.verify_script}};
    if (context.json) {
        QJsonArray erased;
        for (int k = 1; k <= kConfigByteCount; ++k)
            erased.append(state.erased_config(k));
        QJsonObject object{{"model_number", state.model_number},
                           {"model_name", text(state.model_name)},
                           {"flash_size", state.flash_size},
                           {"eeprom_size", state.eeprom_size},
                           {"erased_config", erased},
                           {"voltage_sequence", state.voltage_sequence},
                           {"prog_time_ms", state.prog_time_ms},
                           {"page_size", state.page_size}};
        for (const NamedScript& script : scripts) {
            QJsonArray words;
            for (const std::string& word : script.words)
                words.append(text(word));
            object.insert(QLatin1String(script.name), words);
        }
        object.insert(QStringLiteral("settings"), model_settings_json(context));
        print_json(context, object);
        return kExitOk;
    }
    QTextStream& out = context.out;
    out << context.model_line() << '\n'
        << "model_number: " << state.model_number << '\n'
        << "model_name: " << text(state.model_name) << '\n'
        << "flash_size: " << state.flash_size << '\n'
        << "eeprom_size: " << state.eeprom_size << '\n'
        << "erased_config:";
    for (int k = 1; k <= kConfigByteCount; ++k)
        out << ' ' << config_text(state.erased_config(k));
    out << '\n'
        << "voltage_sequence: " << state.voltage_sequence << '\n'
        << "prog_time_ms: " << state.prog_time_ms << '\n'
        << "page_size: " << state.page_size << '\n';
    for (const NamedScript& script : scripts) {
        out << script.name << ": " << script.words.size()
            << (script.words.size() == 1 ? " word\n" : " words\n");
        int number = 0;
        for (const std::string& word : script.words) {
            out << QStringLiteral("%1 \"%2\"\n").arg(++number, 6).arg(text(word));
        }
    }
    print_model_settings(context);
    return kExitOk;
}

}  // namespace

void register_device_commands(CliRegistry& registry) {
    registry.add_command({QStringLiteral("models"),
                          {},
                          QStringLiteral("List the models of the device library."),
                          0,
                          true,
                          list_models});
    registry.add_command(
        {QStringLiteral("show"),
         {},
         QStringLiteral("Show the selected model's working values, scripts and configuration "
                        "settings."),
         0,
         true,
         show_model});
}

}  // namespace quillon
