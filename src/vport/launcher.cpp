// quillon-vport: runs a program on a virtual serial port, a pseudo-terminal whose modem lines drive
// a simulated programmer board with a chip of the chosen model. The program opens the port's
// device like any serial port; the library the launcher preloads into it answers the modem-control
// calls on that device. `{port}` in the command's arguments becomes the device's path, which is
// also in the environment as QUILLON_VPORT_DEVICE.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "backends/sim/chip_model.h"
#include "vport/virtual_board.h"
#include "vport/vport_options.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;

constexpr const char* kLibraryName = "libquillon-vport.so";
constexpr const char* kPortPlaceholder = "{port}";

// The command, for the signal handler: all a handler may reach is a flag of static storage.
volatile std::sig_atomic_t running_command = 0;

// SIGINT and SIGTERM sent to the launcher are the command's to answer (quillon-cli stops its run
// and powers the chip down); the launcher waits for it and removes the link afterwards.
extern "C" void pass_to_command(int signal_number) {
    if (running_command > 0) ::kill(static_cast<pid_t>(running_command), signal_number);
}

// Before the fork, so that no signal finds the launcher without its handler; the command gets the
// default handling back when it starts.
void pass_signals_to_command() {
    struct sigaction action {};
    action.sa_handler = pass_to_command;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

const char* const kUsage =
    "Usage: quillon-vport [OPTION...] [--] COMMAND [ARGUMENT...]\n"
    "Runs COMMAND on a virtual serial port: a pseudo-terminal whose DTR, RTS and DSR drive a simulated\n"
    "programmer board (DTR = PGD, RTS = PGC, a byte of value 1 on TD toggles the supply, DSR shows\n"
    "PGD). {port} in the arguments becomes the port's device, also in QUILLON_VPORT_DEVICE.\n"
    "\n"
    "  --model MODEL        the chip in the socket (default PIC18F452)\n"
    "  --chip FILE          keep the chip's memories in FILE (Intel HEX) between runs\n"
    "  --counts FILE        write the modem-control calls served, and what they did, to FILE\n"
    "  --log FILE           write the chip's log (power, erases, refused requests) to FILE\n"
    "  --fail-after N       answer EIO after N modem-control calls, like a USB adapter pulled out\n"
    "  --call-delay-us U    let every modem-control call take U microseconds, like a USB adapter\n"
    "  --call-cost-us U     count every call as U microseconds on the chip's clock, without waiting:\n"
    "                       the chip sees the pace of a slower port (how often a write is polled)\n"
    "  --swap-lines         a miswired board: DTR drives PGC and RTS drives PGD\n"
    "  --link PATH          a symbolic link PATH to the port's device while COMMAND runs\n"
    "\n"
    "Exit status: COMMAND's, or 2 for bad usage and 127 when COMMAND cannot be started.\n";

int usage_error(const std::string& message) {
    std::fprintf(stderr, "quillon-vport: %s\n\n%s", message.c_str(), kUsage);
    return 2;
}

struct Launch {
    VportOptions options;
    std::string link;
    std::vector<std::string> command;
};

// Takes the value of an option that has one; a usage message when the option is unknown or the
// value is not a whole number where one is needed, empty when it was taken.
std::string take_option_value(Launch& launch, const std::string& option, const std::string& value) {
    VportOptions& options = launch.options;
    std::int64_t* number = nullptr;
    if (option == "--model") {
        options.model = value;
    } else if (option == "--chip") {
        options.chip_file = value;
    } else if (option == "--counts") {
        options.counts_file = value;
    } else if (option == "--log") {
        options.log_file = value;
    } else if (option == "--link") {
        launch.link = value;
    } else if (option == "--fail-after") {
        number = &options.fail_after;
    } else if (option == "--call-delay-us") {
        number = &options.call_delay_us;
    } else if (option == "--call-cost-us") {
        number = &options.call_cost_us;
    } else {
        return "unknown option " + option;
    }
    if (number == nullptr) return {};
    const std::optional<std::int64_t> parsed = parse_count(value);
    if (!parsed) return option + " takes a whole number, not " + value;
    *number = *parsed;
    return {};
}

// Reads the command line; nothing, with the message printed, when it is wrong.
std::optional<Launch> parse_arguments(int argc, char** argv, int& status) {
    Launch launch;
    int index = 1;
    for (; index < argc; ++index) {
        const std::string option = argv[index];
        if (option == "--") {
            ++index;
            break;
        }
        if (!option.starts_with("--")) break;  // the command, without "--" before it
        if (option == "--help") {
            std::fputs(kUsage, stdout);
            status = 0;
            return std::nullopt;
        }
        if (option == "--swap-lines") {
            launch.options.swap_lines = true;
            continue;
        }
        if (index + 1 >= argc) {
            status = usage_error(option + " needs a value");
            return std::nullopt;
        }
        const std::string problem = take_option_value(launch, option, argv[++index]);
        if (!problem.empty()) {
            status = usage_error(problem);
            return std::nullopt;
        }
    }
    for (; index < argc; ++index)
        launch.command.emplace_back(argv[index]);
    if (launch.command.empty()) {
        status = usage_error("no command to run");
        return std::nullopt;
    }
    return launch;
}

// Absolute, since the command may change its folder before it opens a chip or counts file.
void make_paths_absolute(VportOptions& options) {
    for (std::string* path : {&options.chip_file, &options.counts_file, &options.log_file}) {
        std::error_code error;
        if (!path->empty()) *path = fs::absolute(*path, error).string();
    }
}

// The preloaded library: QUILLON_VPORT_LIBRARY, else beside this program (the build tree), else
// where the package installs it.
std::string library_path() {
    if (const char* chosen = std::getenv("QUILLON_VPORT_LIBRARY"); chosen != nullptr && *chosen != '\0')
        return chosen;
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (error) return {};
    for (const fs::path& candidate :
         {program.parent_path() / kLibraryName,
          program.parent_path() / QUILLON_VPORT_LIBRARY_FROM_BIN / kLibraryName}) {
        if (fs::exists(candidate, error)) return fs::weakly_canonical(candidate, error).string();
    }
    return {};
}

std::string prepended(const char* variable, const std::string& first, char separator) {
    const char* current = std::getenv(variable);
    if (current == nullptr || *current == '\0') return first;
    return first + separator + current;
}

// The far end of a new pseudo-terminal, and the path of its near end.
int open_terminal(std::string& device) {
    const int far_end = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (far_end < 0) return -1;
    char name[128] = {};
    if (::grantpt(far_end) != 0 || ::unlockpt(far_end) != 0 || ::ptsname_r(far_end, name, sizeof name) != 0) {
        ::close(far_end);
        return -1;
    }
    device = name;
    return far_end;
}

// Checks that the board can be made from the options; says why not, with the known models.
bool board_can_start(const VportOptions& options) {
    const Result<std::unique_ptr<VirtualBoard>> board = VirtualBoard::create(options);
    if (board.ok()) return true;
    std::string problem = board.error().message;
    if (!find_chip_model(options.model)) {
        std::string known;
        for (const std::string& name : chip_model_names())
            known += (known.empty() ? "" : ", ") + name;
        problem += "; it knows " + known;
    }
    std::fprintf(stderr, "quillon-vport: %s\n", problem.c_str());
    return false;
}

// The board's settings and the preloaded library, for the command and whatever it starts.
void export_environment(const VportOptions& options, const std::string& library) {
    for (const auto& [name, value] : vport_environment(options))
        ::setenv(name.c_str(), value.c_str(), 1);
    ::setenv("LD_PRELOAD", prepended("LD_PRELOAD", library, ':').c_str(), 1);
#if defined(__SANITIZE_ADDRESS__)
    // The preloaded library is instrumented too and comes before the sanitizer's runtime.
    ::setenv("ASAN_OPTIONS", prepended("ASAN_OPTIONS", "verify_asan_link_order=0", ':').c_str(), 1);
#endif
}

// Runs the command with every placeholder replaced by the device; its exit status, or 128 + the
// signal that ended it, or 1 (127 from the child) when it cannot start.
int run_command(std::vector<std::string> command, const std::string& device) {
    for (std::string& argument : command) {
        for (std::size_t at = argument.find(kPortPlaceholder); at != std::string::npos;
             at = argument.find(kPortPlaceholder, at + device.size()))
            argument.replace(at, std::strlen(kPortPlaceholder), device);
    }
    std::vector<char*> arguments;
    for (std::string& argument : command)
        arguments.push_back(argument.data());
    arguments.push_back(nullptr);

    pass_signals_to_command();
    const pid_t child = ::fork();
    if (child == 0) {
        ::execvp(arguments[0], arguments.data());
        std::fprintf(stderr, "quillon-vport: cannot start %s: %s\n", arguments[0], std::strerror(errno));
        ::_exit(127);
    }
    if (child < 0) {
        std::fprintf(stderr, "quillon-vport: cannot start %s: %s\n", arguments[0], std::strerror(errno));
        return 1;
    }
    running_command = static_cast<std::sig_atomic_t>(child);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int run(Launch& launch) {
    VportOptions& options = launch.options;
    make_paths_absolute(options);
    if (!board_can_start(options)) return 2;
    const std::string library = library_path();
    if (library.empty() || library.find_first_of(" :") != std::string::npos) {
        std::fprintf(stderr, "quillon-vport: %s\n",
                     library.empty() ? "cannot find libquillon-vport.so (set QUILLON_VPORT_LIBRARY)"
                                     : "the path of libquillon-vport.so must not contain spaces or colons");
        return 2;
    }
    const int far_end = open_terminal(options.device);
    if (far_end < 0) {
        std::fprintf(stderr, "quillon-vport: no pseudo-terminal: %s\n", std::strerror(errno));
        return 1;
    }
    if (!launch.link.empty()) {
        std::error_code error;
        fs::remove(launch.link, error);
        fs::create_symlink(options.device, launch.link, error);
        if (error) {
            std::fprintf(stderr, "quillon-vport: cannot make the link %s: %s\n", launch.link.c_str(),
                         error.message().c_str());
            ::close(far_end);
            return 1;
        }
    }
    export_environment(options, library);
    const int result = run_command(launch.command, options.device);
    // The far end is held until the command ends: the device exists as long as it is open.
    ::close(far_end);
    if (!launch.link.empty()) {
        std::error_code error;
        fs::remove(launch.link, error);
    }
    return result;
}

}  // namespace
}  // namespace quillon

int main(int argc, char** argv) {
    int status = 0;
    std::optional<quillon::Launch> launch = quillon::parse_arguments(argc, argv, status);
    return launch ? quillon::run(*launch) : status;
}
