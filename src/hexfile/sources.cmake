target_sources(quillon_core PRIVATE
    hexfile/file_io.cpp
    hexfile/hex_file_commands.cpp
    hexfile/hex_lines.cpp
    hexfile/hex_paths.cpp
    hexfile/hex_reader.cpp
    hexfile/hex_writer.cpp
    hexfile/out_of_range_list.cpp)
