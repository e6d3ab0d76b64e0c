#include "dialogs/TRebkontorAboutDlg.h"

#include "storage/CodePage.h"
#include "windowing/Window.h"

const std::string& TRebkontorAboutDlg::Rechtshinweis() {
    static const std::string text =
        "© 2026 die Entwickler von Rebkontor. Alle Rechte vorbehalten."_w;
    return text;
}

TRebkontorAboutDlg::TRebkontorAboutDlg(std::string programmDatei)
    : Dialog(kResource), programmDatei_(std::move(programmDatei)) {}

void TRebkontorAboutDlg::SetupWindow() {
    TProjectRCVersion version(programmDatei_);
    std::string name;
    std::string nummer;
    if (version.GetProductName(name) && version.GetProductVersion(nummer)) {
        // The record's version is the one the package and its metadata
        // carry, so the box names it rather than a number of its own.
        Win().SetText(kVersion, "Rebkontor Version " + nummer);
    }
    std::string copyright;
    if (version.GetCopyright(copyright)) {
        Win().SetText(kCopyright, Rechtshinweis());
    }
    std::string special;
    if (version.GetSpecialBuild(special)) {
        Win().SetText(kSpecialBuild, special);
    }
}
