#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "backends/sim/sim_log.h"
#include "backends/sim/simulated_board.h"
#include "base/clock.h"
#include "base/command_line_settings.h"
#include "base/host.h"
#include "base/result.h"
#include "model/app_state.h"
#include "ports/port_manager.h"
#include "tools/doctor/port_doctor.h"

namespace quillon {

class SerialPortProvider;
struct PortForm;

// A programmer port as the option --port names it: the form it has and what it says.
struct PortChoice {
    const PortForm* form = nullptr;
    std::string text;         // the whole value: "ftdi:A50285BI"
    std::string argument;     // after the form's word and colon ("sim:FILE" gives FILE); empty without
    std::int32_t number = 0;  // the number form: 1 to 16

    bool operator==(const PortChoice&) const = default;
};

// Why a port form did not open, and who tells the user.
struct PortFormError {
    enum class Kind : std::uint8_t {
        Told,        // the port did not open, and the host has said why, as the program says it
        BadInput,    // what the value names cannot be used (no such simulated chip, a broken chip file)
        BadSetting,  // a setting the port needs holds nothing it can use
    };
    Kind kind = Kind::Told;
    std::string message;  // for BadInput and BadSetting
};

// What a form opens the programmer port with, and what it leaves for the run.
struct PortOpening {
    AppState& state;
    CommandLineSettings& settings;  // the user's, with the numbers the command line gives
    Host& host;
    PortManager& manager;  // the port goes here, under the name the status line gives it
    SerialPortProvider& provider;
    FakeClock& virtual_clock;       // a simulated board's time
    SimLog& sim_log;                // where a simulated chip writes what it refuses
    std::string simulated_model;    // the model of a simulated board's chip
    std::ostream* trace = nullptr;  // where a form whose port stands before the board may record
                                    // the lines as the chip sees them (VCD)

    // Left by the form: the run's clock (the real one unless the form says otherwise), the
    // simulated board whose chip the run works on and the file its memories are kept in, and
    // whether the lines were recorded on the chip's side (the caller records them otherwise).
    Clock* clock = nullptr;
    std::optional<SimulatedBoard> simulated{};
    std::string chip_file{};
    bool traced = false;
};

// What the doctor examines a form's port with.
struct DoctorSetup {
    AppState& state;
    SettingsStore& settings;
    Host& host;
};

// One way of naming the programmer port, with everything the program does with it. The table of
// them (port_forms()) is the only place that knows them all: a new kind of port is a row there and
// its own files.
struct PortForm {
    enum class Match : std::uint8_t {
        Word,    // `word`, or `word:ARGUMENT` with something after the colon
        Number,  // a port number 1 to 16, "COM5" included, as the program's port command takes it
        Device,  // any other value: a serial device by its path
        Absent,  // no --port at all: the port the program itself uses
    };
    Match match = Match::Word;
    std::string_view word;   // Word: "sim"
    std::string_view usage;  // how the usage message names it: "sim or sim:FILE"; empty for Absent
    std::string_view help;   // what --help says of it: "sim[:FILE] for the simulated board ..."
    // Opens the port into opening.manager; the status line says how it went.
    Result<void, PortFormError> (*open)(const PortChoice& choice, PortOpening& opening);
    // The doctor's checks of the port, and the target they looked at.
    DoctorReport (*examine)(const PortChoice& choice, DoctorSetup& setup, DoctorTarget& target);
};

// Every form, in the order --help names them.
std::span<const PortForm> port_forms();

// Reads a value of --port (nothing: no --port). Empty for a value that names no port: a number
// outside 1 to 16, a word with nothing after its colon, an empty text (the program's "Wrong
// entry!").
std::optional<PortChoice> parse_port_choice(std::optional<std::string_view> text);

// The help of --port: "Programmer port: 1-16 (COM1-COM16), ..., or ...; default: ...".
std::string port_option_help_text();
// The message for a value it cannot read: "--port takes a port number from 1 to 16 ...".
std::string port_usage_text();

}  // namespace quillon
