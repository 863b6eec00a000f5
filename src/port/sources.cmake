target_sources(quillon_core PRIVATE
    port/recording_port.cpp)
