# Sources of src/sim/ in the core library: the programmer board and PIC18 chips without hardware.
target_sources(quillon_core PRIVATE
    sim/bulk_erase.cpp
    sim/chip_hex.cpp
    sim/chip_memory.cpp
    sim/chip_model.cpp
    sim/icsp_shifter.cpp
    sim/library_check.cpp
    sim/model_simulation.cpp
    sim/pic18_chip.cpp
    sim/pic18_core.cpp
    sim/pic18_table.cpp
    sim/sim_board.cpp
    sim/sim_log.cpp
    sim/sim_text.cpp)
