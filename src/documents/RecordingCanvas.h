#pragma once

#include <string>
#include <vector>

#include "documents/Canvas.h"

// Remembers everything drawn on it, so that tests can check texts, positions
// and fonts of a laid-out page.
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
    };

    void SelectFont(const std::string& face, int height, int weight, bool underline) override;
    void DrawText(int x, int y, const std::string& text) override;
    void PlayLetterhead(int left, int top, int width, int height) override;

    const std::vector<Text>& Texts() const { return texts_; }
    const std::vector<Picture>& Pictures() const { return pictures_; }

    // The first text that contains the fragment, or null.
    const Text* Find(const std::string& fragment) const;
    // How many texts contain the fragment.
    int CountContaining(const std::string& fragment) const;

  private:
    Font font_;
    std::vector<Text> texts_;
    std::vector<Picture> pictures_;
};
