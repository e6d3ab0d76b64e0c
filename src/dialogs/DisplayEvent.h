#pragma once

#include "windowing/Dialog.h"

// The notice that stands over the main window while the customer file is
// read at start-up. It has no behaviour of its own.
class DisplayEvent : public Dialog {
  public:
    static constexpr int kResource = 9;

    DisplayEvent() : Dialog(kResource) {}
};
