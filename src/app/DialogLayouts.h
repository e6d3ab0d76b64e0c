#pragma once

class QDialog;

// The dialog layouts compiled from resources/dialogs/dialog<id>.ui, by
// resource number.
class DialogLayouts {
  public:
    using Builder = void (*)(QDialog*);

    // Builds the layout into the dialog; false when there is none.
    static bool Build(int resourceId, QDialog* dialog);
    // Adds a layout (the program's own are there from the start).
    static void Register(int resourceId, Builder builder);
};

// Defined in the generated source: registers every layout of resources/dialogs.
void RegisterResourceLayouts();
