# The theme family: colour theme files and their player, and the film look
# that themes replay.
target_sources(algorithms PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ColorTheme.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ColorThemeAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FilmAspectAdjustAlgorithm.cpp
)
# Saving themes and the folder tree of the theme library.
target_sources(algorithms PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ColorThemeFolder.cpp)
quillo_add_test(algorithms_themelibrary_tests
    SOURCES tests/ThemeLibraryTest.cpp
    LIBS algorithms)

quillo_add_test(algorithms_theme_tests
    SOURCES
        tests/ThemeColorThemeTest.cpp
        tests/ThemeFilmAspectTest.cpp
    LIBS algorithms)
