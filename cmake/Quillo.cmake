# Helpers shared by the module CMakeLists.

find_package(GTest REQUIRED)
include(GoogleTest)

# Real files from outside the project; tests skip when the folder is absent.
set(QUILLO_CORPUS_DIR "${CMAKE_SOURCE_DIR}/../shared/corpus" CACHE PATH "Folder of the shared test corpus")

# quillo_add_test(<name> SOURCES <files...> LIBS <targets...> [QT] [NO_MAIN])
# One GoogleTest program per module, run by ctest as QUILLO_TEST_SHARDS
# processes with gtest's own sharding (case i in shard i mod n, in order):
# starting a program, Qt and all, costs more than most cases, so a process
# per case spends most of the run starting. `<program> --gtest_filter=...`
# runs single cases.
# QT runs the cases on Qt's offscreen platform, so no display is needed.
# NO_MAIN leaves out gtest_main, for programs that bring their own main().
set(QUILLO_TEST_SHARDS 4)
function(quillo_add_test name)
    if(QUILLO_FUZZ)
        return()
    endif()
    cmake_parse_arguments(ARG "QT;NO_MAIN" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock)
    if(NOT ARG_NO_MAIN)
        target_link_libraries(${name} PRIVATE GTest::gtest_main)
    endif()
    target_compile_definitions(${name} PRIVATE
        QUILLO_CORPUS_DIR="${QUILLO_CORPUS_DIR}"
        QUILLO_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/tests/data")
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    math(EXPR last "${QUILLO_TEST_SHARDS} - 1")
    foreach(i RANGE ${last})
        set(test ${name}-${i})
        add_test(NAME ${test} COMMAND ${name})
        set(env GTEST_TOTAL_SHARDS=${QUILLO_TEST_SHARDS} GTEST_SHARD_INDEX=${i})
        if(ARG_QT)
            list(APPEND env QT_QPA_PLATFORM=offscreen)
            if(QUILLO_SANITIZE)
                # Qt's print plug-in pulls in and drops libraries with dynamic
                # TLS, whose stale entries crash LeakSanitizer's thread scan at
                # exit. Unscanned TLS can only add leak reports, never hide one.
                set_tests_properties(${test} PROPERTIES ENVIRONMENT_MODIFICATION
                    "ASAN_OPTIONS=string_append::intercept_tls_get_addr=0")
            endif()
        endif()
        set_tests_properties(${test} PROPERTIES TIMEOUT 1500 ENVIRONMENT "${env}")
    endforeach()
endfunction()

# quillo_add_x11_test(<name> SOURCES <files...> LIBS <targets...>)
# Interaction tests that need a real X server and a window manager: each case
# runs under Xvfb with openbox (cmake/run-x11-test.sh), labelled "x11", alone
# (xvfb-run -a picks its display without a lock against races, and a loaded
# machine delays the window manager past the tests' waits), and is skipped
# when those tools are missing. The program brings its own main().
function(quillo_add_x11_test name)
    if(QUILLO_FUZZ)
        return()
    endif()
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock)
    target_compile_definitions(${name} PRIVATE
        QUILLO_CORPUS_DIR="${QUILLO_CORPUS_DIR}"
        QUILLO_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/tests/data"
        QUILLO_TEST_OUTPUT_DIR="${CMAKE_BINARY_DIR}/tests")
    set_target_properties(${name} PROPERTIES
        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests
        CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/cmake/run-x11-test.sh)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
        PROPERTIES TIMEOUT 300 LABELS x11 SKIP_RETURN_CODE 77 RUN_SERIAL TRUE)
endfunction()

# quillo_plugin_pictures(<target> <base folder> <files...>): a plug-in's own
# pictures (<base>/icon/<id>.png, bitmap/..., cursor/...), filed under its
# file name, where the window layer looks when asked with the plug-in's
# module handle, so the program's pictures of the same ids never answer.
function(quillo_plugin_pictures target base)
    get_target_property(name ${target} OUTPUT_NAME)
    if(NOT name)
        set(name ${target})
    endif()
    set_source_files_properties(${ARGN} PROPERTIES GENERATED TRUE)
    qt_add_resources(${target} ${target}_pictures PREFIX "/${name}/res" BASE ${base} FILES ${ARGN})
    target_link_libraries(${target} PRIVATE Qt6::Core)
    # The registrar's functions stay inside: a .qli exports only PluginEntry.
    set_target_properties(${target} PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
endfunction()
