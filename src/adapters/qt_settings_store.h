#pragma once

#include <QSettings>
#include <QString>
#include <optional>

#include "base/basic_settings_store.h"

namespace quillon {

// Settings kept by QSettings. Each call opens the store, does its one read or write and closes it
// again, so edits made outside the program are seen at the next read.
class QtSettingsStore final : public BasicSettingsStore {
  public:
    // An INI file at `file_path` (its folder is created by the first write). Tests and quillon-cli
    // use this so that the real user's settings are never touched.
    explicit QtSettingsStore(const QString& file_path);

    // The current user's settings: on Windows the registry key
    // HKEY_CURRENT_USER\Software\Ardentix Quillon (texts as REG_SZ, numbers as REG_DWORD);
    // elsewhere the INI file "Ardentix Quillon.ini" in the user's configuration folder
    // ($XDG_CONFIG_HOME or ~/.config on Linux, ~/Library/Preferences on macOS).
    static QtSettingsStore for_current_user();

    // The file path or registry key in use.
    const QString& location() const { return location_; }

    // A read-only store writes nothing, not even the default of a missing value: for programs
    // that only look at the settings and must leave them as they found them.
    void set_read_only(bool read_only) { read_only_ = read_only; }

  protected:
    StoredSetting read_setting(std::string_view name) override;
    void write_text(std::string_view name, std::string_view value) override;
    void write_number(std::string_view name, std::int32_t value) override;

  private:
    // A file as QSettings last parsed it: QSettings parses a file again only when these change.
    struct FileStamp {
        qint64 size = -1;
        qint64 modified_ms = -1;
        bool operator==(const FileStamp&) const = default;
    };

    QtSettingsStore(QString location, QSettings::Format format);
    bool usable(const QSettings& settings);
    FileStamp stamp() const;
    void write(std::string_view name, const QVariant& value);

    QString location_;
    QSettings::Format format_;
    // QSettings reports a file it cannot parse only the first time it reads it and serves what it
    // understood from then on, until the file changes; this remembers the damaged file instead.
    std::optional<FileStamp> damaged_;
    bool read_only_ = false;
};

// How the store judges a value QSettings read back.
StoredSetting classify_setting_value(const QVariant& value);

}  // namespace quillon
