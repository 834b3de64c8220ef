#pragma once
#include <string>

namespace platform {

struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
};

LocalTime LocalTimeNow();
// UTC time as 20261210T110000Z, for names of kept files.
std::string UtcTimeStamp();

}  // namespace platform
