# The demo template library and sample photos, drawn by the project itself
# and packed with the studio's template packer, so that every step of the
# studio's work can be seen on real templates:
#   ${CMAKE_BINARY_DIR}/demo/模板   packages, list.txt and list2.txt
#   ${CMAKE_BINARY_DIR}/demo/样片   sample photos
#   ${CMAKE_BINARY_DIR}/demo/art    each page's drawn images beside its description

file(GLOB demo_tool_sources CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/demo/tools/*.cpp ${CMAKE_SOURCE_DIR}/demo/tools/*.h)
add_executable(taoban-demo-art ${demo_tool_sources})
target_link_libraries(taoban-demo-art PRIVATE taoban_templates Qt6::Gui)

file(GLOB_RECURSE demo_descriptions CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/demo/library/*.json)
set(demo_output ${CMAKE_BINARY_DIR}/demo)
set(demo_stamp ${demo_output}/demo.stamp)
add_custom_command(
    OUTPUT ${demo_stamp}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${demo_output}/profile
    # The profile folder keeps the tool away from the user's own studio
    # profile.
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            TAOBAN_PROFILE_DIR=${demo_output}/profile
            $<TARGET_FILE:taoban-demo-art>
            --descriptions ${CMAKE_SOURCE_DIR}/demo/library
            --out ${demo_output}
    COMMAND ${CMAKE_COMMAND} -E touch ${demo_stamp}
    DEPENDS taoban-demo-art ${demo_descriptions}
    COMMENT "Drawing and packing the demo template library and sample photos"
    VERBATIM)
add_custom_target(taoban_demo ALL DEPENDS ${demo_stamp})

# The template tests check the generated library, so it must exist first.
# The tests are added after this file is read, hence the deferred call.
function(taoban_demo_before_tests)
    if(TARGET test_templates)
        add_dependencies(test_templates taoban_demo)
    endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL taoban_demo_before_tests)
