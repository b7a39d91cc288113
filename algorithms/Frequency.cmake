# The frequency-domain filters: the two-dimensional Fourier block,
# descreening and spectral noise reduction.
target_sources(algorithms PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/DescreenAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FftBlock.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FftDenoiseAlgorithm.cpp
)

quillo_add_test(algorithms_frequency_tests
    SOURCES
        tests/FrequencyFftBlockTest.cpp
        tests/FrequencyDescreenTest.cpp
        tests/FrequencyFftDenoiseTest.cpp
    LIBS algorithms)
