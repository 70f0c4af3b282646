#include "log/logclock.h"

#include <ctime>

LogTime CurrentLogTime() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    // The calendar fields change once a second: work them out once a second.
    thread_local time_t cachedSecond = -1;
    thread_local tm local{};
    if (now.tv_sec != cachedSecond) {
        ::localtime_r(&now.tv_sec, &local);
        cachedSecond = now.tv_sec;
    }
    LogTime time;
    time.year = local.tm_year + 1900;
    time.month = local.tm_mon + 1;
    time.day = local.tm_mday;
    time.hour = local.tm_hour;
    time.minute = local.tm_min;
    time.second = local.tm_sec;
    time.millisecond = static_cast<int>(now.tv_nsec / 1000000);
    return time;
}
