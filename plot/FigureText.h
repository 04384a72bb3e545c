// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

typedef struct _cairo cairo_t;
typedef struct _PangoContext PangoContext;
typedef struct _PangoFontDescription PangoFontDescription;

namespace tamrisk {

struct TextSize {
    double width = 0.0;
    double height = 0.0;
};

// Pango text on a cairo context, in the context's user units (points). The
// metrics are unhinted, so a text takes the same room in every format and at
// every resolution.
class FigureText {
public:
    FigureText(cairo_t* cr, double fontSize);
    ~FigureText();
    FigureText(const FigureText&) = delete;
    FigureText& operator=(const FigureText&) = delete;

    // The logical size of a markup text.
    TextSize Measure(const std::string& markup) const;
    // Draws a markup text in black with the point (x, y) at the fraction (ax, ay) of its box:
    // (0, 0) top left, (0.5, 0.5) centre, (1, 1) bottom right.
    void Show(const std::string& markup, double x, double y, double ax, double ay) const;
    // The same, turned a quarter anticlockwise, centred on (x, y): a vertical axis label.
    void ShowUpward(const std::string& markup, double x, double y) const;

private:
    cairo_t* cr_;
    PangoContext* context_;
    PangoFontDescription* font_;
};

// A UTF-8 text with Pango's markup characters escaped.
std::string EscapeMarkup(const std::string& text);

} // namespace tamrisk
