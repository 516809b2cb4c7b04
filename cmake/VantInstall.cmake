# What `cmake --install` and the Debian package put where: the programs in bin/, the shared
# libraries in lib/ (with versioned sonames), the playback headers in include/, vant.pc and
# vant-display.pc in lib/pkgconfig/ and the front end's help pages in share/vant/help/.
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
    # Loaded at run time by its file name, from the same folder: no soname, no version.
    install(TARGETS ${target} LIBRARY DESTINATION lib)
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

# `cmake --build build --target package` makes a .deb of the same files for /usr; its runtime
# dependencies are read from the programs and libraries themselves, but for SDL, which they load
# only when they play sound.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vant)
set(CPACK_PACKAGE_VERSION ${VANT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Tools and a playback library for .vnt videos")
set(CPACK_PACKAGE_CONTACT "vant developers <vant@localhost>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsdl2-2.0-0")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/lib)
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
if(VANT_SANITIZE)
  # The example is linked with the sanitizer runtime that the installed library needs.
  set_tests_properties(Install_example PROPERTIES
                       ENVIRONMENT "VANT_EXAMPLE_FLAGS=-fsanitize=address,undefined")
endif()
