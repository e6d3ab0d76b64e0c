#include "windowing/Dialog.h"

#include <stdexcept>

#include "windowing/Window.h"

void Dialog::Attach(Window* window, Services* services) {
    window_ = window;
    services_ = services;
}

void Dialog::Detach() {
    window_ = nullptr;
    services_ = nullptr;
}

Window& Dialog::Win() const {
    if (window_ == nullptr) {
        throw std::logic_error("dialog " + std::to_string(resourceId_) + " has no window");
    }
    return *window_;
}

Services& Dialog::App() const {
    if (services_ == nullptr) {
        throw std::logic_error("dialog " + std::to_string(resourceId_) + " has no services");
    }
    return *services_;
}

bool Dialog::CloseWindow(int result) {
    if (!MayClose()) {
        return false;
    }
    Win().Close(result);
    return true;
}

void Dialog::Command(int id) {
    if (id == ControlId::kOk || id == ControlId::kCancel) {
        CloseWindow(id);
    }
}
