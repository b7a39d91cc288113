# The content-aware family: seam-carving resize and inpainting.
target_sources(algorithms PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ContentAwareResizeAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/InpaintAlgorithm.cpp
)

quillo_add_test(algorithms_contentaware_tests
    SOURCES
        tests/ContentAwareInpaintTest.cpp
        tests/ContentAwareResizeTest.cpp
    LIBS algorithms
)
