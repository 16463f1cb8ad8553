# Sanitizer builds, each in a folder of its own (scripts/test --sanitize,
# scripts/fuzz), configured with clang:
#   TAOBAN_SANITIZE=address,undefined   AddressSanitizer and UBSan, halting at
#                                       the first report
#   TAOBAN_SANITIZE=thread              ThreadSanitizer
#   TAOBAN_FUZZ=ON                      also the libFuzzer targets in fuzz/
# They are built at -O1 with line tables only: enough for readable reports,
# and far cheaper to compile than a debug build.
set(TAOBAN_SANITIZE "" CACHE STRING "Sanitizers for every target (address,undefined or thread)")
option(TAOBAN_FUZZ "Build the libFuzzer targets (clang, with TAOBAN_SANITIZE)" OFF)

if(TAOBAN_FUZZ AND NOT TAOBAN_SANITIZE)
    message(FATAL_ERROR "TAOBAN_FUZZ needs TAOBAN_SANITIZE (e.g. address,undefined)")
endif()

if(TAOBAN_SANITIZE)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "Sanitizer builds need clang (CMAKE_CXX_COMPILER=clang++)")
    endif()
    # No flags of a build type of its own: those set below are the whole story.
    set(CMAKE_BUILD_TYPE Sanitize)
    add_compile_options(-O1 -gline-tables-only -fno-omit-frame-pointer
                        -fsanitize=${TAOBAN_SANITIZE})
    add_link_options(-fsanitize=${TAOBAN_SANITIZE})
    if(TAOBAN_SANITIZE MATCHES "undefined")
        # A report ends the program, so no finding scrolls by unnoticed.
        add_compile_options(-fno-sanitize-recover=all)
    endif()
    if(TAOBAN_FUZZ)
        # Coverage for the fuzzer in everything it reaches; only the fuzz
        # targets link libFuzzer itself.
        add_compile_options(-fsanitize=fuzzer-no-link)
    endif()
endif()
