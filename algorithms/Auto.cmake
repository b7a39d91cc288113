# The automatic family: 16-bit automatic levels and exposure, and automatic
# processing, which chains other effects.
target_sources(algorithms PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/AutoEnhanceAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AutoExposureAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AutoLevelsAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Curve16.cpp
)

quillo_add_test(algorithms_auto_tests
    SOURCES
        tests/AutoLevelsExposureTest.cpp
        tests/AutoEnhanceTest.cpp
    LIBS algorithms)
