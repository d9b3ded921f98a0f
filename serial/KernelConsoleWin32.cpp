// Windows has no kernel console on a COM port: every port may be polled.
#include "serial/KernelConsole.h"

KernelConsoles KernelConsoles::Read(const ConsoleRoots&) { return {}; }

bool KernelConsoles::Contains(const std::string&) const { return false; }

bool IsKernelConsole(const std::string&, const ConsoleRoots&) { return false; }
