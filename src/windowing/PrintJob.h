#pragma once

#include <functional>
#include <string>

// What a page is drawn on (documents/Canvas.h). The windowing layer only
// hands one over; it never draws itself.
class Canvas;

// A document for the printer or the preview window: its job title, the
// printer bin it is meant for, how many pages it has and how each is drawn.
// Whatever the drawing needs (invoice, customer, managers) belongs to the
// job, so that a preview window that owns the job can repaint for as long
// as it stays open.
struct PrintJob {
    using DrawPage =
        std::function<void(Canvas& canvas, int page, int left, int top, int width, int height)>;

    std::string title;    // Windows-1252
    int paperSource = 1;  // 1 upper (or only) bin, 2 lower bin
    int pages = 1;
    // What the user is to be told once when the job is put out (Windows-1252;
    // empty: nothing), such as why a part of the page had to be left out.
    std::string note;
    // Draws page `page` (from 1) into the rectangle, in the canvas's device
    // units.
    DrawPage drawPage;

    bool HasPage(int page) const { return page >= 1 && page <= pages; }
};
