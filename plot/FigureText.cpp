// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/FigureText.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <cmath>
#include <memory>
#include <numbers>

namespace tamrisk {

namespace {

struct LayoutDeleter {
    void operator()(PangoLayout* layout) const { g_object_unref(layout); }
};
using LayoutPtr = std::unique_ptr<PangoLayout, LayoutDeleter>;

struct FontDeleter {
    void operator()(PangoFontDescription* font) const { pango_font_description_free(font); }
};

LayoutPtr MakeLayout(PangoContext* context, const PangoFontDescription* base, double fontSize, const std::string& text,
                     const TextLook& look)
{
    LayoutPtr layout(pango_layout_new(context));
    std::unique_ptr<PangoFontDescription, FontDeleter> font(pango_font_description_copy(base));
    pango_font_description_set_absolute_size(font.get(), fontSize * look.scale * PANGO_SCALE);
    if (look.bold)
        pango_font_description_set_weight(font.get(), PANGO_WEIGHT_BOLD);
    pango_layout_set_font_description(layout.get(), font.get());
    if (look.wrapWidth > 0.0) {
        pango_layout_set_width(layout.get(), int(look.wrapWidth * PANGO_SCALE));
        pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
        pango_layout_set_alignment(layout.get(), look.alignLeft ? PANGO_ALIGN_LEFT : PANGO_ALIGN_CENTER);
    }
    pango_layout_set_text(layout.get(), text.c_str(), int(text.size()));
    return layout;
}

TextSize LogicalSize(PangoLayout* layout)
{
    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    return {double(logical.width) / PANGO_SCALE, double(logical.height) / PANGO_SCALE};
}

} // namespace

FigureText::FigureText(cairo_t* cr, double fontSize, std::vector<PlacedText>* placed)
    : cr_(cr), fontSize_(fontSize), context_(pango_cairo_create_context(cr)), placed_(placed)
{
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    pango_cairo_context_set_font_options(context_, options);
    cairo_font_options_destroy(options);
    // Glyphs at their exact positions: rounding each to a whole unit (a point
    // here) spaces letters unevenly.
    pango_context_set_round_glyph_positions(context_, FALSE);
    // Points are the user units: the size must not be scaled by a screen resolution.
    pango_cairo_context_set_resolution(context_, 72.0);
    font_ = pango_font_description_from_string(kFigureFontFamily);
}

FigureText::~FigureText()
{
    pango_font_description_free(font_);
    g_object_unref(context_);
}

TextSize FigureText::Measure(const std::string& text, const TextLook& look) const
{
    return LogicalSize(MakeLayout(context_, font_, fontSize_, text, look).get());
}

int FigureText::Lines(const std::string& text, const TextLook& look) const
{
    return pango_layout_get_line_count(MakeLayout(context_, font_, fontSize_, text, look).get());
}

void FigureText::Show(const std::string& text, double x, double y, double ax, double ay, const TextLook& look) const
{
    ShowTurned(text, x, y, ax, ay, look, 0.0);
}

void FigureText::ShowUpward(const std::string& text, double x, double y) const
{
    ShowTurned(text, x, y, 0.5, 0.5, {}, 90.0);
}

void FigureText::ShowTurned(const std::string& text, double x, double y, double ax, double ay, const TextLook& look,
                            double angle) const
{
    cairo_save(cr_);
    cairo_translate(cr_, x, y);
    cairo_rotate(cr_, -angle * std::numbers::pi / 180.0);
    pango_cairo_update_context(cr_, context_);
    const LayoutPtr layout = MakeLayout(context_, font_, fontSize_, text, look);
    const TextSize size = LogicalSize(layout.get());
    const double left = -ax * size.width, top = -ay * size.height;
    if (placed_ == nullptr) {
        cairo_set_source_rgb(cr_, 0.0, 0.0, 0.0);
        cairo_move_to(cr_, left, top);
        pango_cairo_show_layout(cr_, layout.get());
        cairo_new_path(cr_);
    } else {
        // Each line from the start of its logical box on its baseline, in page points.
        PangoLayoutIter* iter = pango_layout_get_iter(layout.get());
        const char* all = pango_layout_get_text(layout.get());
        do {
            PangoLayoutLine* line = pango_layout_iter_get_line_readonly(iter);
            PangoRectangle logical;
            pango_layout_iter_get_line_extents(iter, nullptr, &logical);
            double px = left + double(logical.x) / PANGO_SCALE;
            double py = top + double(pango_layout_iter_get_baseline(iter)) / PANGO_SCALE;
            cairo_user_to_device(cr_, &px, &py);
            std::string part(all + line->start_index, std::size_t(line->length));
            while (!part.empty() && (part.back() == ' ' || part.back() == '\n'))
                part.pop_back();
            if (!part.empty())
                placed_->push_back({part, px, py, angle, fontSize_ * look.scale, look.bold});
        } while (pango_layout_iter_next_line(iter));
        pango_layout_iter_free(iter);
    }
    cairo_restore(cr_);
    pango_cairo_update_context(cr_, context_);
}

} // namespace tamrisk
