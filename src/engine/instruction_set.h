#pragma once

#include <cstdint>
#include <span>
#include <string>
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

struct InstructionSpec {
    Op op;
    MatchRule rule;
    std::string_view pattern;  // the word, start or ending the rule looks for
    std::string_view form;     // how the instruction is written, for traces and checkers
    std::string_view effect;   // what it does, in a few words
};

// The instruction table: matching, dispatch and traces all read it.
std::span<const InstructionSpec> instruction_set();
const InstructionSpec& instruction_spec(Op op);

// One script word decoded once, before the run.
struct Instruction {
    Op op = Op::Unrecognized;
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
