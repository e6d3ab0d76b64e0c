#include "storage/IoFaults.h"

#include <utility>

namespace {
IoFaults::Hook& CurrentHook() {
    static IoFaults::Hook hook;
    return hook;
}
}  // namespace

void IoFaults::SetHook(Hook hook) {
    CurrentHook() = std::move(hook);
}

int IoFaults::Check(Op op, const std::string& path) {
    const Hook& hook = CurrentHook();
    return hook ? hook(op, path) : 0;
}
