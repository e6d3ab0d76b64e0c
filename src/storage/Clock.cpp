#include "storage/Clock.h"

#include <ctime>

namespace {
std::optional<std::int64_t>& Fixed() {
    static std::optional<std::int64_t> fixed;
    return fixed;
}
}  // namespace

std::int64_t Clock::Now() {
    if (Fixed()) {
        return *Fixed();
    }
    return static_cast<std::int64_t>(std::time(nullptr));
}

void Clock::Fix(std::optional<std::int64_t> unixSeconds) {
    Fixed() = unixSeconds;
}
