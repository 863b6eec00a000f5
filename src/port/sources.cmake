target_sources(quillon_core PRIVATE
    port/line_settings.cpp
    port/port_commands.cpp
    port/port_errors.cpp
    port/port_manager.cpp
    port/recording_port.cpp
    port/serial_device_map.cpp
    port/vcd_trace_port.cpp)
target_sources(quillon_platform PRIVATE
    port/serial_port_provider.cpp
    port/serial_programmer_port.cpp)
