// What a screen reader or an automation tool finds in the program's windows,
// through the toolkit's accessibility interfaces, which the accessibility bus
// (AT-SPI) passes on as they are: every control has a name, and no control
// is named by its value; check boxes and radio buttons switched without the
// mouse do what a click does.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMetaEnum>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTreeView>
#include <filesystem>
#include <map>
#include <string>

#include "QtTestBasis.h"
#include "app/PreViewWindow.h"
#include "app/QtServices.h"
#include "app/QtWindow.h"
#include "app/TRebkontorApp.h"
#include "app/TSDIDecFrame.h"
#include "dialogs/DruckDialog.h"
#include "dialogs/GeoFilterDlg.h"
#include "dialogs/Hauptmenue.h"
#include "dialogs/KundenDialog.h"
#include "dialogs/RechnungDrucken.h"
#include "dialogs/RechnungsFiler.h"
#include "dialogs/RechnungsListe.h"
#include "dialogs/WeinListe.h"
#include "model/Datenbestand.h"
#include "model/GeoGruppe.h"
#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "model/PreisVerwaltung.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "model/Wein.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/Customizer.h"
#include "storage/Datum.h"
#include "storage/FixedText.h"
#include "storage/GenericList.h"
#include "support/TempDir.h"
#include "windowing/Dialog.h"

namespace {

QAccessibleInterface* Zugang(QObject* o) {
    return QAccessible::queryAccessibleInterface(o);
}

QString Name(QObject* o) {
    QAccessibleInterface* z = Zugang(o);
    return z != nullptr ? z->text(QAccessible::Name) : QString();
}

// What a user reads or operates. Panes, fillers and the windows themselves
// only hold controls; scroll bars belong to the control they scroll.
bool IstBedienelement(QAccessible::Role rolle) {
    switch (rolle) {
        case QAccessible::PushButton:
        case QAccessible::CheckBox:
        case QAccessible::RadioButton:
        case QAccessible::ComboBox:
        case QAccessible::EditableText:
        case QAccessible::SpinBox:
        case QAccessible::Slider:
        case QAccessible::List:
        case QAccessible::Table:
        case QAccessible::Tree:
        case QAccessible::Graphic:
        case QAccessible::StaticText:
        case QAccessible::ButtonMenu:
        case QAccessible::ButtonDropDown:
        case QAccessible::MenuItem:
        case QAccessible::Grouping:
        case QAccessible::Link:
        case QAccessible::ProgressBar:
        case QAccessible::PageTab:
            return true;
        default:
            return false;
    }
}

QString Beschreibung(QAccessibleInterface* e) {
    QString was =
        QString::fromLatin1(QMetaEnum::fromType<QAccessible::Role>().valueToKey(e->role()));
    if (QObject* o = e->object()) {
        was += QStringLiteral(" %1 \"%2\"")
                   .arg(QString::fromLatin1(o->metaObject()->className()), o->objectName());
    }
    return was;
}

// Walks the accessible tree below `e` as the accessibility bus shows it and
// notes every control without a name or named like its value.
void Durchgehen(QAccessibleInterface* e, const QString& fenster, QStringList& fehler,
                int tiefe = 0) {
    if (e == nullptr || !e->isValid() || tiefe > 40) {
        return;
    }
    const QAccessible::Role rolle = e->role();
    if (rolle == QAccessible::ScrollBar) {
        return;
    }
    if (tiefe == 0 || IstBedienelement(rolle)) {
        const QString name = e->text(QAccessible::Name).trimmed();
        const QString wert = e->text(QAccessible::Value).trimmed();
        if (name.isEmpty()) {
            fehler << fenster + ": " + Beschreibung(e) + " hat keinen Namen";
        } else if (name == wert && rolle != QAccessible::List && rolle != QAccessible::Table &&
                   rolle != QAccessible::Tree) {
            // (The toolkit gives a list its name as its value too.)
            fehler << fenster + ": " + Beschreibung(e) + " heißt wie sein Wert \"" + wert + "\"";
        }
    }
    // The rows of a list and the lines of a text are its content, not
    // controls of their own; so is the list a drop-down opens.
    if (rolle == QAccessible::List || rolle == QAccessible::Table || rolle == QAccessible::Tree ||
        rolle == QAccessible::EditableText) {
        return;
    }
    for (int i = 0; i < e->childCount(); ++i) {
        QAccessibleInterface* kind = e->child(i);
        if (rolle == QAccessible::ComboBox && kind != nullptr &&
            kind->role() == QAccessible::List) {
            continue;
        }
        Durchgehen(kind, fenster, fehler, tiefe + 1);
    }
}

// A dialog with no logic of its own: the layout as the toolkit builds it.
class Leer : public Dialog {
  public:
    explicit Leer(int resource) : Dialog(resource) {}
};

// Names that must be just these, where the label alone does not tell the
// controls apart or the control has no label.
const std::map<int, std::map<int, std::string>> kNamen = {
    {1, {{200, "Preisliste:"}, {202, "Kund.Gruppe:"}}},
    {497,
     {{104, "Erster Tag"},
      {105, "Erster Monat"},
      {106, "Erstes Jahr"},
      {101, "Letzter Tag"},
      {102, "Letzter Monat"},
      {103, "Letztes Jahr"},
      {112, "Erster Tag"},
      {113, "Erster Monat"},
      {114, "Erstes Jahr"},
      {109, "Letzter Tag"},
      {110, "Letzter Monat"},
      {111, "Letztes Jahr"}}},
    {5, {{105, "Kundengruppe hinzufügen"}, {107, "Preisliste hinzufügen"}}},
};

TEST(ZugangTest, EveryLayoutNamesEachControlAndNoneAfterItsValue) {
    static const QRegularExpression kennung(QStringLiteral("^c([0-9]{1,9})$"));
    QStringList fehler;
    std::map<int, std::map<int, std::string>> namen;
    int layouts = 0;
    for (const auto& datei : std::filesystem::directory_iterator(REBKONTOR_LAYOUTS)) {
        const std::string stamm = datei.path().stem().string();
        if (datei.path().extension() != ".ui" || stamm.rfind("dialog", 0) != 0) {
            continue;
        }
        ++layouts;
        const int resource = std::stoi(stamm.substr(6));
        QtServices services;
        Leer logik(resource);
        QtWindow fenster(logik, services, nullptr, false);
        // Every field holds a value of its own, so that a name taken from
        // the value shows.
        const auto widgets = fenster.findChildren<QWidget*>();
        for (QWidget* w : widgets) {
            const QRegularExpressionMatch m = kennung.match(w->objectName());
            if (!m.hasMatch()) {
                continue;
            }
            const QString wert = QStringLiteral("Wert ") + m.captured(1);
            if (auto* edit = qobject_cast<QLineEdit*>(w)) {
                edit->setText(wert);
            } else if (auto* text = qobject_cast<QPlainTextEdit*>(w)) {
                text->setPlainText(wert);
            } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
                combo->addItem(wert);
                combo->setCurrentIndex(0);
            } else if (auto* liste = qobject_cast<QListWidget*>(w)) {
                liste->addItem(wert);
                liste->setCurrentRow(0);
            }
        }
        fenster.show();
        const QString titel = QStringLiteral("%1 (%2)").arg(resource).arg(fenster.windowTitle());
        Durchgehen(Zugang(&fenster), titel, fehler);
        auto erwartet = kNamen.find(resource);
        if (erwartet != kNamen.end()) {
            for (const auto& [id, name] : erwartet->second) {
                namen[resource][id] = Name(Control(&fenster, id)).toStdString();
            }
        }
    }
    EXPECT_GE(layouts, 13);
    EXPECT_TRUE(fehler.isEmpty()) << fehler.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(namen, kNamen);
}

using ZugangProgrammTest = ProgrammTest;

// The windows that are not built from a layout, and those whose logic fills
// them: the main window with its toolbar, a note, the about box through its
// command and an invoice in the preview.
TEST_F(ZugangProgrammTest, MainWindowToolbarNoteAboutBoxAndPreviewNameEveryControl) {
    ASSERT_TRUE(App().Starten(TSDIDecFrame::ZeigeModus::Normal));
    TSDIDecFrame& frame = *App().Frame();
    Verwaltungen& v = frame.Daten().GetVerwaltungen();
    QStringList fehler;
    Durchgehen(Zugang(&frame), QStringLiteral("Hauptfenster"), fehler);
    Durchgehen(Zugang(frame.QuickMenue()), QStringLiteral("Quick-Menü"), fehler);

    // The toolbar's buttons, named by their commands.
    QStringList knoepfe;
    const auto buttons = frame.QuickMenue()->findChildren<QAbstractButton*>();
    for (QAbstractButton* b : buttons) {
        if (b->objectName().isEmpty()) {  // the dock's own buttons have names
            knoepfe << Name(b);
        }
    }
    EXPECT_EQ(knoepfe, (QStringList{"Kunde suchen", "Weine verwalten", "Preisliste verwalten",
                                    "Erstellen", "Flaschenzählung", "Über"}));

    frame.Befehl(Hauptmenue::kNeuerMerkzettel);
    int notizen = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->windowTitle() == QStringLiteral("Merkzettel") && w->isVisible()) {
            ++notizen;
            Durchgehen(Zugang(w), QStringLiteral("Merkzettel"), fehler);
        }
    }
    EXPECT_EQ(notizen, 1);

    // A line the program fills is named by its text; while empty, it says
    // that it is.
    QString hinweis, hinweisText, sonderversion;
    ImNaechstenFenster([&](QWidget* fenster) {
        Durchgehen(Zugang(fenster), fenster->windowTitle(), fehler);
        hinweis = Name(Control(fenster, 22002));
        hinweisText = qobject_cast<QLabel*>(Control(fenster, 22002))->text();
        sonderversion = Name(Control(fenster, 22003));
        qobject_cast<QDialog*>(fenster)->reject();
    });
    frame.Befehl(Hauptmenue::kUeber);
    EXPECT_FALSE(hinweisText.isEmpty());
    EXPECT_EQ(hinweis, hinweisText);
    EXPECT_EQ(sonderversion, QStringLiteral("Keine Sonderversion"));

    // The customer form and the invoice editor, their drop-downs showing
    // a price list and a customer group.
    v.preisVerwaltung->AddPreisliste("Ab Hof");
    v.geoGruppe->AddGeoGruppe("Vor Ort");
    KundenDialog erfassen(0, v);
    QString preisliste;
    QString gruppe;
    ImNaechstenFenster([&](QWidget* fenster) {
        preisliste = Name(Control(fenster, KundenDialog::kPreisliste));
        gruppe = Name(Control(fenster, KundenDialog::kGruppe));
        Durchgehen(Zugang(fenster), fenster->windowTitle(), fehler);
        qobject_cast<QDialog*>(fenster)->reject();
    });
    App().Services().Execute(erfassen);
    EXPECT_EQ(preisliste, QStringLiteral("Preisliste:"));
    EXPECT_EQ(gruppe, QStringLiteral("Kund.Gruppe:"));

    // An invoice on the screen: the preview tells its text.
    v.weinlistenVerwaltung->AddWein(4);
    FixedText::Set(v.weinlistenVerwaltung->GetWein(4)->name, "Silvaner Sp\xE4tlese");
    Kunde kunde;
    FixedText::Set(kunde.Nachname, "M\xF6sch");
    FixedText::Set(kunde.Ort, "Alzey");
    v.kundenVerwaltung->AddKunde(kunde);
    Rechnung* neu = v.rechnungsVerwaltung->AllocRechnung(kunde.nummer);
    v.rechnungsVerwaltung->SetPosten(*neu, 4, 10.0f, 5.4f, 12);
    neu->datum = Datum(6, 12, 2026).Julian();
    v.rechnungsVerwaltung->StoreRechnung();
    GenericList<Rechnung> rechnungen;
    v.rechnungsVerwaltung->GetRechnungenVonKunde(kunde.nummer, rechnungen, false);
    ASSERT_EQ(rechnungen.Count(), 1u);
    {
        WeinListe editor(v, kunde, &rechnungen[0]);
        ImNaechstenFenster([&](QWidget* fenster) {
            Durchgehen(Zugang(fenster), QStringLiteral("Rechnung"), fehler);
            qobject_cast<QDialog*>(fenster)->reject();
        });
        App().Services().Execute(editor);
    }
    RechnungDrucken(App().Services(), v, rechnungen[0], false, true, false, true);
    PreViewWindow* vorschau = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* p = dynamic_cast<PreViewWindow*>(w); p != nullptr && p->isVisible()) {
            vorschau = p;
        }
    }
    ASSERT_NE(vorschau, nullptr);
    const QString text = Zugang(vorschau)->text(QAccessible::Description);
    EXPECT_TRUE(text.contains(QStringLiteral("Mösch"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Silvaner Spätlese"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\nENDBETRAG DM 139.20\n"))) << text.toStdString();
    EXPECT_EQ(Zugang(vorschau)->text(QAccessible::Name), QStringLiteral("Druck-Vorschau"));

    EXPECT_TRUE(fehler.isEmpty()) << fehler.join(QLatin1Char('\n')).toStdString();
}

// The accessibility "Toggle" action, as a screen reader or an automation
// tool sends it over the bus.
void Umschalten(QWidget* knopf) {
    QAccessibleInterface* z = Zugang(knopf);
    ASSERT_NE(z, nullptr);
    ASSERT_NE(z->actionInterface(), nullptr);
    ASSERT_TRUE(
        z->actionInterface()->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    z->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
}

TEST_F(ZugangProgrammTest, ToggledWithoutTheMouseTheDialogsFollowTheirCheckBoxesAndRadioButtons) {
    ASSERT_TRUE(App().Starten(TSDIDecFrame::ZeigeModus::Normal));
    TSDIDecFrame& frame = *App().Frame();
    Verwaltungen& v = frame.Daten().GetVerwaltungen();

    // "Bildschirm" in the print options: the documents go to the screen.
    bool packliste = false;
    bool kunde = false;
    bool intern = false;
    bool bildschirm = false;
    ImNaechstenFenster([](QWidget* druck) {
        Umschalten(Control(druck, DruckDialog::kBildschirm));
        Umschalten(Control(druck, DruckDialog::kPackliste));
        qobject_cast<QPushButton*>(Control(druck, ControlId::kOk))->click();
    });
    ASSERT_TRUE(DruckDialog::Waehlen(App().Services(), packliste, kunde, intern, bildschirm));
    EXPECT_TRUE(bildschirm);
    EXPECT_FALSE(packliste);
    EXPECT_TRUE(kunde);

    // "Nur offene Rechnungen anzeigen" cleared: the paid invoice shows too.
    Kunde k;
    FixedText::Set(k.Nachname, "Meier");
    v.kundenVerwaltung->AddKunde(k);
    v.weinlistenVerwaltung->AddWein(1);
    for (int i = 0; i < 2; ++i) {
        Rechnung* r = v.rechnungsVerwaltung->AllocRechnung(k.nummer);
        v.rechnungsVerwaltung->SetPosten(*r, 1, 10.0f, 5.0f, 2);
        r->datum = Datum::Heute().Julian();
        r->beglichen = static_cast<std::uint8_t>(i);
        v.rechnungsVerwaltung->StoreRechnung();
    }
    Customizer& c = *v.customizer;
    c.filterMit1 = 0;
    c.filterMit2 = 1;
    c.filterVon2 = static_cast<std::int32_t>(Datum::Heute().Julian()) - 1;
    c.filterBis2 = static_cast<std::int32_t>(Datum::Heute().Julian()) + 1;
    RechnungsFiler filter(v);
    RechnungsListe liste(filter, v, nullptr);
    int offen = -1;
    int alle = -1;
    ImNaechstenFenster([&](QWidget* fenster) {
        auto* rechnungen = qobject_cast<QTreeView*>(Control(fenster, RechnungsListe::kListe));
        offen = rechnungen->model()->rowCount();
        Umschalten(Control(fenster, RechnungsListe::kNurOffene));
        alle = rechnungen->model()->rowCount();
        qobject_cast<QDialog*>(fenster)->reject();
    });
    App().Services().Execute(liste);
    EXPECT_EQ(offen, 1);
    EXPECT_EQ(alle, 2);

    // "PLZ-Bereich" ticked: its two fields can be filled in.
    v.geoGruppe->AddGeoGruppe("Mainz");
    GeoFilterDlg adressen(v);
    bool vonFrei = false;
    bool bisFrei = false;
    bool gruppeFrei = true;
    ImNaechstenFenster([&](QWidget* fenster) {
        Umschalten(Control(fenster, GeoFilterDlg::kMitPlz));
        Umschalten(Control(fenster, GeoFilterDlg::kMitGruppe));
        vonFrei = Control(fenster, GeoFilterDlg::kVon)->isEnabled();
        bisFrei = Control(fenster, GeoFilterDlg::kBis)->isEnabled();
        gruppeFrei = Control(fenster, GeoFilterDlg::kGruppen)->isEnabled();
        qobject_cast<QDialog*>(fenster)->reject();
    });
    App().Services().Execute(adressen);
    EXPECT_TRUE(vonFrei);
    EXPECT_TRUE(bisFrei);
    EXPECT_FALSE(gruppeFrei);
}

}  // namespace
