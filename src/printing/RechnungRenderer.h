#pragma once

#include <vector>

class Briefkopf;
class QPagedPaintDevice;
struct PrintJob;

// Hands the pages of a print job to a printer (or any paged device): page p
// exists while p is at most the job's page count, and each is laid out in
// the device's whole page rectangle (for a printer its printable area),
// with the letterhead where the document asks for it.
class RechnungRenderer {
  public:
    RechnungRenderer(const PrintJob& job, const Briefkopf& briefkopf);

    bool HasPage(int seite) const;
    // Every page, `kopien` times over (for devices that do not make copies
    // themselves). False when the device cannot be painted on.
    bool Drucken(QPagedPaintDevice& geraet, int kopien = 1) const;
    // Every page of every job, one job after the other, in one run on the
    // device (into one file), each job `kopien` times over.
    static bool Drucken(const std::vector<PrintJob>& jobs, const Briefkopf& briefkopf,
                        QPagedPaintDevice& geraet, int kopien = 1);

  private:
    const PrintJob& job_;
    const Briefkopf& briefkopf_;
};
