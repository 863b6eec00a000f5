#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quillon {

// Every instruction of the algorithm script language. The order is the matching order: a word is
// the first row of kInstructionSet that it matches.
enum class Op : std::uint8_t {
    Begin,
    End,
    StartProg,
    SetProgTime,
    CalcFlash,
    CalcFlashPage,
    CalcEeprom,
    SetFlashLoop,
    SetEepromLoop,
    Loop,
    IfPage,
    EndIfPage,
    MovlwUpper,
    MovlwHigh,
    MovlwLow,
    MovlwEeprom,
    SendFlash,   // sCC-flash
    SendConfig,  // sCC-config1l .. sCC-config7h
    WaitWr,
    ReadFlash,   // flash=sCC
    ReadEeprom,  // eeprom=sCC
    ReadConfig,  // config1l=sCC .. config7h=sCC
    ReadTemp,    // temp=sCC
    CheckBlankFlash,
    CheckBlankEeprom,
    CheckBlankConfig,  // checkblankconfig1l .. checkblankconfig7h
    CheckFlash,
    CheckEeprom,
    CheckConfig,  // checkconfig1l .. checkconfig7h
    SendLiteral,  // sCC-DDDD
    Wait,         // wN
    Unrecognized,
};

inline constexpr std::size_t kOpCount = static_cast<std::size_t>(Op::Unrecognized) + 1;

// How a row recognises its words.
enum class MatchRule : std::uint8_t {
    Exact,         // the whole word
    ConfigSuffix,  // a fixed start, then config1l .. config7h (checkblankconfig1l)
    SendSuffix,    // "s" first and a fixed ending (s0d-flash, s0f-config1h)
    ReadPrefix,    // a fixed start before the command digits (flash=s09, config1l=s09)
    SendLiteral,   // eight characters, "s" first and "-" fourth (s00-0e3c)
    WaitPrefix,    // "w" first
    Anything,
};

// The families of instructions. The interpreter runs each family with one handler, which the
// row's memory tells what to work on.
enum class Group : std::uint8_t {
    Power,       // begin, end, startprog, setprogtime
    LoopEnd,     // calcflash, calcflashpage, calceeprom
    Flow,        // setflashloop, seteepromloop, loop, ifpage, endifpage: the rows that jump
    Address,     // movlw-upper, movlw-high, movlw-low
    Send,        // a command with a data operand: movlw-eeprom, sCC-flash, sCC-configNX, sCC-DDDD
    Read,        // a command whose answer is kept: flash=sCC, eeprom=sCC, configNX=sCC, temp=sCC
    CheckBlank,  // the byte read against the erased value
    Check,       // the byte read against the buffer
    Wait,        // waitwr, wN
    None,        // no instruction
};

// The memory a row's data, progress caption and report location belong to; None for a row
// without (temp=sCC keeps its byte for the compare, sCC-DDDD sends its own operand).
enum class Memory : std::uint8_t { None, Flash, Eeprom, Config };

// Where a row may jump to: past the first "loop" at or after it, or past the first "endifpage"
// after it. The jump targets are found before the run.
enum class Jump : std::uint8_t { None, PastLoop, PastEndIfPage };

// What the checks before a run ask of a row, as flags.
enum Needs : std::uint8_t {
    kNeedsNothing = 0,
    kNeedsLoopStarted = 1 << 0,  // a loop instruction before it
    kNeedsPageSize = 1 << 1,     // a page size above 0
    kNeedsEvenFlash = 1 << 2,    // it moves FLASH in 16-bit words
    kNeedsProgTime = 1 << 3,     // a programming time the pulse may hold
    kNeedsWaitRange = 1 << 4,    // its own wait within the allowed range
    kNeedsPowerOrder = 1 << 5,   // a voltage sequence that says which supply comes up first
};

struct InstructionSpec {
    Op op;
    MatchRule rule;
    std::string_view pattern;  // the word, start or ending the rule looks for
    Group group;
    Memory memory = Memory::None;
    Jump jump = Jump::None;
    std::uint8_t needs = kNeedsNothing;
};

// The instruction table: matching, the checks before a run and the interpreter's dispatch all
// read it. Row i is instruction i.
inline constexpr std::array<InstructionSpec, kOpCount> kInstructionSet{{
    {Op::Begin, MatchRule::Exact, "begin", Group::Power, Memory::None, Jump::None, kNeedsPowerOrder},
    {Op::End, MatchRule::Exact, "end", Group::Power},
    {Op::StartProg, MatchRule::Exact, "startprog", Group::Power, Memory::None, Jump::None, kNeedsProgTime},
    {Op::SetProgTime, MatchRule::Exact, "setprogtime", Group::Power},
    {Op::CalcFlash, MatchRule::Exact, "calcflash", Group::LoopEnd, Memory::Flash},
    {Op::CalcFlashPage, MatchRule::Exact, "calcflashpage", Group::LoopEnd, Memory::Flash, Jump::None,
     kNeedsPageSize},
    {Op::CalcEeprom, MatchRule::Exact, "calceeprom", Group::LoopEnd, Memory::Eeprom},
    {Op::SetFlashLoop, MatchRule::Exact, "setflashloop", Group::Flow, Memory::Flash, Jump::PastLoop},
    {Op::SetEepromLoop, MatchRule::Exact, "seteepromloop", Group::Flow, Memory::Eeprom, Jump::PastLoop},
    {Op::Loop, MatchRule::Exact, "loop", Group::Flow, Memory::None, Jump::None, kNeedsLoopStarted},
    {Op::IfPage, MatchRule::Exact, "ifpage", Group::Flow, Memory::None, Jump::PastEndIfPage, kNeedsPageSize},
    {Op::EndIfPage, MatchRule::Exact, "endifpage", Group::Flow},
    {Op::MovlwUpper, MatchRule::Exact, "movlw-upper", Group::Address},
    {Op::MovlwHigh, MatchRule::Exact, "movlw-high", Group::Address},
    {Op::MovlwLow, MatchRule::Exact, "movlw-low", Group::Address},
    {Op::MovlwEeprom, MatchRule::Exact, "movlw-eeprom", Group::Send, Memory::Eeprom},
    {Op::SendFlash, MatchRule::SendSuffix, "-flash", Group::Send, Memory::Flash, Jump::None, kNeedsEvenFlash},
    {Op::SendConfig, MatchRule::SendSuffix, "-config", Group::Send, Memory::Config},
    {Op::WaitWr, MatchRule::Exact, "waitwr", Group::Wait},
    {Op::ReadFlash, MatchRule::ReadPrefix, "flash=s", Group::Read, Memory::Flash},
    {Op::ReadEeprom, MatchRule::ReadPrefix, "eeprom=s", Group::Read, Memory::Eeprom},
    {Op::ReadConfig, MatchRule::ReadPrefix, "config", Group::Read, Memory::Config},
    {Op::ReadTemp, MatchRule::ReadPrefix, "temp=s", Group::Read},
    {Op::CheckBlankFlash, MatchRule::Exact, "checkblankflash", Group::CheckBlank, Memory::Flash},
    {Op::CheckBlankEeprom, MatchRule::Exact, "checkblankeeprom", Group::CheckBlank, Memory::Eeprom},
    {Op::CheckBlankConfig, MatchRule::ConfigSuffix, "checkblankconfig", Group::CheckBlank, Memory::Config},
    {Op::CheckFlash, MatchRule::Exact, "checkflash", Group::Check, Memory::Flash},
    {Op::CheckEeprom, MatchRule::Exact, "checkeeprom", Group::Check, Memory::Eeprom},
    {Op::CheckConfig, MatchRule::ConfigSuffix, "checkconfig", Group::Check, Memory::Config},
    {Op::SendLiteral, MatchRule::SendLiteral, "", Group::Send},
    {Op::Wait, MatchRule::WaitPrefix, "w", Group::Wait, Memory::None, Jump::None, kNeedsWaitRange},
    {Op::Unrecognized, MatchRule::Anything, "", Group::None},
}};

constexpr bool rows_follow_ops() {
    for (std::size_t i = 0; i < kInstructionSet.size(); ++i) {
        if (kInstructionSet[i].op != static_cast<Op>(i)) return false;
    }
    return true;
}
static_assert(rows_follow_ops(), "row i of kInstructionSet must be instruction i");

constexpr const InstructionSpec& instruction_spec(Op op) {
    return kInstructionSet[static_cast<std::size_t>(op)];
}

// One script word decoded once, before the run.
struct Instruction {
    Op op = Op::Unrecognized;
    // The row's group and memory, copied so that a step needs no look-up in the table.
    Group group = Group::None;
    Memory memory = Memory::None;
    std::int16_t command = -1;  // CC, or -1 when its digits are not hexadecimal
    std::int32_t operand = -1;  // DDDD of sCC-DDDD
    std::int8_t config = 0;     // configuration byte 1..14 of the config rows
    std::int64_t wait_ms = 0;   // N of wN
    std::int32_t target = 0;  // jump target: the instruction after the matching loop or endifpage, 0 if none
};

// Decodes one word (already lower case) by the first matching row.
Instruction decode_word(std::string_view word);

// The caption of configuration byte k (1..14): "CONF1L:" .. "CONF7H:".
std::string_view config_caption(int k);

}  // namespace quillon
