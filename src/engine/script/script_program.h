#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/script/instruction_set.h"
#include "model/app_state.h"

namespace quillon {

// What a script may rely on from the selected model, for the checks before a run.
struct ScriptLimits {
    std::int32_t flash_size = 0;
    std::int32_t page_size = 0;
    std::int32_t prog_time_ms = 0;
    // The order "begin" powers the chip up in: 1 VDD first, 2 VPP first. Any other value would make
    // "begin" switch nothing while "end" still toggles the supply, leaving it on after the run.
    std::int32_t voltage_sequence = 1;
    // The model's "voltageseq:" value as written, for the message that asks to mend it.
    std::string voltage_text;
};

// The longest wait and programming time a script may ask for: a slip of the pen beyond these
// would hang the program for minutes with the chip powered.
inline constexpr std::int64_t kMaxWaitMs = 60'000;
inline constexpr std::int32_t kMaxProgTimeMs = 1'000;

enum class ScriptProblemKind : std::uint8_t {
    Unrecognized,  // a word that is no instruction: the program must end
    Structure,     // the script cannot run as written; refused before it touches the chip
};

struct ScriptProblem {
    ScriptProblemKind kind;
    int instruction;  // 1-based number of the word
    std::string word;
    std::string text;  // what is wrong, in a sentence
};

// A script decoded once: instruction n is at index n - 1, jumps already resolved.
struct ScriptProgram {
    std::vector<Instruction> instructions;
    std::vector<ScriptProblem> problems;

    bool runnable() const { return problems.empty(); }
};

// Decodes every word and checks what can be checked before the chip is touched: unrecognised
// words, loops and page blocks without their closing word, a "loop" with no loop started before
// it, page instructions without a page size, FLASH words on an odd FLASH size, impossible waits,
// a "begin" without a voltage sequence, and a comparing script whose last instruction is "loop"
// (the mismatch limit goes on at the last instruction, which must let the run end).
ScriptProgram compile_script(const AlgorithmScript& script, const ScriptLimits& limits);

}  // namespace quillon
