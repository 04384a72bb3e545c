// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

typedef struct _cairo cairo_t;
typedef struct _PangoContext PangoContext;
typedef struct _PangoFontDescription PangoFontDescription;

namespace tamrisk {

struct TextSize {
    double width = 0.0;
    double height = 0.0;
};

struct TextLook {
    bool bold = false;
    double scale = 1.0;     // of the font size
    double wrapWidth = 0.0; // points a line may take; 0: one line
    bool alignLeft = false; // wrapped lines start at the left, rather than centred
};

// One line of text as a vector file keeps it: its start on the baseline, in
// page points, turned by `angle` degrees (anticlockwise) about that point.
struct PlacedText {
    std::string text; // UTF-8
    double x = 0.0, y = 0.0;
    double angle = 0.0;
    double size = 0.0; // pt
    bool bold = false;
};

// The font every figure text is set in.
inline constexpr const char* kFigureFontFamily = "DejaVu Sans";

// Plain UTF-8 text on a cairo context, in the context's user units (points).
// Metrics are unhinted and glyphs are placed at fractional positions, so a
// text takes the same room, with the same letter spacing, in every format
// and at every resolution. With `placed` set, texts are not drawn but listed
// there (an SVG writes them as text elements).
class FigureText {
public:
    FigureText(cairo_t* cr, double fontSize, std::vector<PlacedText>* placed = nullptr);
    ~FigureText();
    FigureText(const FigureText&) = delete;
    FigureText& operator=(const FigureText&) = delete;

    // The logical size of a text.
    TextSize Measure(const std::string& text, const TextLook& look = {}) const;
    // The number of lines a text takes.
    int Lines(const std::string& text, const TextLook& look) const;
    // Draws a text in black with the point (x, y) at the fraction (ax, ay) of its box:
    // (0, 0) top left, (0.5, 0.5) centre, (1, 1) bottom right.
    void Show(const std::string& text, double x, double y, double ax, double ay, const TextLook& look = {}) const;
    // The same, turned a quarter anticlockwise, centred on (x, y): a vertical axis label.
    void ShowUpward(const std::string& text, double x, double y) const;

private:
    void ShowTurned(const std::string& text, double x, double y, double ax, double ay, const TextLook& look,
                    double angle) const;

    cairo_t* cr_;
    double fontSize_;
    PangoContext* context_;
    PangoFontDescription* font_;
    std::vector<PlacedText>* placed_;
};

} // namespace tamrisk
