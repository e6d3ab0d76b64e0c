#pragma once

#include <string>
#include <vector>

#include "windowing/WindowingTypes.h"

// A bar chart as a dialog's logic describes it, without the toolkit: the
// categories along one axis, one or more series of values, and the texts.
// The window draws it (Window::SetChart) and turns it into a picture
// (Window::ChartBild). Texts are Windows-1252 and shown as given; the
// numbers of the value axis are written the German way ("1.234,5").
struct Diagramm {
    enum class Art {
        // Upright bars, the series of one category side by side.
        Saeulen,
        // Lying bars, the first category at the top.
        Balken,
        // Lying bars whose series are stacked: each category has its value
        // in one series only, so that the series give the bars their
        // colours (a warning colour for some of them).
        GestapelteBalken
    };

    struct Reihe {
        std::string name;
        Rgb farbe;
        // One value per category.
        std::vector<double> werte;
    };

    Art art = Art::Saeulen;
    std::string titel;
    std::vector<std::string> kategorien;
    std::vector<Reihe> reihen;
    // The title of the value axis ("Umsatz brutto in EUR").
    std::string wertachse;
    // Decimals of the value axis labels.
    int nachkommastellen = 0;
    // Shown across an empty chart ("Keine Rechnungen im Zeitraum").
    std::string hinweis;

    bool Leer() const { return kategorien.empty(); }
};

// The file formats of a chart's picture.
enum class Bildformat { Png, Pdf, Svg };
