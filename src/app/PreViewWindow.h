#pragma once

#include <QWidget>
#include <memory>

#include "printing/Briefkopf.h"
#include "windowing/PrintJob.h"

class QtServices;

// The window "Druck-Vorschau": page 1 of its document, drawn over the whole
// client area. It owns the document and lets it go when it is closed. Sized
// by the user, it takes the proportions of a portrait A4 sheet again: the
// client area becomes 21/29.6 of its new height wide. Escape closes it. Its
// accessible description is the page's text.
class PreViewWindow : public QWidget {
  public:
    PreViewWindow(std::unique_ptr<PrintJob> job, QtServices& services, QWidget* parent);
    ~PreViewWindow() override;

    const PrintJob& Job() const { return *job_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // The texts of page 1 in reading order, one line of the page a line.
    QString Seitentext() const;

    std::unique_ptr<PrintJob> job_;
    QtServices& services_;
    Briefkopf briefkopf_;
    // Set by painting; the size change the window makes itself comes before
    // the next paint and is left alone.
    bool gemalt_ = false;
};
