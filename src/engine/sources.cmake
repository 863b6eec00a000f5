target_sources(quillon_core PRIVATE
    engine/chip_operations.cpp
    engine/clock.cpp
    engine/instruction_set.cpp
    engine/model_check.cpp
    engine/programmer_lines.cpp
    engine/script_interpreter.cpp
    engine/script_program.cpp)
