#include "engine/script_program.h"

namespace quillon {

namespace {

// 1-based number of the first instruction at index `from` or later whose op is `wanted`, or 0.
std::int32_t find_forward(const std::vector<Instruction>& instructions, std::size_t from, Op wanted) {
    for (std::size_t i = from; i < instructions.size(); ++i) {
        if (instructions[i].op == wanted) return static_cast<std::int32_t>(i) + 1;
    }
    return 0;
}

class ScriptChecker {
  public:
    ScriptChecker(const AlgorithmScript& script, const ScriptLimits& limits, ScriptProgram& program)
        : script_(script), limits_(limits), program_(program) {}

    void check() {
        bool loop_started = false;
        bool sends_flash_words = false;
        for (std::size_t i = 0; i < program_.instructions.size(); ++i) {
            Instruction& instruction = program_.instructions[i];
            switch (instruction.op) {
                case Op::Unrecognized:
                    problem(ScriptProblemKind::Unrecognized, i, "is not an instruction");
                    break;
                case Op::SetFlashLoop:
                case Op::SetEepromLoop: {
                    loop_started = true;
                    const std::int32_t loop = find_forward(program_.instructions, i, Op::Loop);
                    if (loop == 0) problem(ScriptProblemKind::Structure, i, "has no \"loop\" after it");
                    instruction.target = loop + 1;
                    break;
                }
                case Op::Loop:
                    if (!loop_started) {
                        problem(ScriptProblemKind::Structure, i,
                                "comes before any \"setflashloop\" or \"seteepromloop\"");
                    }
                    break;
                case Op::IfPage: {
                    const std::int32_t end = find_forward(program_.instructions, i + 1, Op::EndIfPage);
                    if (end == 0) problem(ScriptProblemKind::Structure, i, "has no \"endifpage\" after it");
                    instruction.target = end + 1;
                    [[fallthrough]];
                }
                case Op::CalcFlashPage:
                    if (limits_.page_size <= 0) {
                        problem(ScriptProblemKind::Structure, i,
                                "needs a page size, but the model's page size is " +
                                    std::to_string(limits_.page_size));
                    }
                    break;
                case Op::SendFlash:
                    sends_flash_words = true;
                    break;
                case Op::StartProg:
                    if (limits_.prog_time_ms < 0 || limits_.prog_time_ms > kMaxProgTimeMs) {
                        problem(ScriptProblemKind::Structure, i,
                                "would hold a programming time of " + std::to_string(limits_.prog_time_ms) +
                                    " ms (0 to " + std::to_string(kMaxProgTimeMs) + " allowed)");
                    }
                    break;
                case Op::Wait:
                    if (instruction.wait_ms < 0 || instruction.wait_ms > kMaxWaitMs) {
                        problem(ScriptProblemKind::Structure, i,
                                "asks for a wait outside 0 to " + std::to_string(kMaxWaitMs) + " ms");
                    }
                    break;
                default:
                    break;
            }
        }
        if (sends_flash_words && limits_.flash_size % 2 != 0) {
            program_.problems.push_back({ScriptProblemKind::Structure,
                                         0,
                                         {},
                                         "The FLASH size " + std::to_string(limits_.flash_size) +
                                             " is odd, but the script sends FLASH in 16-bit words."});
        }
    }

  private:
    void problem(ScriptProblemKind kind, std::size_t index, const std::string& what) {
        const std::string& word = script_[index];
        program_.problems.push_back(
            {kind, static_cast<int>(index) + 1, word,
             "Instruction " + std::to_string(index + 1) + " '" + word + "' " + what + "."});
    }

    const AlgorithmScript& script_;
    const ScriptLimits& limits_;
    ScriptProgram& program_;
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
