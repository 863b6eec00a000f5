#include "cli/config_report.h"

#include <QJsonObject>

#include "base/hex_text.h"
#include "cli/cli_context.h"
#include "model/config_decode.h"

namespace quillon {

namespace {

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

}  // namespace

void print_model_settings(CliContext& context) {
    const std::vector<ConfigSetting>& settings = context.state.silicon.settings;
    context.out << "settings: " << settings.size() << '\n';
    for (const ConfigSetting& setting : settings) {
        context.out << "  " << text(config_byte_name(setting.byte)) << "  " << text(setting.name) << " (bits "
                    << text(hex2(setting.mask)) << "):";
        for (const SettingValue& value : setting.values)
            context.out << ' ' << text(value.name);
        context.out << '\n';
    }
}

QJsonArray model_settings_json(const CliContext& context) {
    QJsonArray result;
    for (const ConfigSetting& setting : context.state.silicon.settings) {
        QJsonArray values;  // in the library's order, which a JSON object would not keep
        for (const SettingValue& value : setting.values)
            values.append(QJsonObject{{"name", text(value.name)}, {"bits", text(hex2(value.bits))}});
        result.append(QJsonObject{{"byte", text(config_byte_name(setting.byte))},
                                  {"name", text(setting.name)},
                                  {"bits", text(hex2(setting.mask))},
                                  {"values", values}});
    }
    return result;
}

void print_decoded_config(CliContext& context) {
    const AppState& state = context.state;
    const std::vector<DecodedSetting> decoded = decode_config(state.silicon, state.image.config);
    if (decoded.empty()) return;
    context.out << "Configuration settings for " << text(state.model_name) << ":\n";
    for (const DecodedSetting& setting : decoded) {
        context.out << "  CONFIG" << text(config_byte_name(setting.setting->byte)) << "  "
                    << text(decoded_text(setting)) << '\n';
    }
    const ConfigWarnings warnings = config_warnings(state.silicon, state.image.config);
    for (const std::vector<std::string>* list : {&warnings.protection, &warnings.others}) {
        for (const std::string& warning : *list)
            context.out << "Warning: " << text(warning) << ".\n";
    }
}

void warn_of_protection(CliContext& context) {
    const AppState& state = context.state;
    std::vector<std::string> lines = config_warnings(state.silicon, state.image.config).protection;
    if (lines.empty() && !protection_question(state.silicon, state.image.config).empty())
        lines.emplace_back("the image clears protection bits of CONFIG5L to CONFIG7H");
    for (const std::string& line : lines)
        context.err << "quillon-cli: warning: " << text(line) << ".\n";
    context.err.flush();
}

}  // namespace quillon
