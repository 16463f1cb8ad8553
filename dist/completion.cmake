# Makes the bash completion of taoban-cli from its --help: the command names
# and, per command, the options its usage line names.
#   cmake -DCLI=taoban-cli -DTEMPLATE=completion.bash.in -DOUT=taoban-cli -P completion.cmake
execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${CLI} --help
    OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${CLI} --help failed: ${status}")
endif()
# Brackets and semicolons would bend CMake's list splitting; neither is part
# of a name or an option.
string(REGEX REPLACE "[][;]" " " help "${help}")
string(REPLACE "\n" ";" lines "${help}")
set(TAOBAN_CLI_COMMANDS "")
set(TAOBAN_CLI_OPTION_CASES "")
foreach(line IN LISTS lines)
    # A command's line: two spaces, its name, its usage.
    if(line MATCHES "^  ([a-z][a-z0-9-]*)( (.*))?$")
        set(name ${CMAKE_MATCH_1})
        string(REGEX MATCHALL "--[a-z][a-z0-9-]*" options "${CMAKE_MATCH_3}")
        list(REMOVE_DUPLICATES options)
        string(REPLACE ";" " " options "${options}")
        string(APPEND TAOBAN_CLI_COMMANDS " ${name}")
        string(APPEND TAOBAN_CLI_OPTION_CASES "        ${name}) echo \"${options}\" ;;\n")
    endif()
endforeach()
if(TAOBAN_CLI_COMMANDS STREQUAL "")
    message(FATAL_ERROR "no commands found in the output of ${CLI} --help")
endif()
string(STRIP "${TAOBAN_CLI_COMMANDS}" TAOBAN_CLI_COMMANDS)
string(REGEX REPLACE "\n$" "" TAOBAN_CLI_OPTION_CASES "${TAOBAN_CLI_OPTION_CASES}")
configure_file(${TEMPLATE} ${OUT} @ONLY)
