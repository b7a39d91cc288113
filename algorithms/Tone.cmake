# The tone family: 16-bit levels, skin mask, gradient filter, highlight
# diffusion, HSB curve, dynamic range and defog.
target_sources(algorithms PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/DefogAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DynamicRangeAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GradientFilterAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HighlightDiffuseAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HsbCurveAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LevelsAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SkinMaskAlgorithm.cpp
)

quillo_add_test(algorithms_tone_tests
    SOURCES
        tests/ToneLevelsSkinTest.cpp
        tests/ToneGradientHsbTest.cpp
        tests/ToneDynamicDefogTest.cpp
    LIBS algorithms)
