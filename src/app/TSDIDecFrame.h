#pragma once

#include <QMainWindow>
#include <map>
#include <memory>

class Datenbestand;
class Hauptfenster;
class QAction;
class QBoxLayout;
class QDockWidget;
class QToolButton;
class QtServices;
struct Rueckspielauftrag;

// The main window: owner of the data set, with the menu, the function keys,
// the floating toolbar "Quick-Menü" and the dark green client area.
class TSDIDecFrame : public QMainWindow {
  public:
    // How the window is to be shown at start-up.
    enum class ZeigeModus { Normal, Maximiert, MinimiertOhneAktivierung, Versteckt };

    // The data directory, below the working directory.
    static constexpr const char* kDaten = "daten";

    // Creates the managers, each reading its files; a missing data directory
    // raises the record list's exception and no window is built.
    explicit TSDIDecFrame(QtServices& services);
    // Closes the notes, then saves and releases every manager in order.
    ~TSDIDecFrame() override;

    TSDIDecFrame(const TSDIDecFrame&) = delete;
    TSDIDecFrame& operator=(const TSDIDecFrame&) = delete;

    // The window normally opens maximised; only hidden and minimised starts
    // are kept.
    static ZeigeModus StartModus(ZeigeModus gewuenscht);

    // After creation: the notes open in their windows.
    void SetupWindow();
    // Shows the window, then reads the customer file behind a notice.
    void Zeige(ZeigeModus modus);

    // Runs a command as the menu, a function key or the toolbar does.
    void Befehl(int befehl);
    QAction* Aktion(int befehl) const;
    QDockWidget* QuickMenue() const { return quickMenue_; }
    Datenbestand& Daten() const { return *daten_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    // The commands on the present data set.
    void BefehleAnlegen();
    // Reads the customers behind the notice and tells what the start found.
    void DatenEinlesen();
    // After a confirmed restore: closes the data set, has the files replaced,
    // and opens it again.
    void DatenNeuStarten(Rueckspielauftrag& auftrag);
    void MenueAufbauen();
    void QuickMenueAufbauen();
    void QuickMenueAusrichten(Qt::DockWidgetArea area);
    void Aktualisieren();

    QtServices& services_;
    std::unique_ptr<Datenbestand> daten_;
    std::unique_ptr<Hauptfenster> befehle_;
    std::map<int, QAction*> aktionen_;
    std::map<int, QAction*> tasten_;
    std::map<int, QToolButton*> knoepfe_;
    QDockWidget* quickMenue_ = nullptr;
    QBoxLayout* quickLayout_ = nullptr;
};
