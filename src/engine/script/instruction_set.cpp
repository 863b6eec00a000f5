#include "engine/script/instruction_set.h"

#include <array>
#include <string>

#include "base/ascii.h"
#include "base/hex_text.h"
#include "base/numbers.h"

namespace quillon {

namespace {

constexpr std::array<std::string_view, 14> kConfigNames{
    "config1l", "config1h", "config2l", "config2h", "config3l", "config3h", "config4l",
    "config4h", "config5l", "config5h", "config6l", "config6h", "config7l", "config7h"};

constexpr std::array<std::string_view, 14> kConfigCaptions{
    "CONF1L:", "CONF1H:", "CONF2L:", "CONF2H:", "CONF3L:", "CONF3H:", "CONF4L:",
    "CONF4H:", "CONF5L:", "CONF5H:", "CONF6L:", "CONF6H:", "CONF7L:", "CONF7H:"};

// Configuration byte number 1..14 of a name "config1l" .. "config7h", 0 for anything else.
int config_number(std::string_view name) {
    for (std::size_t i = 0; i < kConfigNames.size(); ++i) {
        if (name == kConfigNames[i]) return static_cast<int>(i) + 1;
    }
    return 0;
}

// The two command digits at `position`, upper-cased first so either case works.
std::int16_t command_digits(std::string_view word, std::size_t position) {
    if (position >= word.size()) return -1;
    return static_cast<std::int16_t>(parse_hex2(ascii_upper(word.substr(position, 2))));
}

Instruction with_command(Op op, std::string_view word, std::size_t position) {
    Instruction instruction;
    instruction.op = op;
    instruction.command = command_digits(word, position);
    return instruction;
}

bool starts_with(std::string_view word, std::string_view start) {
    return word.substr(0, start.size()) == start;
}

bool ends_with(std::string_view word, std::string_view end) {
    return word.size() >= end.size() && word.substr(word.size() - end.size()) == end;
}

// The rules that take more than a comparison; each fills `out` on a match.

// checkblankconfig1l, checkconfig7h: the row's start, then a configuration name.
bool match_config_suffix(const InstructionSpec& entry, std::string_view word, Instruction& out) {
    if (!starts_with(word, entry.pattern)) return false;
    const int k = config_number("config" + std::string(word.substr(entry.pattern.size())));
    if (k == 0) return false;
    out = Instruction{entry.op};
    out.config = static_cast<std::int8_t>(k);
    return true;
}

// s0d-flash, s0f-config1h: "s", the command digits, then the row's ending.
bool match_send_suffix(const InstructionSpec& entry, std::string_view word, Instruction& out) {
    if (word.empty() || word[0] != 's') return false;
    if (entry.op == Op::SendFlash) {
        if (!ends_with(word, entry.pattern)) return false;
        out = with_command(entry.op, word, 1);
        return true;
    }
    if (word.size() < 9) return false;
    const int k = config_number(word.substr(word.size() - 8));
    if (k == 0 || word[word.size() - 9] != '-') return false;
    out = with_command(entry.op, word, 1);
    out.config = static_cast<std::int8_t>(k);
    return true;
}

// flash=s09, config1l=s09: the row's start (a configuration name and "=s" for the config row),
// then the command digits.
bool match_read_prefix(const InstructionSpec& entry, std::string_view word, Instruction& out) {
    if (entry.op != Op::ReadConfig) {
        if (!starts_with(word, entry.pattern)) return false;
        out = with_command(entry.op, word, entry.pattern.size());
        return true;
    }
    if (word.size() < 10 || word.substr(8, 2) != "=s") return false;
    const int k = config_number(word.substr(0, 8));
    if (k == 0) return false;
    out = with_command(entry.op, word, 10);
    out.config = static_cast<std::int8_t>(k);
    return true;
}

Instruction wait_instruction(Op op, std::string_view word) {
    Instruction instruction{op};
    // A wait that does not fit 32 bits keeps its sign, so the checks before a run can refuse it.
    const double milliseconds = round_half_even(leading_number(word.substr(1)));
    instruction.wait_ms = milliseconds > 1e12    ? std::int64_t{1'000'000'000'000}
                          : milliseconds < -1e12 ? std::int64_t{-1'000'000'000'000}
                                                 : static_cast<std::int64_t>(milliseconds);
    return instruction;
}

// Matches one row against a word; fills `out` on success.
bool match(const InstructionSpec& entry, std::string_view word, Instruction& out) {
    switch (entry.rule) {
        case MatchRule::Exact:
            if (word != entry.pattern) return false;
            out = Instruction{entry.op};
            return true;
        case MatchRule::ConfigSuffix:
            return match_config_suffix(entry, word, out);
        case MatchRule::SendSuffix:
            return match_send_suffix(entry, word, out);
        case MatchRule::ReadPrefix:
            return match_read_prefix(entry, word, out);
        case MatchRule::SendLiteral:
            if (word.size() != 8 || word[0] != 's' || word[3] != '-') return false;
            out = with_command(entry.op, word, 1);
            out.operand = parse_hex4(ascii_upper(word.substr(4, 4)));
            return true;
        case MatchRule::WaitPrefix:
            if (word.empty() || word[0] != 'w') return false;
            out = wait_instruction(entry.op, word);
            return true;
        case MatchRule::Anything:
            out = Instruction{entry.op};
            return true;
    }
    return false;
}

}  // namespace

Instruction decode_word(std::string_view word) {
    Instruction instruction;
    for (const InstructionSpec& entry : kInstructionSet) {
        if (!match(entry, word, instruction)) continue;
        instruction.group = entry.group;
        instruction.memory = entry.memory;
        return instruction;
    }
    return instruction;
}

std::string_view config_caption(int k) {
    return kConfigCaptions.at(static_cast<std::size_t>(k - 1));
}

}  // namespace quillon
