# Multi-shot merging: the works that merge several shots into the open photo.
add_library(multishot STATIC MultiWork.cpp)
target_link_libraries(multishot PUBLIC algorithms editorshell_core qlcodec)

quillo_add_test(multishot_tests
    SOURCES tests/MultiWorkTest.cpp
    LIBS multishot)
