// QuilloEditor: the photo editor.
#include "editor/shell/EditorApp.h"

CEditorApp theApp;

int main(int argc, char** argv) { return qlafx::RunApp(argc, argv); }
