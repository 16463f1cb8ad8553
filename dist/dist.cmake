# Installing taoban like any Linux desktop program, and its Debian package:
#   <prefix>/bin/taoban, taoban-cli
#   <prefix>/share/taoban/demo/模板, 样片       the starter library of a new studio
#   <prefix>/share/applications/taoban.desktop
#   <prefix>/share/metainfo/io.github.taoban.taoban.metainfo.xml  (AppStream)
#   <prefix>/share/icons/hicolor/...             the application icon, SVG and PNG
#   <prefix>/share/man/man1/taoban.1, taoban-cli.1 (made with help2man from --help)
#   <prefix>/share/bash-completion/completions/taoban-cli
#   <prefix>/share/doc/taoban/copyright, changelog.gz
# The programs find the starter library from their own folder (see
# common/install_layout), so the tree can be installed under any prefix.

include(GNUInstallDirs)

set(dist_source ${CMAKE_SOURCE_DIR}/dist)
set(dist_output ${CMAKE_BINARY_DIR}/dist)
file(MAKE_DIRECTORY ${dist_output})

# The relative path from the programs to their data, as the layout above puts it.
file(RELATIVE_PATH taoban_bin_to_data ${CMAKE_INSTALL_FULL_BINDIR}
    ${CMAKE_INSTALL_FULL_DATADIR}/taoban)
set_property(SOURCE ${CMAKE_SOURCE_DIR}/src/common/install_layout.cpp APPEND PROPERTY
    COMPILE_DEFINITIONS TAOBAN_VERSION="${PROJECT_VERSION}"
    TAOBAN_BIN_TO_DATA="${taoban_bin_to_data}")

# The application icon, drawn by the program's own code.
add_executable(taoban-icons ${dist_source}/tools/make_icons.cpp)
target_link_libraries(taoban-icons PRIVATE taoban_controls)
add_custom_command(
    OUTPUT ${dist_output}/icons.stamp
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            $<TARGET_FILE:taoban-icons> ${dist_output}/icons
    COMMAND ${CMAKE_COMMAND} -E touch ${dist_output}/icons.stamp
    DEPENDS taoban-icons
    COMMENT "Drawing the application icon"
    VERBATIM)

add_custom_command(
    OUTPUT ${dist_output}/taoban-cli.bash
    COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:taoban-cli>
            -DTEMPLATE=${dist_source}/completion.bash.in
            -DOUT=${dist_output}/taoban-cli.bash -P ${dist_source}/completion.cmake
    DEPENDS taoban-cli ${dist_source}/completion.bash.in ${dist_source}/completion.cmake
    COMMENT "Making the bash completion of taoban-cli"
    VERBATIM)
set(dist_outputs ${dist_output}/icons.stamp ${dist_output}/taoban-cli.bash)

# Manual pages from the programs' own --help. taoban answers --help without a
# display, which this checks on every build machine.
find_program(HELP2MAN help2man)
if(HELP2MAN)
    foreach(program taoban taoban-cli)
        if(program STREQUAL "taoban")
            set(summary "the production tool of a portrait photo studio")
        else()
            set(summary "the portrait studio's production work from the command line")
        endif()
        # Compressed without a time stamp, as Debian keeps manual pages.
        add_custom_command(
            OUTPUT ${dist_output}/${program}.1.gz
            COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
                    --unset=QT_QPA_PLATFORM LC_ALL=C.UTF-8
                    ${HELP2MAN} --no-info --no-discard-stderr --locale=C.UTF-8 --section=1
                    --name=${summary} --output=${dist_output}/${program}.1
                    $<TARGET_FILE:${program}>
            COMMAND gzip -9nf ${dist_output}/${program}.1
            DEPENDS ${program}
            COMMENT "Making the manual page of ${program}"
            VERBATIM)
        list(APPEND dist_outputs ${dist_output}/${program}.1.gz)
        install(FILES ${dist_output}/${program}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    endforeach()
else()
    message(STATUS "help2man not found: no manual pages (scripts/package installs it)")
endif()
add_custom_target(taoban_dist ALL DEPENDS ${dist_outputs})

set(metainfo io.github.taoban.taoban.metainfo.xml)
configure_file(${dist_source}/${metainfo}.in ${dist_output}/${metainfo} @ONLY)
# Debian keeps a native package's changelog compressed without a time stamp.
execute_process(COMMAND gzip -9nc ${dist_source}/changelog
    OUTPUT_FILE ${dist_output}/changelog.gz RESULT_VARIABLE gzip_status)
if(NOT gzip_status EQUAL 0)
    message(FATAL_ERROR "gzip failed on ${dist_source}/changelog")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${dist_source}/changelog)

install(TARGETS taoban taoban-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${CMAKE_BINARY_DIR}/demo/模板 ${CMAKE_BINARY_DIR}/demo/样片
    DESTINATION ${CMAKE_INSTALL_DATADIR}/taoban/demo)
install(FILES ${dist_source}/taoban.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${dist_output}/${metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${dist_output}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${dist_output}/taoban-cli.bash
    DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME taoban-cli)
install(FILES ${dist_source}/copyright ${dist_output}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DOCDIR})

include(${dist_source}/package.cmake)
