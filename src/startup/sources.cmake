target_sources(quillon_core PRIVATE
    startup/app_state.cpp
    startup/ascii.cpp
    startup/numbers.cpp
    startup/prepare_start.cpp
    startup/stored_model.cpp)
