#pragma once

namespace quillon {

class ProgrammerPort;

// What the main window asks of the programmer port's owner.
class PortControl {
  public:
    virtual ~PortControl() = default;

    // Finds the ports that open (port_list, default_port of the state).
    virtual void scan_ports() = 0;
    // Opens the stored port and reports it in the status line.
    virtual void open_programmer_port() = 0;
    // The open programmer port, or null.
    virtual ProgrammerPort* port() = 0;
    // Lets go of a port that stopped working.
    virtual void release_port() = 0;
    // "Serial Port Pinout".
    virtual void menuportinfo() = 0;
};

}  // namespace quillon
