#include "model/device_file.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <utility>

#include "base/ascii.h"
#include "base/numbers.h"
#include "model/config_settings.h"
#include "model/silicon_lines.h"

namespace quillon {

namespace {

// Table kConfigTable is the configuration-only table, kKeepEepromTable the keep-EEPROM program
// table; the others are indexed by Operation.
constexpr int kConfigTable = kOperationCount;
constexpr int kKeepEepromTable = kOperationCount + 1;

struct HeaderWord {
    std::string_view word;
    int table;
};

constexpr std::array<HeaderWord, kOperationCount + 2> kHeaderWords{{
    {"erasealgdef", static_cast<int>(Operation::Erase)},
    {"programalgdef", static_cast<int>(Operation::Program)},
    {"readalgdef", static_cast<int>(Operation::Read)},
    {"blankcheckalgdef", static_cast<int>(Operation::BlankCheck)},
    {"verifyalgdef", static_cast<int>(Operation::Verify)},
    {"configalgdef", kConfigTable},
    {"keepeepromalgdef", kKeepEepromTable},
}};

// What a model key line fills: the model's name (and so a new model), one of its text fields, the
// script of a slot of one of the tables, or one more setting.
enum class KeyKind : std::uint8_t { Name, Text, Script, Setting };

struct ModelKey {
    std::string_view key;
    KeyKind kind;
    std::string DeviceModel::*text = nullptr;  // KeyKind::Text
    int table = 0;                             // KeyKind::Script: the table whose slot it names
};

constexpr ModelKey text_key(std::string_view key, std::string DeviceModel::*field) {
    return {key, KeyKind::Text, field};
}
constexpr ModelKey script_key(std::string_view key, int table) {
    return {key, KeyKind::Script, nullptr, table};
}
constexpr int table_of(Operation op) {
    return static_cast<int>(op);
}

// The first twelve are the keys every reader knows; the rest are passed over by readers that do
// not know them (model/silicon_lines.h).
constexpr std::array<ModelKey, 22> kModelKeys{{
    {"model:", KeyKind::Name},
    text_key("flash:", &DeviceModel::flash),
    text_key("eeprom:", &DeviceModel::eeprom),
    text_key("configerased:", &DeviceModel::configerased),
    text_key("voltageseq:", &DeviceModel::voltageseq),
    text_key("progtime:", &DeviceModel::progtime),
    text_key("pagesize:", &DeviceModel::pagesize),
    script_key("erasealg:", table_of(Operation::Erase)),
    script_key("programalg:", table_of(Operation::Program)),
    script_key("readalg:", table_of(Operation::Read)),
    script_key("blankcheckalg:", table_of(Operation::BlankCheck)),
    script_key("verifyalg:", table_of(Operation::Verify)),
    text_key("configbits:", &DeviceModel::configbits),
    text_key("codepulse:", &DeviceModel::codepulse),
    text_key("configpulse:", &DeviceModel::configpulse),
    text_key("discharge:", &DeviceModel::discharge),
    text_key("bootblock:", &DeviceModel::bootblock),
    text_key("codeblocks:", &DeviceModel::codeblocks),
    script_key("configalg:", kConfigTable),
    script_key("keepeepromalg:", kKeepEepromTable),
    text_key("deviceid:", &DeviceModel::deviceid),
    {"setting:", KeyKind::Setting},
}};

// A slot number as the format writes it: leading_number, rounded, 0 to 20.
std::optional<std::size_t> slot_number(std::string_view text) {
    const auto slot = round_to_int32(leading_number(text));
    if (!slot || *slot < 0 || *slot >= kSlotCount) return std::nullopt;
    return static_cast<std::size_t>(*slot);
}

// The script of `model` that a slot of table `table` fills.
ScriptText& script_of(DeviceModel& model, int table) {
    if (table == kConfigTable) return model.config_script;
    if (table == kKeepEepromTable) return model.keep_eeprom_script;
    return model.script[static_cast<std::size_t>(table)];
}

class DeviceTextParser {
  public:
    explicit DeviceTextParser(DeviceCatalog& catalog) : catalog_(catalog) {}

    void parse_line(std::string_view line, int line_number) {
        if (line.empty()) return;
        const std::string lower = ascii_lower(line);
        const std::size_t space = lower.find(' ');
        const std::size_t colon = lower.find(':');
        // A line without a blank cannot delimit its key; such lines carry no meaning and are skipped.
        if (space == std::string::npos) return;
        if (parse_definition(line, lower, space, colon, line_number)) return;
        parse_model_key(line, lower, space, colon, line_number);
    }

  private:
    bool parse_definition(std::string_view line, const std::string& lower, std::size_t space,
                          std::size_t colon, int line_number) {
        const std::string_view head = std::string_view(lower).substr(0, space);
        for (const HeaderWord& header : kHeaderWords) {
            if (head != header.word) continue;
            if (colon == std::string::npos) {
                note(line_number, "definition line without a colon after its slot number; ignored");
                return true;
            }
            const auto slot = slot_number(line.substr(space + 1));
            if (!slot) {
                note(line_number, "slot number outside 0 to 20; ignored");
                return true;
            }
            // The single character after the colon is skipped whatever it is.
            const std::size_t start = colon + 2;
            std::string script = start < line.size() ? std::string(line.substr(start)) : std::string();
            table(header.table).slot[*slot] = std::make_shared<const std::string>(std::move(script));
            return true;
        }
        return false;
    }

    void parse_model_key(std::string_view line, const std::string& lower, std::size_t space,
                         std::size_t colon, int line_number) {
        if (colon == std::string::npos) return;
        const std::string_view key = std::string_view(lower).substr(0, colon + 1);
        const std::string_view value = line.substr(space + 1);
        for (const ModelKey& model_key : kModelKeys) {
            if (key != model_key.key) continue;
            if (model_key.kind == KeyKind::Name) {
                catalog_.models.emplace_back();
                catalog_.models.back().name = std::string(value);
                return;
            }
            DeviceModel& model = catalog_.models.back();
            switch (model_key.kind) {
                case KeyKind::Script:
                    set_script(model, model_key, value, line_number);
                    break;
                case KeyKind::Setting:
                    if (const std::string error = setting_line_error(value); !error.empty())
                        note(line_number, error + "; the model goes on without this setting");
                    model.settings.emplace_back(value);
                    break;
                case KeyKind::Text:
                    // A value that cannot be read is kept, so checkers can show it, but the model
                    // behaves as if the line were absent.
                    if (const std::string error = silicon_line_error(model_key.key, value); !error.empty())
                        note(line_number, error + "; the model goes on as without this line");
                    model.*model_key.text = std::string(value);
                    break;
                case KeyKind::Name:
                    break;
            }
            return;
        }
    }

    // The model gets the script its slot holds at this line.
    void set_script(DeviceModel& model, const ModelKey& model_key, std::string_view value, int line_number) {
        const auto slot = slot_number(value);
        if (!slot) {
            note(line_number, "slot number outside 0 to 20; ignored");
            return;
        }
        const ScriptText& text = table(model_key.table).slot[*slot];
        if (!text) {
            note(line_number, std::string(model_key.key) + " names slot " + std::to_string(*slot) +
                                  ", which is empty at this line; a slot must be defined above "
                                  "the models that use it");
        }
        script_of(model, model_key.table) = text;
    }

    AlgorithmTable& table(int index) {
        if (index == kConfigTable) return catalog_.config_table;
        if (index == kKeepEepromTable) return catalog_.keep_eeprom_table;
        return catalog_.tables[static_cast<std::size_t>(index)];
    }

    void note(int line_number, std::string text) { catalog_.notes.push_back({line_number, std::move(text)}); }

    DeviceCatalog& catalog_;
};

}  // namespace

DeviceFileStatus parse_device_text(DeviceCatalog& catalog, std::string_view text) {
    catalog = DeviceCatalog{};
    // Editors that save UTF-8 may put a byte-order mark in front of the first line.
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    DeviceTextParser parser(catalog);
    int line_number = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const bool last = end == std::string_view::npos;
        if (last) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        parser.parse_line(line, ++line_number);
        start = end + 1;
    }
    return catalog.model_count() > 0 ? DeviceFileStatus::Loaded : DeviceFileStatus::NoModel;
}

DeviceFileResult load_device_file(DeviceCatalog& catalog, const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (!fs::exists(status)) {
        return {DeviceFileStatus::Unreadable, "The device definition file " + path + " was not found."};
    }
    if (!fs::is_regular_file(status)) {
        return {DeviceFileStatus::Unreadable, "The device definition file " + path + " is not a file."};
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return {DeviceFileStatus::Unreadable,
                "The device definition file " + path + " cannot be read: " + std::strerror(errno) + "."};
    }
    std::ostringstream contents;
    contents << file.rdbuf();
    if (file.bad()) {
        return {DeviceFileStatus::Unreadable,
                "The device definition file " + path + " could not be read to its end."};
    }
    const DeviceFileStatus parsed = parse_device_text(catalog, contents.str());
    if (parsed == DeviceFileStatus::NoModel) {
        return {parsed, "The device definition file " + path + " defines no model."};
    }
    return {parsed, {}};
}

}  // namespace quillon
