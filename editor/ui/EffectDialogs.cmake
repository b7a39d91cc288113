# The effect parameter description and its value text, the effect dialog
# base with its view-mode strip and layer set-up, the parameter dialog and
# the text overlay's effects page.
target_sources(editorui PRIVATE
    EffectDescription.cpp
    FilterBlend.cpp)

quillo_add_test(editorui_effectdesc_tests
    SOURCES tests/EffectDescriptionTest.cpp tests/FilterBlendTest.cpp
    LIBS editorui)
