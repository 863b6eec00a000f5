target_sources(quillon_platform PRIVATE
    platform/single_instance.cpp
    platform/start_environment.cpp)
