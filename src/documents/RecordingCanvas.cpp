#include "documents/RecordingCanvas.h"

void RecordingCanvas::SelectFont(const std::string& face, int height, int weight, bool underline) {
    font_ = Font{face, height, weight, underline};
}

void RecordingCanvas::DrawText(int x, int y, const std::string& text) {
    texts_.push_back(Text{x, y, text, font_});
}

void RecordingCanvas::PlayLetterhead(int left, int top, int width, int height) {
    pictures_.push_back(Picture{left, top, width, height});
}

const RecordingCanvas::Text* RecordingCanvas::Find(const std::string& fragment) const {
    for (const auto& t : texts_) {
        if (t.text.find(fragment) != std::string::npos) {
            return &t;
        }
    }
    return nullptr;
}

int RecordingCanvas::CountContaining(const std::string& fragment) const {
    int n = 0;
    for (const auto& t : texts_) {
        if (t.text.find(fragment) != std::string::npos) {
            ++n;
        }
    }
    return n;
}
