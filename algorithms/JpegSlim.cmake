# JPEG slimming and JPEG size, with the ".tsp" scheme record; advanced skin clean.
target_sources(algorithms PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/AdvancedSkinCleanAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/JpegSizeAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/JpegSlimmingAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/JpegSlimSettings.cpp
)
# The encoding, colour forms and file writing are the codec library's.
target_link_libraries(algorithms PRIVATE qlcodec)

quillo_add_test(algorithms_jpegslim_tests
    SOURCES
        tests/JpegSlimSkinCleanTest.cpp
        tests/JpegSlimSettingsTest.cpp
        tests/SchemeFileSaveTest.cpp
        tests/JpegSlimmingTest.cpp
    LIBS algorithms qlcodec)
