# Helpers shared by the module CMakeLists.

find_package(GTest REQUIRED)
include(GoogleTest)

# Real files from outside the project; tests skip when the folder is absent.
set(QUILLO_CORPUS_DIR "${CMAKE_SOURCE_DIR}/../shared/corpus" CACHE PATH "Folder of the shared test corpus")

# quillo_add_test(<name> SOURCES <files...> LIBS <targets...>)
# One GoogleTest program per module; every case becomes a ctest test.
function(quillo_add_test name)
    if(QUILLO_FUZZ)
        return()
    endif()
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main GTest::gmock)
    target_compile_definitions(${name} PRIVATE
        QUILLO_CORPUS_DIR="${QUILLO_CORPUS_DIR}"
        QUILLO_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/tests/data")
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
        PROPERTIES TIMEOUT 600)
endfunction()
