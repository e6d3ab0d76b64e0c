#include "storage/Zeit.h"

#include <ctime>

#include "storage/Clock.h"

namespace {
std::tm Local(std::int64_t unixSeconds) {
    std::time_t t = static_cast<std::time_t>(unixSeconds);
    std::tm local{};
    localtime_r(&t, &local);
    return local;
}
}  // namespace

Zeit Zeit::Jetzt() {
    return FromUnix(Clock::Now());
}

Zeit Zeit::FromUnix(std::int64_t unixSeconds) {
    return Zeit(static_cast<std::uint32_t>(unixSeconds + kUnixOffset));
}

int Zeit::Hour() const {
    return Local(Unix()).tm_hour;
}

int Zeit::Minute() const {
    return Local(Unix()).tm_min;
}

int Zeit::Second() const {
    return Local(Unix()).tm_sec;
}
