# The noise filters: edge-directed, tiled direction-voting and adaptive
# block-matching noise reduction.
target_sources(algorithms PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/AdaptiveDenoiseAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DenoisePassAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NoiseReductionAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TiledDenoiseAlgorithm.cpp
)

quillo_add_test(algorithms_denoise_tests
    SOURCES
        tests/DenoiseNoiseReductionTest.cpp
        tests/DenoiseTiledTest.cpp
        tests/DenoiseAdaptiveTest.cpp
    LIBS algorithms)
