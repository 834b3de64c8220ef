#include "platform/posix/LocalTime.h"

#include <ctime>

namespace platform {

LocalTime LocalTimeNow() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm t{};
    localtime_r(&ts.tv_sec, &t);
    return {t.tm_year + 1900,
            t.tm_mon + 1,
            t.tm_mday,
            t.tm_hour,
            t.tm_min,
            t.tm_sec,
            static_cast<int>(ts.tv_nsec / 1000000)};
}

std::string UtcTimeStamp() {
    const time_t now = time(nullptr);
    tm t{};
    gmtime_r(&now, &t);
    char buf[32];
    strftime(buf, sizeof buf, "%Y%m%dT%H%M%SZ", &t);
    return buf;
}

}  // namespace platform
