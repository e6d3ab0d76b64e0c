#include "app/DialogLayouts.h"

#include <map>

namespace {

std::map<int, DialogLayouts::Builder>& Registry() {
    static std::map<int, DialogLayouts::Builder> registry;
    static bool filled = false;
    if (!filled) {
        filled = true;
        RegisterResourceLayouts();
    }
    return registry;
}

}  // namespace

bool DialogLayouts::Build(int resourceId, QDialog* dialog) {
    auto& registry = Registry();
    auto it = registry.find(resourceId);
    if (it == registry.end()) {
        return false;
    }
    it->second(dialog);
    return true;
}

void DialogLayouts::Register(int resourceId, Builder builder) {
    Registry()[resourceId] = builder;
}
