target_sources(quillon_core PRIVATE
    port/doctor_output.cpp
    port/line_cost.cpp
    port/line_settings.cpp
    port/operation_estimate.cpp
    port/port_commands.cpp
    port/port_doctor.cpp
    port/port_errors.cpp
    port/port_manager.cpp
    port/recording_port.cpp
    port/serial_device_map.cpp
    port/vcd_trace_port.cpp)
target_sources(quillon_platform PRIVATE
    port/host_system_view.cpp
    port/serial_port_provider.cpp
    port/serial_programmer_port.cpp)
