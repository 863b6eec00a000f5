# What a desktop and a distribution expect besides the programs (which, like the device library,
# install from their own folders): the desktop entry, the icon, the manual pages, and the Debian
# package built by CPack (cpack --config build/CPackConfig.cmake, or scripts/package-check.sh).

set(QUILLON_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

if(QUILLON_BUILD_GUI)
    # The entry's name matches the window's Wayland app id and its StartupWMClass the X11 class,
    # both "quillon" (the application name), so docks group the window with its launcher.
    install(FILES ${QUILLON_PACKAGING_DIR}/quillon.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${QUILLON_PACKAGING_DIR}/quillon.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

# The udev rule that lets the logged-in user open FTDI adapters for the bit-bang port. udev reads
# /usr/lib/udev/rules.d, where the package puts it; an install under another prefix leaves it to be
# copied by hand (README).
install(FILES ${QUILLON_PACKAGING_DIR}/70-quillon-ftdi.rules DESTINATION lib/udev/rules.d)

# Manual pages, compressed as Debian keeps them (gzip -n: the same bytes on every build).
set(quillon_man_sources quillon-cli.1)
if(QUILLON_BUILD_GUI)
    list(APPEND quillon_man_sources quillon.1)
endif()
find_program(QUILLON_GZIP gzip)
set(quillon_man_pages)
foreach(page IN LISTS quillon_man_sources)
    if(QUILLON_GZIP)
        set(compressed ${CMAKE_BINARY_DIR}/man/${page}.gz)
        add_custom_command(OUTPUT ${compressed}
                           COMMAND ${CMAKE_COMMAND} -E copy ${QUILLON_PACKAGING_DIR}/${page} ${CMAKE_BINARY_DIR}/man/${page}
                           COMMAND ${QUILLON_GZIP} -9 -n -f ${CMAKE_BINARY_DIR}/man/${page}
                           DEPENDS ${QUILLON_PACKAGING_DIR}/${page}
                           COMMENT "Compressing the manual page ${page}"
                           VERBATIM)
        list(APPEND quillon_man_pages ${compressed})
    else()
        list(APPEND quillon_man_pages ${QUILLON_PACKAGING_DIR}/${page})
    endif()
endforeach()
add_custom_target(quillon_man_pages ALL DEPENDS ${quillon_man_pages})
install(FILES ${quillon_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The Debian package. Its library dependencies come from dpkg-shlibdeps (package dpkg-dev).
set(QUILLON_PACKAGE_MAINTAINER "Ardentix Quillon maintainers <maintainers@ardentix-quillon.invalid>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillon)
set(CPACK_PACKAGE_VENDOR "Ardentix Quillon")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${QUILLON_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "PIC18 microcontroller programmer for a serial-port programmer board")
set(CPACK_PACKAGE_DESCRIPTION
    "Ardentix Quillon erases, programs, reads, blank-checks and verifies Microchip PIC18\n"
    "microcontrollers on a simple programmer board at a PC serial port, whose control lines\n"
    "the program switches one change at a time. The supported chips and their programming\n"
    "algorithms come from a plain-text device library that users can extend.\n"
    "\n"
    "The package holds the programmer's window (quillon), its command-line twin\n"
    "(quillon-cli) with a simulated programmer board and a port doctor, and the device\n"
    "library for 22 PIC18 models.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${QUILLON_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "gtkwave")
# libftdi comes in through dpkg-shlibdeps when the FTDI port is built in; udev applies the rule.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "udev")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
include(CPack)
