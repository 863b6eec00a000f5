target_sources(quillon_core PRIVATE
    settings/basic_settings_store.cpp
    settings/memory_settings_store.cpp)
target_sources(quillon_platform PRIVATE
    settings/qt_settings_store.cpp)
