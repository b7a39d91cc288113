# The colour family: colour corrections, threshold and halftone, monochrome
# toning, perspective crop and polygon masks.
target_sources(algorithms PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ChannelMixerAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FillPolygonMask.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HsbTables.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HueSaturationAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MonoToneAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PerspectiveAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PointKernels.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ThresholdAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ToneBlendAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WhiteBalanceAlgorithm.cpp
)
# The adaptive threshold scales its level map with the codec's smooth resampling.
target_link_libraries(algorithms PRIVATE qlcodec)

quillo_add_test(algorithms_colour_tests
    SOURCES
        tests/ColourCorrectionTest.cpp
        tests/ColourThresholdTest.cpp
        tests/ColourMonoPerspectiveTest.cpp
        tests/PointKernelsTest.cpp
    LIBS algorithms)
