#include "editor/editor_program.h"

int main(int argc, char** argv) { return rq700::RunEditor(argc, argv); }
