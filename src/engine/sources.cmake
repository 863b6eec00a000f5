target_sources(quillon_core PRIVATE
    engine/clock.cpp
    engine/programmer_lines.cpp)
