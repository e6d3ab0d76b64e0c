#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <map>
#include <vector>

#include "QtTestBasis.h"
#include "app/QtWindow.h"
#include "app/TRebkontorApp.h"
#include "dialogs/WeinListe.h"
#include "model/Datenbestand.h"
#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "model/PreisVerwaltung.h"
#include "model/RechnungsVerwaltung.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/FixedText.h"
#include "support/TempDir.h"

namespace {

using W = WeinListe;

// The label whose buddy the control is, or null.
QLabel* LabelVon(QWidget* fenster, QWidget* control) {
    const auto labels = fenster->findChildren<QLabel*>();
    for (QLabel* label : labels) {
        if (label->buddy() == control) {
            return label;
        }
    }
    return nullptr;
}

// Every control the dialog's logic uses, with the kind it must have.
enum class Art { Edit, Button, Check, Combo, Liste, Bild };
const std::map<int, Art> kControls = {
    {W::kListe, Art::Liste},
    {W::kWeinNummer, Art::Edit},
    {W::kName, Art::Edit},
    {W::kBezeichnung, Art::Edit},
    {W::kFuellmenge, Art::Edit},
    {W::kBestand, Art::Edit},
    {W::kGewicht, Art::Edit},
    {W::kBestellmenge, Art::Edit},
    {W::kPreisDM, Art::Edit},
    {W::kPreisEuro, Art::Edit},
    {W::kRechnungNr, Art::Edit},
    {W::kBemerkung, Art::Edit},
    {W::kKartons, Art::Edit},
    {W::kSteigen, Art::Edit},
    {W::kVollstaendig, Art::Check},
    {W::kTag, Art::Edit},
    {W::kMonat, Art::Edit},
    {W::kJahr, Art::Edit},
    {W::kSumme, Art::Edit},
    {W::kBeglichen, Art::Check},
    {W::kEingegangen, Art::Edit},
    {W::kSpeichern, Art::Button},
    {W::kAenderungSpeichern, Art::Button},
    {W::kPreislisten, Art::Combo},
    {W::kLoeschen, Art::Button},
    {W::kHeute, Art::Button},
    {W::kDatumLeeren, Art::Button},
    {W::kBildPreisliste, Art::Bild},
    {W::kBildWeinliste, Art::Bild},
    {W::kBildRechnung, Art::Bild},
    {ControlId::kOk, Art::Button},
    {ControlId::kCancel, Art::Button},
};

// The labels of the layout and the field each one names.
const std::map<int, const char*> kLabels = {
    {W::kRechnungNr, "&Rechnung Nr.:"},
    {W::kKartons, "Steigen / &Kartons:"},
    {W::kTag, "D&atum:"},
    {W::kEingegangen, "Betr. ges. / &eing.:"},
    {W::kBemerkung, "Bemer&kung:"},
    {W::kWeinNummer, "&Nr. / Name:"},
    {W::kBezeichnung, "Be&zeichnung:"},
    {W::kFuellmenge, "&Füllmenge:"},
    {W::kBestand, "&Bestand (Fl.):"},
    {W::kGewicht, "&Gewicht (in g):"},
    {W::kPreisDM, "&DM/EU-Preis:"},
    {W::kBestellmenge, "Bestell&menge:"},
    {W::kPreislisten, "Preisliste:"},
};

const std::map<int, int> kLimits = {
    {W::kRechnungNr, 6},   {W::kKartons, 4}, {W::kSteigen, 4},      {W::kTag, 2},
    {W::kMonat, 2},        {W::kJahr, 4},    {W::kEingegangen, 7},  {W::kBemerkung, 255},
    {W::kWeinNummer, 4},   {W::kName, 59},   {W::kBezeichnung, 59}, {W::kFuellmenge, 9},
    {W::kBestand, 6},      {W::kGewicht, 6}, {W::kPreisDM, 6},      {W::kPreisEuro, 6},
    {W::kBestellmenge, 5},
};

struct Befund {
    std::map<int, bool> sichtbar;
    std::map<int, bool> labelSichtbar;
    std::vector<int> breiten;
    std::vector<bool> titelPasst;
    QStringList titel;
    int zeilen = 0;
    QColor ersteZeile;
};

// Checks the layout of the open dialog and notes what it shows; then leaves
// it as the user would with the close box.
Befund Pruefe(QWidget* fenster) {
    Befund b;
    for (const auto& [id, art] : kControls) {
        QWidget* c = Control(fenster, id);
        if (c == nullptr) {
            ADD_FAILURE() << "no control " << id;
            continue;
        }
        switch (art) {
            case Art::Edit:
                EXPECT_NE(qobject_cast<QLineEdit*>(c), nullptr) << id;
                break;
            case Art::Button:
                EXPECT_NE(qobject_cast<QPushButton*>(c), nullptr) << id;
                break;
            case Art::Check:
                EXPECT_NE(qobject_cast<QCheckBox*>(c), nullptr) << id;
                break;
            case Art::Combo:
                EXPECT_NE(qobject_cast<QComboBox*>(c), nullptr) << id;
                EXPECT_FALSE(qobject_cast<QComboBox*>(c)->isEditable());
                break;
            case Art::Liste:
                EXPECT_NE(qobject_cast<QTreeView*>(c), nullptr) << id;
                break;
            case Art::Bild: {
                auto* bild = qobject_cast<QLabel*>(c);
                EXPECT_NE(bild, nullptr) << id;
                EXPECT_TRUE(bild != nullptr && !bild->pixmap().isNull()) << id;
                EXPECT_FALSE(c->accessibleName().isEmpty()) << id;
                break;
            }
        }
        b.sichtbar[id] = !c->isHidden();
        if (QLabel* label = LabelVon(fenster, c)) {
            b.labelSichtbar[id] = !label->isHidden();
        }
    }
    for (const auto& [id, text] : kLabels) {
        QLabel* label = LabelVon(fenster, Control(fenster, id));
        EXPECT_EQ(label != nullptr ? label->text() : QString(), QString::fromUtf8(text)) << id;
    }
    for (const auto& [id, limit] : kLimits) {
        EXPECT_EQ(qobject_cast<QLineEdit*>(Control(fenster, id))->maxLength(), limit) << id;
    }
    // A field without a label of its own has an accessible name.
    for (int id : {W::kName, W::kSteigen, W::kMonat, W::kJahr, W::kSumme, W::kPreisEuro}) {
        EXPECT_FALSE(Control(fenster, id)->accessibleName().isEmpty()) << id;
    }
    auto* liste = qobject_cast<QTreeView*>(Control(fenster, W::kListe));
    for (int i = 0; i < liste->model()->columnCount(); ++i) {
        b.titel << liste->model()->headerData(i, Qt::Horizontal).toString();
        b.breiten.push_back(liste->isColumnHidden(i) ? 0 : liste->header()->sectionSize(i));
        b.titelPasst.push_back(liste->isColumnHidden(i) || liste->header()->sectionSize(i) >=
                                                               liste->header()->sectionSizeHint(i));
    }
    b.zeilen = liste->model()->rowCount();
    if (b.zeilen > 0) {
        b.ersteZeile =
            liste->model()->data(liste->model()->index(0, 1), Qt::BackgroundRole).value<QColor>();
    }
    qobject_cast<QDialog*>(fenster)->reject();
    return b;
}

// Hidden columns have no width; shown ones at least the width the dialog gives them (the
// desktop font may widen it) and room for their title.
void ErwarteBreiten(const Befund& b, const std::vector<int>& gegeben) {
    ASSERT_EQ(b.breiten.size(), gegeben.size());
    for (size_t i = 0; i < gegeben.size(); ++i) {
        if (gegeben[i] == 0) {
            EXPECT_EQ(b.breiten[i], 0) << i;
        } else {
            EXPECT_GE(b.breiten[i], gegeben[i]) << i;
            EXPECT_TRUE(b.titelPasst[i]) << i;
        }
    }
}

using WeinListeFensterTest = ProgrammTest;

TEST_F(WeinListeFensterTest, EveryModeOpensOnTheRealLayout) {
    ASSERT_TRUE(App().Starten(TSDIDecFrame::ZeigeModus::Normal));
    TSDIDecFrame& frame = *App().Frame();
    Verwaltungen& v = frame.Daten().GetVerwaltungen();
    v.weinlistenVerwaltung->AddWein(3);
    v.weinlistenVerwaltung->AddWein(7);
    EXPECT_TRUE(frame.Aktion(51684)->isEnabled());
    EXPECT_TRUE(frame.Aktion(51685)->isEnabled());

    // The wine list from the menu.
    Befund b;
    ImNaechstenFenster([&](QWidget* fenster) { b = Pruefe(fenster); });
    frame.Aktion(51684)->trigger();
    EXPECT_TRUE(b.sichtbar[W::kBildWeinliste]);
    EXPECT_FALSE(b.sichtbar[W::kBildRechnung]);
    EXPECT_FALSE(b.sichtbar[W::kPreislisten]);
    EXPECT_FALSE(b.labelSichtbar[W::kPreislisten]);
    EXPECT_FALSE(b.sichtbar[W::kRechnungNr]);
    EXPECT_FALSE(b.labelSichtbar[W::kRechnungNr]);
    EXPECT_FALSE(b.labelSichtbar[W::kKartons]);
    EXPECT_FALSE(b.labelSichtbar[W::kPreisDM]);
    EXPECT_TRUE(b.labelSichtbar[W::kGewicht]);
    EXPECT_TRUE(b.sichtbar[W::kLoeschen]);
    ErwarteBreiten(b, {45, 210, 210, 60, 60, 60, 170});
    EXPECT_EQ(b.zeilen, 2);
    EXPECT_EQ(b.ersteZeile, QColor(192, 255, 192));

    // The price list from the menu, once a list exists.
    v.preisVerwaltung->AddPreisliste("Privat");
    v.preisVerwaltung->AddPreisliste("Handel");
    ImNaechstenFenster([&](QWidget* fenster) {
        auto* combo = qobject_cast<QComboBox*>(Control(fenster, W::kPreislisten));
        EXPECT_EQ(combo->count(), 2);
        EXPECT_EQ(combo->currentText(), QStringLiteral("Privat"));
        b = Pruefe(fenster);
    });
    frame.Aktion(51685)->trigger();
    EXPECT_TRUE(b.sichtbar[W::kBildPreisliste]);
    EXPECT_TRUE(b.labelSichtbar[W::kPreislisten]);
    EXPECT_FALSE(b.sichtbar[W::kBestellmenge]);
    EXPECT_FALSE(b.sichtbar[W::kLoeschen]);
    EXPECT_EQ(b.titel.mid(6), (QStringList{"Preis DM", "Preis Euro"}));
    ErwarteBreiten(b, {45, 210, 210, 60, 60, 0, 70, 70});

    // The invoice mode, as the customer dialogs build it.
    Kunde kunde;
    FixedText::Set(kunde.Nachname, "Winzer");
    kunde.preisliste = 1;
    v.kundenVerwaltung->AddKunde(kunde);
    {
        WeinListe rechnung(v, kunde);
        ImNaechstenFenster([&](QWidget* fenster) {
            EXPECT_EQ(qobject_cast<QComboBox*>(Control(fenster, W::kPreislisten))->currentText(),
                      QStringLiteral("Handel"));
            EXPECT_EQ(fenster->focusWidget(), Control(fenster, W::kWeinNummer));
            b = Pruefe(fenster);
        });
        EXPECT_EQ(App().Services().Execute(rechnung), ControlId::kCancel);
    }
    EXPECT_TRUE(b.sichtbar[W::kBildRechnung]);
    EXPECT_TRUE(b.sichtbar[ControlId::kOk]);
    EXPECT_FALSE(b.sichtbar[ControlId::kCancel]);
    EXPECT_FALSE(b.sichtbar[W::kAenderungSpeichern]);
    EXPECT_TRUE(b.labelSichtbar[W::kKartons]);
    EXPECT_TRUE(b.labelSichtbar[W::kBestellmenge]);
    EXPECT_EQ(b.titel.mid(6), (QStringList{"Preis DM", "Preis Euro", "Best.Menge"}));
    ErwarteBreiten(b, {45, 210, 210, 0, 0, 0, 70, 70, 80});
    // Left with the close box, the new invoice is stored.
    EXPECT_EQ(v.rechnungsVerwaltung->Gespeichert(), 1);
    EXPECT_EQ(v.rechnungsVerwaltung->Reserviert(), nullptr);
}

}  // namespace
