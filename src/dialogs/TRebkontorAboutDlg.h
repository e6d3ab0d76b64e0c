#pragma once

#include <string>

#include "dialogs/TProjectRCVersion.h"
#include "windowing/Dialog.h"

// The about box: product name, version line, legal notice and, when the
// version record names one, the special build.
class TRebkontorAboutDlg : public Dialog {
  public:
    static constexpr int kResource = 22000;
    static constexpr int kVersion = 22001;
    static constexpr int kCopyright = 22002;
    static constexpr int kSpecialBuild = 22003;
    static const std::string& Rechtshinweis();

    explicit TRebkontorAboutDlg(std::string programmDatei = TProjectRCVersion::kEigeneDatei);

    void SetupWindow() override;

  private:
    std::string programmDatei_;
};
