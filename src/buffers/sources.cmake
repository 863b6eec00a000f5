target_sources(quillon_core PRIVATE
    buffers/hex_text.cpp
    buffers/reset_buffers.cpp)
