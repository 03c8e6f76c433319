#include "app/program.h"

int main(int argc, char** argv) { return quelvex::runProgram(argc, argv); }
