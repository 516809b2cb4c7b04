# What `cmake --install` and the Debian package put where: the programs in bin/, the shared
# libraries in lib/ (with versioned sonames), the faces module in lib/vant/, the playback headers
# in include/, vant.pc and vant-display.pc in lib/pkgconfig/ and the front end's help pages in
# share/vant/help/; packaging/ adds the manual pages, the desktop files and the Debian files.
set(VANT_VERSION ${PROJECT_VERSION})
set(VANT_SOVERSION 1)

set(vant_installed_programs)
foreach(program vantcw vantplw picprw vantmiw audprw vntcompi vantscw vantrelw)
  if(TARGET ${program})
    list(APPEND vant_installed_programs ${program})
  endif()
endforeach()
install(TARGETS ${vant_installed_programs} RUNTIME DESTINATION bin)

# Every shared library and module of ours is one the installed programs load.
vant_targets_below(${CMAKE_SOURCE_DIR} vant_all_targets)
foreach(target IN LISTS vant_all_targets)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "SHARED_LIBRARY")
    get_target_property(soversion ${target} SOVERSION)
    if(NOT soversion)
      set_target_properties(${target} PROPERTIES VERSION ${VANT_VERSION} SOVERSION ${VANT_SOVERSION})
    endif()
    install(TARGETS ${target} LIBRARY DESTINATION lib NAMELINK_COMPONENT Unspecified)
  elseif(type STREQUAL "MODULE_LIBRARY")
    # Loaded at run time by its path from the program's folder: no soname, no version.
    install(TARGETS ${target} LIBRARY DESTINATION lib/${VANT_MODULE_FOLDER})
  endif()
endforeach()

# Installed side by side, the display header names the core's header by its installed name.
set(display_header ${CMAKE_SOURCE_DIR}/playback/display/vant_display.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${display_header})
file(READ ${display_header} text)
string(REPLACE "#include \"playback/vant.h\"" "#include \"vant.h\"" text "${text}")
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/include/vant_display.h CONTENT "${text}" @ONLY)
install(FILES ${CMAKE_SOURCE_DIR}/playback/vant.h ${CMAKE_BINARY_DIR}/include/vant_display.h
        DESTINATION include)
foreach(package vant vant-display)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/${package}.pc.in ${CMAKE_BINARY_DIR}/${package}.pc @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/${package}.pc DESTINATION lib/pkgconfig)
endforeach()
install(DIRECTORY ${CMAKE_SOURCE_DIR}/frontend/help/ DESTINATION share/vant/help)

# `cmake --build build --target package` makes a .deb of the same files for /usr, stripped; its
# runtime dependencies are read from the programs and libraries themselves, but for SDL, which
# they load only when they play sound.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vant)
set(CPACK_PACKAGE_VERSION ${VANT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "${VANT_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tools and playback library for .vnt videos")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[
The Vant toolkit makes and plays .vnt files, a compressed 8-bit paletted
video format with up to seven sound tracks. It holds a compressor (vantcw)
that turns flics, AVI files, picture series and sound into .vnt videos at a
chosen data rate, a player (vantplw), a picture and video converter
(picprw), a sound mixer (vantmiw) and extractor (audprw), a binder that
makes self-playing programs (vntcompi), a player for presentation scripts
(vantscw) and a graphical front end with a data-rate chart (vantrelw).
The playback library libvant and its display buffers (libvant_display)
come with their C headers and pkg-config files.]=])
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsdl2-2.0-0")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/lib)
# The shlibs file for libvant.so.1 and libvant_display.so.1, and the dynamic linker's cache
# brought up to date by dpkg's trigger.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
file(WRITE ${CMAKE_BINARY_DIR}/packaging/triggers "activate-noawait ldconfig\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/packaging/triggers)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

# The command-line tools load Qt only through the faces module, when they show a window.
set(vant_console_tools)
foreach(program vantcw picprw vantmiw audprw vntcompi)
  if(TARGET ${program})
    list(APPEND vant_console_tools ${program})
  endif()
endforeach()
add_test(NAME ToolsStartWithoutQt
         COMMAND ${VANT_PYTHON} ${CMAKE_SOURCE_DIR}/cmake/tests/tools_start_test.py ${CMAKE_BINARY_DIR}
                 ${vant_console_tools})

# --help and --version, and the manual pages that list the same switches as the usage.
add_test(NAME ProgramsAnswerHelpAndVersion
         COMMAND ${VANT_PYTHON} ${CMAKE_SOURCE_DIR}/cmake/tests/program_help_test.py ${CMAKE_BINARY_DIR}
                 ${VANT_VERSION} ${vant_installed_programs})
add_test(NAME ManualPages
         COMMAND ${VANT_PYTHON} ${CMAKE_SOURCE_DIR}/packaging/tests/manual_pages_test.py
                 ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR} ${vant_installed_programs})

foreach(check tree deb bound example)
  add_test(NAME Install_${check}
           COMMAND ${VANT_PYTHON} ${CMAKE_SOURCE_DIR}/cmake/tests/install_test.py ${check}
                   ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR} ${vant_installed_programs})
  set_tests_properties(Install_${check} PROPERTIES SKIP_RETURN_CODE 77)
endforeach()
# cpack and lintian together take minutes on a busy machine.
set_tests_properties(Install_deb PROPERTIES TIMEOUT 1200)
if(VANT_SANITIZE)
  # The example is linked with the sanitizer runtime that the installed library needs.
  set_tests_properties(Install_example PROPERTIES
                       ENVIRONMENT "VANT_EXAMPLE_FLAGS=-fsanitize=address,undefined")
  # A package of sanitized programs is never shipped: lintian and the size limit are for the
  # plain build's.
  set_tests_properties(Install_deb PROPERTIES ENVIRONMENT "VANT_LINT_PACKAGE=0")
endif()
