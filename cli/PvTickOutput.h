#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <cstdint>
#include <optional>
#include <string>

#include "workflows/PvMonitor.h"

// The PV monitor's boxes as one tick left them, with the moment they were shown.
struct PvTick {
    QDateTime time;
    int32_t nCount = 0;
    int32_t nErrors = 0;
    std::string strAO;
    std::string strPV;
    std::optional<PvReading> reading;  // the run's last reading, as the boxes show it
};

// The device the ticks are about, from the poll before them.
struct PvDevice {
    std::string tag;
    uint32_t hartId = 0;
};

// For people: the time, the boxes in the window's order, and the PV's unit after its value:
//   "2024-05-01 10:00:02.512  Count: 1  Errors: 0  AO: 12.000 mA  PV: 50.000 kPa"
// A unit code without a name shows as "(unit N)".
std::string PvTickLine(const PvTick& tick);

// `pv --json`, one object a tick:
//   timestamp        IsoTimestamp of the tick
//   count, errors    the boxes (numbers)
//   loop_current_ma, pv  what this tick read (numbers); null when it read nothing (an error
//                    test, a tick without an answer), the reply did not carry the value, or
//                    the device sent NaN
//   pv_unit          the PV's unit name ("kPa", "degC", "mA"); null when no unit code came
//                    or for a code without a name
//   pv_unit_code     the PV's HART unit code (number); null when the reply did not carry it
//   complete         true on the tick that ended an error test ("Complete")
//   tag, hart_id     the device polled before the ticks
QJsonObject PvTickJson(const PvTick& tick, const PvDevice& device);
