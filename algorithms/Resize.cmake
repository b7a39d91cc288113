# The resize family: kernel and area resizing, right-angle turns, the resize
# effect with its post-pass, luma sharpening and auto gamma.
target_sources(algorithms PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/AreaShrinkAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AutoGammaAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/EdgeAwareSmoothAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ResampleAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ResizeBySpecAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RotateFlipAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SeparableResizeAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SharpenLuma.cpp
)

quillo_add_test(algorithms_resize_tests
    SOURCES
        tests/ResizeKernelsTest.cpp
        tests/ResizeRotateTest.cpp
        tests/ResizeEffectTest.cpp
    LIBS algorithms)
