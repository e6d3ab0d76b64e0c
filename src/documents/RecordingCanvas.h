#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "documents/Canvas.h"

// Remembers everything drawn on it, so that tests can check texts, positions
// and fonts of a laid-out page, and where the real canvas would put ink.
class RecordingCanvas : public Canvas {
  public:
    struct Font {
        std::string face;
        int height = 0;
        int weight = 0;
        bool underline = false;
    };

    struct Text {
        int x = 0;
        int y = 0;
        std::string text;
        Font font;
    };

    struct Picture {
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
        // Empty for the letterhead.
        std::string svg;
    };

    // A code drawn from a module matrix, with the square it fills.
    struct Code {
        int left = 0;
        int top = 0;
        int size = 0;
        Modulmatrix matrix;
    };

    // A rectangle in device units; left and top belong to it, right and
    // bottom do not.
    struct Kasten {
        double left = 0;
        double top = 0;
        double right = 0;
        double bottom = 0;

        bool Schneidet(const Kasten& other) const {
            return left < other.right && other.left < right && top < other.bottom &&
                   other.top < bottom;
        }
    };

    void SelectFont(const std::string& face, int height, int weight, bool underline) override;
    void DrawText(int x, int y, const std::string& text) override;
    void PlayLetterhead(int left, int top, int width, int height) override;
    void DrawPicture(int left, int top, int width, int height, const std::string& svg) override;
    bool HasLetterhead() const override { return letterhead_; }
    void DrawModules(int left, int top, int size, const Modulmatrix& matrix) override;

    // Whether the canvas stands for one with a letterhead picture (by
    // default not, as when no "bkopf.emf" lies beside the data).
    void SetLetterhead(bool letterhead) { letterhead_ = letterhead; }

    const std::vector<Text>& Texts() const { return texts_; }
    const std::vector<Picture>& Pictures() const { return pictures_; }
    const std::vector<Code>& Codes() const { return codes_; }

    // The first text that contains the fragment, or null.
    const Text* Find(const std::string& fragment) const;
    // How many texts contain the fragment.
    int CountContaining(const std::string& fragment) const;

    // Where the real canvas inks a text, as its font's metrics say: for each
    // character that is not a blank its advance, from as high to as low as
    // glyphs of its kind reach; for an underlined text also the rule under
    // all of it, blanks included. The boxes may be a little larger than the
    // ink, never smaller.
    static std::vector<Kasten> Tinte(const Text& text);
    // The pairs of drawn texts (places in Texts(), the earlier first) whose
    // ink would overlap: one printed over the other. Where only the
    // descenders of one line touch the next line, by less than 3 % of a
    // cell, the texts do not count as overlapping.
    std::vector<std::pair<std::size_t, std::size_t>> Ueberdeckungen() const;

    // A QR code needs a light margin of four modules on every side (its
    // quiet zone) to be read; this is the code's square with that margin.
    static Kasten MitRuhezone(const Code& code);
    // The pairs (place in Codes(), place in Texts()) where a text inks a
    // code or its quiet zone.
    std::vector<std::pair<std::size_t, std::size_t>> CodeUeberdeckungen() const;

  private:
    Font font_;
    bool letterhead_ = false;
    std::vector<Text> texts_;
    std::vector<Picture> pictures_;
    std::vector<Code> codes_;
};
