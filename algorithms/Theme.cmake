# The theme family: colour theme files and their player, and the film look
# that themes replay.
target_sources(algorithms PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ColorTheme.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ColorThemeAlgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FilmAspectAdjustAlgorithm.cpp
)

quillo_add_test(algorithms_theme_tests
    SOURCES
        tests/ThemeColorThemeTest.cpp
        tests/ThemeFilmAspectTest.cpp
    LIBS algorithms)
