// The program with Timer1 ticking every millisecond, as its interval says: the baseline that
// idle_cpu.sh measures the real program against.
#include "app/program.h"

int main(int argc, char** argv) {
    return quelvex::runProgram(argc, argv, quelvex::Timer1Mode::EveryMillisecond);
}
