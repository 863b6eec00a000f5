// What a line change costs the program on a serial port, measured on a pseudo-terminal: the
// QSerialPort calls the serial backend makes for every change and read, and the bare system call
// beneath them. A pseudo-terminal has no modem lines and refuses the change (ENOTTY), so this is
// the cost up to the driver, not the driver's work on real hardware; that part is estimated in
// the README.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSerialPort>
#include <cstdlib>

namespace {

// The slave side of a new pseudo-terminal, kept open by its master for the benchmark's life.
struct PseudoTerminal {
    int master = -1;
    QString slave;

    PseudoTerminal() {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return;
        slave = QString::fromLocal8Bit(ptsname(master));
    }
    ~PseudoTerminal() {
        if (master >= 0) close(master);
    }
};

// Opens `port` on the pseudo-terminal; false (and the benchmark skipped) when there is none.
bool open_on(QSerialPort& port, const PseudoTerminal& pty, benchmark::State& state) {
    port.setPortName(pty.slave);
    if (!pty.slave.isEmpty() && port.open(QIODevice::ReadWrite)) return true;
    state.SkipWithError("no pseudo-terminal");
    return false;
}

void BM_QSerialPortSetDtr(benchmark::State& state) {
    PseudoTerminal pty;
    QSerialPort port;
    if (!open_on(port, pty, state)) return;
    bool level = false;
    for (auto _ : state) {
        level = !level;
        benchmark::DoNotOptimize(port.setDataTerminalReady(level));
        port.clearError();
    }
}
BENCHMARK(BM_QSerialPortSetDtr);

void BM_QSerialPortReadDsr(benchmark::State& state) {
    PseudoTerminal pty;
    QSerialPort port;
    if (!open_on(port, pty, state)) return;
    for (auto _ : state) {
        benchmark::DoNotOptimize(port.pinoutSignals());
        port.clearError();
    }
}
BENCHMARK(BM_QSerialPortReadDsr);

void BM_IoctlSetDtr(benchmark::State& state) {
    PseudoTerminal pty;
    const int fd = pty.slave.isEmpty() ? -1 : open(pty.slave.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    if (fd < 0) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    int dtr = TIOCM_DTR;
    bool level = false;
    for (auto _ : state) {
        level = !level;
        benchmark::DoNotOptimize(ioctl(fd, level ? TIOCMBIS : TIOCMBIC, &dtr));
    }
    close(fd);
}
BENCHMARK(BM_IoctlSetDtr);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
