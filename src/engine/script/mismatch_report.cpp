#include "engine/script/mismatch_report.h"

#include "engine/script/script_interpreter.h"

namespace quillon {

std::string mismatch_report(const std::vector<MismatchRow>& rows) {
    std::string report = "Memory Location,   Read Value,   Expected,\r\n";
    for (const MismatchRow& row : rows) {
        report.append(row.location)
            .append(",   ")
            .append(row.read_value)
            .append(",   ")
            .append(row.expected_value)
            .append(",\r\n");
    }
    return report;
}

void ScriptInterpreter::reset_mismatch_report() {
    state_.mismatch_rows.clear();
}

void ScriptInterpreter::add_mismatch(std::string_view location, std::string_view read_value,
                                     std::string_view expected_value) {
    state_.mismatch_rows.push_back(
        {std::string(location), std::string(read_value), std::string(expected_value)});
    if (state_.mismatch_count() == kMismatchLimit) state_.run_pc = state_.run_length;
}

}  // namespace quillon
