#include "cli/cli_context.h"

#include <QIODevice>
#include <cstdio>

#include "adapters/qt_settings_store.h"
#include "adapters/start_environment.h"
#include "base/ascii.h"
#include "model/select_model.h"
#include "model/settings_catalog.h"
#include "model/stored_model.h"

namespace quillon {

namespace {

// The model whose name, as stored and without regard to letter case, is `name`; 0 for none.
int model_named(const DeviceCatalog& catalog, const std::string& name) {
    const std::string wanted = ascii_lower(name);
    for (int i = 1; i <= catalog.model_count(); ++i) {
        if (ascii_lower(catalog.models[static_cast<std::size_t>(i)].name) == wanted) return i;
    }
    return 0;
}

// --model: a name exactly as the device file stores it (a leading blank or digits included),
// else a 1-based number, else a name typed with blanks around it.
int find_model(const DeviceCatalog& catalog, const QString& wanted) {
    if (const int named = model_named(catalog, wanted.toStdString()); named != 0) return named;
    bool is_number = false;
    const int number = wanted.toInt(&is_number);
    if (is_number) return number >= 1 && number <= catalog.model_count() ? number : 0;
    return model_named(catalog, wanted.trimmed().toStdString());
}

}  // namespace

CliContext::CliContext(const QCommandLineParser& command_line)
    : parser(command_line), out(stdout, QIODevice::WriteOnly), err(stderr, QIODevice::WriteOnly) {}

std::optional<PortChoice> port_option(const QCommandLineParser& parser) {
    const QString name = QStringLiteral("port");
    if (!parser.isSet(name)) return parse_port_choice(std::nullopt);
    return parse_port_choice(parser.value(name).toStdString());
}

QString port_option_help() {
    return QString::fromStdString(port_usage_text());
}

int CliContext::fail(int status, const QString& message) {
    err << "quillon-cli: " << message << Qt::endl;
    return status;
}

int CliContext::load_model() {
    StartEnvironment environment = current_start_environment();
    DeviceFileResult result;
    if (parser.isSet(QStringLiteral("device-file"))) {
        device_file_path = parser.value(QStringLiteral("device-file"));
        state.program_folder =
            make_program_folder(environment.program_dir, environment.separator, environment.case_insensitive);
        result = load_device_file(state.catalog, device_file_path.toStdString());
        state.model_count = state.catalog.model_count();
    } else {
        result = prepare_start(state, environment);
        device_file_path = QString::fromStdString(
            find_device_file(state.program_folder, environment.data_dirs, environment.separator));
    }
    if (result.status != DeviceFileStatus::Loaded) {
        return fail(kExitUsage, QString::fromStdString(result.message));
    }

    if (parser.isSet(QStringLiteral("model"))) {
        const QString wanted = parser.value(QStringLiteral("model"));
        state.model_number = find_model(state.catalog, wanted);
        if (state.model_number == 0) {
            return fail(kExitUsage, QStringLiteral("no model \"%1\" in %2 (quillon-cli models lists them)")
                                        .arg(wanted, device_file_path));
        }
        model_source = QStringLiteral("from --model");
    } else {
        // As the program starts, but without writing the setting back: with --device-file the
        // stored number may belong to another library.
        state.model_number = stored_model_number(settings(), state.catalog.model_count());
        const QString setting =
            QString::fromUtf8(kModelSetting.name.data(), static_cast<qsizetype>(kModelSetting.name.size()));
        model_source = QStringLiteral("from the setting \"%1\"").arg(setting);
        if (state.model_number == 0) {
            state.model_number = 1;
            model_source =
                QStringLiteral("the setting \"%1\" names no model; the first is used").arg(setting);
        }
    }
    select_model(state, state.model_number);
    return kExitOk;
}

QString CliContext::model_line() const {
    return QStringLiteral("Model %1: %2 (%3)")
        .arg(state.model_number)
        .arg(QString::fromStdString(state.model_name), model_source);
}

SettingsStore& CliContext::settings() {
    if (!settings_) {
        auto store = std::make_unique<QtSettingsStore>(QtSettingsStore::for_current_user());
        store->set_read_only(read_only_settings);
        settings_ = std::move(store);
    }
    return *settings_;
}

QString CliRegistry::misplaced_option(const QCommandLineParser& parser, const QString& command) const {
    for (std::size_t i = 0; i < options_.size(); ++i) {
        if (commands_of_[i].isEmpty() || commands_of_[i].contains(command)) continue;
        const QString name = options_[i].names().constFirst();
        if (parser.isSet(name)) return name;
    }
    return {};
}

}  // namespace quillon
