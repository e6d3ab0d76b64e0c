#pragma once

#include <string>

// What the page layout of a document draws on: a printer page, the preview
// window, a PDF file, or a recording for tests. Coordinates are device units
// with the origin at the top left; texts are Windows-1252.
class Canvas {
  public:
    static constexpr int kNormal = 400;
    static constexpr int kBold = 700;

    virtual ~Canvas() = default;

    // A newly selected font replaces the previous one. `height` is the cell
    // height in device units, the width is the face's own.
    virtual void SelectFont(const std::string& face, int height, int weight, bool underline) = 0;
    // Draws the text with its top-left corner at (x, y) in the current font.
    virtual void DrawText(int x, int y, const std::string& text) = 0;
    // Plays the letterhead picture into the rectangle; a canvas without a
    // picture ignores it.
    virtual void PlayLetterhead(int left, int top, int width, int height) = 0;
};
