// CTest runs every test of a program as a process of its own, several at a time, all given
// the program's settings folder. Tests that write settings or port links would then see each
// other's files, so each process takes a fresh folder of its own, removed at exit.
#include "tests/serial/ScopedConfigHome.h"

namespace {

const ScopedConfigHome processConfigHome;

}  // namespace
