# Test executables, one per module, discovered by folder:
#   tests/core/*_test.cpp     portable; run natively, under the sanitizers and under wine64
#   tests/interop/*_test.cpp  native only; compare with giflib, ImageMagick and gifsicle
#   tests/ui/*_test.cpp       Win32 only; drive the real windows under wine64
enable_testing()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(VELMORA_TEST_OUTPUT ${CMAKE_BINARY_DIR}/test-output)
file(MAKE_DIRECTORY ${VELMORA_TEST_OUTPUT})
if(WIN32)
    # Wine shows the Linux root as drive Z:.
    set(VELMORA_PATH_PREFIX "Z:")
else()
    set(VELMORA_PATH_PREFIX "")
endif()

file(GLOB VELMORA_TEST_SUPPORT CONFIGURE_DEPENDS tests/support/*.cpp)
add_library(velmora_test_support STATIC ${VELMORA_TEST_SUPPORT})
target_link_libraries(velmora_test_support PUBLIC velmora_core GTest::gtest)
target_include_directories(velmora_test_support PUBLIC ${CMAKE_SOURCE_DIR}/tests)
target_compile_definitions(velmora_test_support PUBLIC
    VELMORA_TEST_DATA="${VELMORA_PATH_PREFIX}${CMAKE_SOURCE_DIR}/tests/data"
    VELMORA_FUZZ_CORPUS="${VELMORA_PATH_PREFIX}${CMAKE_SOURCE_DIR}/fuzz/corpus"
    VELMORA_TEST_OUTPUT="${VELMORA_PATH_PREFIX}${VELMORA_TEST_OUTPUT}")

function(velmora_add_test name)
    add_test(NAME ${name} COMMAND ${name})
    if(WIN32)
        set_tests_properties(${name} PROPERTIES
            ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix")
    endif()
endfunction()

file(GLOB VELMORA_CORE_TESTS CONFIGURE_DEPENDS tests/core/*_test.cpp)
foreach(source ${VELMORA_CORE_TESTS})
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE velmora_test_support GTest::gtest_main)
    velmora_add_test(${name})
endforeach()

if(NOT WIN32)
    find_package(PkgConfig QUIET)
    find_library(GIFLIB gif REQUIRED)
    file(GLOB VELMORA_INTEROP_TESTS CONFIGURE_DEPENDS tests/interop/*_test.cpp)
    foreach(source ${VELMORA_INTEROP_TESTS})
        get_filename_component(name ${source} NAME_WE)
        add_executable(${name} ${source})
        target_link_libraries(${name} PRIVATE velmora_test_support GTest::gtest_main ${GIFLIB})
        target_compile_definitions(${name} PRIVATE
            VELMORA_GIF_TOOL="$<TARGET_FILE:velmora-gif>")
        add_dependencies(${name} velmora-gif)
        velmora_add_test(${name})
    endforeach()
endif()

if(WIN32)
    # The harness is compiled once and shared by every UI test.
    file(GLOB VELMORA_UI_TEST_SUPPORT CONFIGURE_DEPENDS tests/ui/support/*.cpp)
    add_library(velmora_ui_test_support STATIC ${VELMORA_UI_TEST_SUPPORT})
    target_link_libraries(velmora_ui_test_support PUBLIC velmora_app velmora_test_support)
    file(GLOB VELMORA_UI_TESTS CONFIGURE_DEPENDS tests/ui/*_test.cpp)
    foreach(source ${VELMORA_UI_TESTS})
        get_filename_component(name ${source} NAME_WE)
        add_executable(${name} ${source} ${VELMORA_RESOURCES})
        target_link_libraries(${name} PRIVATE velmora_ui_test_support GTest::gtest_main)
        velmora_add_test(${name})
        set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
    endforeach()
endif()

if(WIN32)
    # Pictures for the import tests, made natively with ImageMagick before the Windows tests run.
    add_test(NAME ui_import_images COMMAND bash ${CMAKE_SOURCE_DIR}/tests/ui/support/make-import-images.sh
        ${VELMORA_TEST_OUTPUT}/import-images)
    set_tests_properties(ui_import_images PROPERTIES FIXTURES_SETUP ui_import_images)
    foreach(name commands_test imageimport_test randomsession_test)
        if(TEST ${name})
            set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED ui_import_images)
        endif()
    endforeach()
    # A real browser shows the preview page and picture that commands_test leaves beside the tests.
    if(TEST commands_test)
        set_tests_properties(commands_test PROPERTIES FIXTURES_SETUP ui_preview_page)
        add_test(NAME browserpreview_test COMMAND bash ${CMAKE_SOURCE_DIR}/tests/ui/browserpreview_test.sh
            ${CMAKE_BINARY_DIR} ${VELMORA_TEST_OUTPUT})
        set_tests_properties(browserpreview_test PROPERTIES FIXTURES_REQUIRED ui_preview_page RUN_SERIAL TRUE)
    endif()
endif()

if(WIN32 AND TEST commands_test)
    # The first-size layout again with Wine at 144 DPI ("150 %"), on a 1920 x 1080 screen.
    add_test(NAME commands_test_144dpi COMMAND bash ${CMAKE_SOURCE_DIR}/tests/ui/support/run-at-dpi.sh
        144 1920x1080 $<TARGET_FILE:commands_test> "Commands.FirstSize*")
    set_tests_properties(commands_test_144dpi PROPERTIES RUN_SERIAL TRUE
        ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix")
endif()

if(WIN32 AND TEST roads_test)
    # The roads test saves its GIFs under Wine; giflib, native only, then reads them back.
    set_tests_properties(roads_test PROPERTIES FIXTURES_REQUIRED ui_import_images FIXTURES_SETUP ui_roads)
    add_test(NAME roads_giflib_check COMMAND bash ${CMAKE_SOURCE_DIR}/tests/ui/support/roads-giflib-check.sh
        ${VELMORA_TEST_OUTPUT} ${CMAKE_BINARY_DIR}/roads-check)
    set_tests_properties(roads_giflib_check PROPERTIES FIXTURES_REQUIRED ui_roads)
endif()

if(NOT WIN32 AND NOT VELMORA_SANITIZE)
    # The project's own rules: includes point down the layers, and every source is formatted.
    add_test(NAME layers COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check-layers.sh)
    add_test(NAME formatting COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check-format.sh)
endif()
