#include "engine/script/script_program.h"

#include <algorithm>

#include "engine/script/script_interpreter.h"

namespace quillon {

namespace {

// 1-based number of the first instruction at index `from` or later whose op is `wanted`, or 0.
std::int32_t find_forward(const std::vector<Instruction>& instructions, std::size_t from, Op wanted) {
    for (std::size_t i = from; i < instructions.size(); ++i) {
        if (instructions[i].op == wanted) return static_cast<std::int32_t>(i) + 1;
    }
    return 0;
}

// The row a jump goes past, and where the search for it starts (a loop instruction is no "loop"
// itself, an "ifpage" block ends after it).
struct JumpEnd {
    Op op;
    std::size_t from;
};

JumpEnd jump_end(Jump jump, std::size_t index) {
    return jump == Jump::PastLoop ? JumpEnd{Op::Loop, index} : JumpEnd{Op::EndIfPage, index + 1};
}

class ScriptChecker {
  public:
    ScriptChecker(const AlgorithmScript& script, const ScriptLimits& limits, ScriptProgram& program)
        : script_(script), limits_(limits), program_(program) {}

    void check() {
        for (std::size_t i = 0; i < program_.instructions.size(); ++i) {
            Instruction& instruction = program_.instructions[i];
            const InstructionSpec& row = instruction_spec(instruction.op);
            if (row.group == Group::None)
                problem(ScriptProblemKind::Unrecognized, i, "is not an instruction");
            if (row.jump != Jump::None) resolve_jump(instruction, row.jump, i);
            if (row.needs != kNeedsNothing) check_needs(instruction, row.needs, i);
        }
        check_last_instruction();
        if (sends_flash_words_ && limits_.flash_size % 2 != 0) {
            program_.problems.push_back({ScriptProblemKind::Structure,
                                         0,
                                         {},
                                         "The FLASH size " + std::to_string(limits_.flash_size) +
                                             " is odd, but the script sends FLASH in 16-bit words."});
        }
    }

  private:
    // A check cut short at the mismatch limit goes on with the last instruction; a "loop" there
    // would take the run back into its loop, past the limit and past its "end".
    void check_last_instruction() {
        const std::vector<Instruction>& instructions = program_.instructions;
        if (instructions.empty() || instructions.back().op != Op::Loop) return;
        const bool compares = std::any_of(instructions.begin(), instructions.end(), [](const Instruction& i) {
            return i.group == Group::Check || i.group == Group::CheckBlank;
        });
        if (!compares) return;
        problem(ScriptProblemKind::Structure, instructions.size() - 1,
                "is the last instruction, so a check stopped at " + std::to_string(kMismatchLimit) +
                    " differences would loop on instead of ending; put \"end\" after it");
    }

    void resolve_jump(Instruction& instruction, Jump jump, std::size_t index) {
        // A loop instruction is what a "loop" after it returns to.
        if (jump == Jump::PastLoop) loop_started_ = true;
        const JumpEnd end = jump_end(jump, index);
        const std::int32_t found = find_forward(program_.instructions, end.from, end.op);
        if (found == 0) {
            problem(ScriptProblemKind::Structure, index,
                    "has no \"" + std::string(instruction_spec(end.op).pattern) + "\" after it");
        }
        instruction.target = found + 1;
    }

    void check_needs(const Instruction& instruction, std::uint8_t needs, std::size_t index) {
        if ((needs & kNeedsLoopStarted) != 0 && !loop_started_) {
            problem(ScriptProblemKind::Structure, index,
                    "comes before any \"setflashloop\" or \"seteepromloop\"");
        }
        if ((needs & kNeedsPageSize) != 0 && limits_.page_size <= 0) {
            problem(ScriptProblemKind::Structure, index,
                    "needs a page size, but the model's page size is " + std::to_string(limits_.page_size));
        }
        if ((needs & kNeedsEvenFlash) != 0) sends_flash_words_ = true;
        if ((needs & kNeedsProgTime) != 0 &&
            (limits_.prog_time_ms < 0 || limits_.prog_time_ms > kMaxProgTimeMs)) {
            problem(ScriptProblemKind::Structure, index,
                    "would hold a programming time of " + std::to_string(limits_.prog_time_ms) +
                        " ms (0 to " + std::to_string(kMaxProgTimeMs) + " allowed)");
        }
        if ((needs & kNeedsPowerOrder) != 0 && limits_.voltage_sequence != 1 &&
            limits_.voltage_sequence != 2) {
            const std::string fix = "\"voltageseq: vddvpp\" or \"voltageseq: vppvdd\"";
            problem(ScriptProblemKind::Structure, index,
                    limits_.voltage_text.empty()
                        ? "cannot power the chip up: the model has no \"voltageseq:\" line; add " + fix
                        : "cannot power the chip up: the model's line \"voltageseq: " + limits_.voltage_text +
                              "\" must read " + fix);
        }
        if ((needs & kNeedsWaitRange) != 0 && (instruction.wait_ms < 0 || instruction.wait_ms > kMaxWaitMs)) {
            problem(ScriptProblemKind::Structure, index,
                    "asks for a wait outside 0 to " + std::to_string(kMaxWaitMs) + " ms");
        }
    }

    void problem(ScriptProblemKind kind, std::size_t index, const std::string& what) {
        const std::string& word = script_[index];
        program_.problems.push_back(
            {kind, static_cast<int>(index) + 1, word,
             "Instruction " + std::to_string(index + 1) + " '" + word + "' " + what + "."});
    }

    const AlgorithmScript& script_;
    const ScriptLimits& limits_;
    ScriptProgram& program_;
    bool loop_started_ = false;
    bool sends_flash_words_ = false;
};

}  // namespace

ScriptProgram compile_script(const AlgorithmScript& script, const ScriptLimits& limits) {
    ScriptProgram program;
    program.instructions.reserve(script.size());
    for (const std::string& word : script)
        program.instructions.push_back(decode_word(word));
    ScriptChecker(script, limits, program).check();
    return program;
}

}  // namespace quillon
