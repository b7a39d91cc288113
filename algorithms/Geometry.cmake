# The geometry family: free rotation, lens corrections (purple fringing,
# barrel distortion, dark corners) and anti-shake alignment.
target_sources(algorithms PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/AntiPurpleFringeAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AntiShakeAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BarrelDistortionAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FreeRotateAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/VignetteCorrectionAlgorithm.cpp
)

quillo_add_test(algorithms_geometry_tests
    SOURCES
        tests/GeometryRotateTest.cpp
        tests/GeometryLensTest.cpp
        tests/GeometryAntiShakeTest.cpp
    LIBS algorithms)
