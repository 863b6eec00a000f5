target_sources(quillon_core PRIVATE
    devices/device_catalog.cpp
    devices/device_file.cpp
    devices/select_model.cpp)
