#pragma once

#include <string>
#include <vector>

// A square of dark and light modules, such as a QR code, row by row from its
// top left corner. Only the symbol: the light margin a reader needs around
// it is the page's business.
struct Modulmatrix {
    int seite = 0;             // modules per row and per column
    std::vector<bool> dunkel;  // seite × seite, row by row

    bool Dunkel(int x, int y) const {
        return dunkel[static_cast<std::size_t>(y) * static_cast<std::size_t>(seite) +
                      static_cast<std::size_t>(x)];
    }
};

// What the page layout of a document draws on: a printer page, the preview
// window, a PDF file, or a recording for tests. Coordinates are device units
// with the origin at the top left; texts are Windows-1252.
class Canvas {
  public:
    static constexpr int kNormal = 400;
    static constexpr int kBold = 700;
    static constexpr const char* kSchrift = "Courier New";

    // Every document is set in "Courier New", or a face with its metrics
    // standing in for it: each character advances 0.6 em (1229 of 2048
    // units), and the cell a font is chosen by, ascent plus descent, is
    // 2320 units. So a character is this fraction of the cell height wide,
    // on every canvas.
    static constexpr double kZeichenbreite = 1229.0 / 2320.0;

    virtual ~Canvas() = default;

    // A newly selected font replaces the previous one. `height` is the cell
    // height in device units, the width is the face's own.
    virtual void SelectFont(const std::string& face, int height, int weight, bool underline) = 0;
    // Draws the text with its top-left corner at (x, y) in the current font.
    virtual void DrawText(int x, int y, const std::string& text) = 0;
    // Plays the letterhead picture into the rectangle; a canvas without a
    // picture ignores it.
    virtual void PlayLetterhead(int left, int top, int width, int height) = 0;
    // Draws an SVG picture (a chart) into the rectangle, keeping its
    // proportions; a canvas that draws no pictures leaves it out.
    virtual void DrawPicture(int /*left*/, int /*top*/, int /*width*/, int /*height*/,
                             const std::string& /*svg*/) {}
    // Whether PlayLetterhead draws a picture. A page without one prints the
    // seller's own lines where the picture would stand.
    virtual bool HasLetterhead() const = 0;
    // Fills the dark modules of the matrix black, the whole matrix filling
    // the square of `size` device units at (left, top); the light ones stay
    // paper. Every module edge falls on a whole device unit, so that a
    // scanner sees sharp modules even on a coarse device.
    virtual void DrawModules(int left, int top, int size, const Modulmatrix& matrix) = 0;
};
