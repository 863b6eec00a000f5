#include "adapters/qt_settings_store.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <limits>
#include <utility>

namespace quillon {

namespace {

constexpr const char* kOrganisation = "Ardentix Quillon";

QString to_key(std::string_view name) {
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

StoredSetting classify_setting_value(const QVariant& value) {
    using Kind = StoredSetting::Kind;
    if (!value.isValid()) return {Kind::Missing, {}, 0};
    switch (value.typeId()) {
        case QMetaType::QString:
            return {Kind::Text, value.toString().toStdString(), 0};
        case QMetaType::QByteArray:
            return {Kind::Text, value.toByteArray().toStdString(), 0};
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::LongLong:
            return {Kind::Number, {}, value.toLongLong()};
        case QMetaType::ULong:
        case QMetaType::ULongLong:
            if (value.toULongLong() <= static_cast<qulonglong>(std::numeric_limits<qlonglong>::max()))
                return {Kind::Number, {}, value.toLongLong()};
            break;
        default:
            break;
    }
    return {Kind::OtherKind, {}, 0};
}

QtSettingsStore::QtSettingsStore(const QString& file_path)
    : QtSettingsStore(file_path, QSettings::IniFormat) {}

QtSettingsStore::QtSettingsStore(QString location, QSettings::Format format)
    : location_(std::move(location)), format_(format) {}

QtSettingsStore QtSettingsStore::for_current_user() {
#ifdef Q_OS_WIN
    return QtSettingsStore(
        QStringLiteral("HKEY_CURRENT_USER\\Software\\") + QString::fromLatin1(kOrganisation),
        QSettings::NativeFormat);
#else
    // The path is worked out without opening the file: naming the store must not read it yet.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QtSettingsStore(
        folder + QLatin1Char('/') + QString::fromLatin1(kOrganisation) + QStringLiteral(".ini"),
        QSettings::IniFormat);
#endif
}

QtSettingsStore::FileStamp QtSettingsStore::stamp() const {
    const QFileInfo info(location_);
    if (!info.exists()) return {};
    return {info.size(), info.lastModified().toMSecsSinceEpoch()};
}

bool QtSettingsStore::usable(const QSettings& settings) {
    if (format_ == QSettings::NativeFormat) return settings.status() == QSettings::NoError;
    const FileStamp now = stamp();
    if (settings.status() != QSettings::NoError) {
        damaged_ = now;
        return false;
    }
    if (damaged_ && *damaged_ == now) return false;
    damaged_.reset();
    return true;
}

StoredSetting QtSettingsStore::read_setting(std::string_view name) {
    const QSettings settings(location_, format_);
    if (!usable(settings)) return {StoredSetting::Kind::Unavailable, {}, 0};
    return classify_setting_value(settings.value(to_key(name)));
}

void QtSettingsStore::write_text(std::string_view name, std::string_view value) {
    write(name, QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())));
}

void QtSettingsStore::write_number(std::string_view name, std::int32_t value) {
    write(name, QVariant(static_cast<int>(value)));
}

void QtSettingsStore::write(std::string_view name, const QVariant& value) {
    if (read_only_) return;
    QSettings settings(location_, format_);
    // QSettings would rewrite a file it could not parse from the part it understood; leave such a
    // file as it is, the defaults apply until the user mends or removes it.
    if (!usable(settings)) return;
    settings.setValue(to_key(name), value);
    settings.sync();
}

}  // namespace quillon
