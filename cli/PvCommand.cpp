// Placeholder until the PV monitor lands.
#include "cli/PvCommand.h"

int RunPvCommand(CHartLink&, uint8_t, const std::vector<std::string>&, std::ostream&,
                 std::ostream& err) {
    err << "pv: not built yet\n";
    return 1;
}
