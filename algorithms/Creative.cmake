# The creative family: overlay blending with its box mean, lose-focus blur,
# edge shrink, star light, sharpen texture and modify shape.
target_sources(algorithms PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/BoxMeanAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/EdgeShrinkAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LoseFocusBlurAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ModifyShapeAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/OverlayBlendAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SharpenTextureAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StarLightAlgorithm.cpp
)
# A filled overlay object is scaled with the codec's smooth resampling.
target_link_libraries(algorithms PRIVATE qlcodec)

quillo_add_test(algorithms_creative_tests
    SOURCES
        tests/CreativeOverlayTest.cpp
        tests/CreativeLoseFocusTest.cpp
        tests/CreativeStarShapeTest.cpp
    LIBS algorithms)
