#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "model/RechnungsFixture.h"
#include "storage/CodePage.h"
#include "windowing/Dialog.h"
#include "windowing/FakeServices.h"
#include "windowing/FakeWindow.h"

// The world of a dialog test: a whole data set in a fresh working directory
// (the clock fixed at 6 December 2026, 9:05:03), the application services in
// memory with the program's real dialog layouts, and the dialogs the test
// opens. The test acts as the user on the returned windows and reads the
// files on disk afterwards (Neustart reads them anew; dialogs opened before
// it must not be used after it).
//
// A test program using it defines REBKONTOR_LAYOUTS, the folder of the
// dialog layouts.
class DialogFixture : public RechnungsFixture {
  protected:
    DialogFixture() { app_.SetLayoutDir(REBKONTOR_LAYOUTS, CodePage::Utf8ToCp1252); }

    // Builds the dialog's window from its layout and sets it up, as a modal
    // run begins; the window stays open for the test.
    template <typename D, typename... Args>
    FakeWindow& Oeffnen(Args&&... args) {
        auto dialog = std::make_unique<D>(std::forward<Args>(args)...);
        D& logik = *dialog;
        dialoge_.push_back(std::move(dialog));
        return app_.Show(logik);
    }

    // The logic behind a window the test opened.
    template <typename D>
    static D& Logik(FakeWindow& fenster) {
        return static_cast<D&>(fenster.Logic());
    }

    Customizer& Einstellungen() { return *V().customizer; }

    FakeServices app_;
    // Declared after the services, so that the dialogs go first.
    std::vector<std::unique_ptr<Dialog>> dialoge_;
};
