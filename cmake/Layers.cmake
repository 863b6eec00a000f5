# Each layer's library sees the include roots of its own layer and of the layers it links, and no
# other: a layer's root holds nothing but a link to its folder, so that "engine/operations/x.h" does
# not compile in a file of engine/script, nor "ui/x.h" in one of cli/. Before anything compiles, the
# build runs scripts/check-layers.sh, which also refuses the spellings that a root cannot stop
# ("../engine/x.h" finds the file beside the including one).
set(QUILLON_INCLUDE_ROOTS ${CMAKE_BINARY_DIR}/include-roots)

file(GLOB_RECURSE quillon_layered_sources CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/src/*.h ${PROJECT_SOURCE_DIR}/src/*.cpp)
add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/layer-check.stamp
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-layers.sh ${PROJECT_SOURCE_DIR}/src
    COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_BINARY_DIR}/layer-check.stamp
    DEPENDS ${quillon_layered_sources} ${PROJECT_SOURCE_DIR}/scripts/check-layers.sh
    COMMENT "Checking that every include points down the layers"
    VERBATIM)
add_custom_target(quillon_layer_check DEPENDS ${CMAKE_BINARY_DIR}/layer-check.stamp)

# Makes `target` the library of the layer in src/`folder` ("base", "engine/script").
function(quillon_layer target folder)
    string(REPLACE "/" "_" id "${folder}")
    set(root ${QUILLON_INCLUDE_ROOTS}/${id})
    get_filename_component(parent ${root}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
    target_include_directories(${target} PUBLIC $<BUILD_INTERFACE:${root}>)
    add_dependencies(${target} quillon_layer_check)
endfunction()
