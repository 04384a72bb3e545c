// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/FigureText.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <memory>
#include <numbers>

namespace tamrisk {

namespace {

// One shared family, present on every machine the project installs.
constexpr const char* kFontFamily = "DejaVu Sans";

struct LayoutDeleter {
    void operator()(PangoLayout* layout) const { g_object_unref(layout); }
};
using LayoutPtr = std::unique_ptr<PangoLayout, LayoutDeleter>;

LayoutPtr MakeLayout(PangoContext* context, PangoFontDescription* font, const std::string& markup)
{
    LayoutPtr layout(pango_layout_new(context));
    pango_layout_set_font_description(layout.get(), font);
    pango_layout_set_markup(layout.get(), markup.c_str(), -1);
    return layout;
}

TextSize LogicalSize(PangoLayout* layout)
{
    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    return {double(logical.width) / PANGO_SCALE, double(logical.height) / PANGO_SCALE};
}

} // namespace

FigureText::FigureText(cairo_t* cr, double fontSize) : cr_(cr), context_(pango_cairo_create_context(cr))
{
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    pango_cairo_context_set_font_options(context_, options);
    cairo_font_options_destroy(options);
    // Points are the user units: the size must not be scaled by a screen resolution.
    pango_cairo_context_set_resolution(context_, 72.0);
    font_ = pango_font_description_from_string(kFontFamily);
    pango_font_description_set_absolute_size(font_, fontSize * PANGO_SCALE);
}

FigureText::~FigureText()
{
    pango_font_description_free(font_);
    g_object_unref(context_);
}

TextSize FigureText::Measure(const std::string& markup) const
{
    return LogicalSize(MakeLayout(context_, font_, markup).get());
}

void FigureText::Show(const std::string& markup, double x, double y, double ax, double ay) const
{
    pango_cairo_update_context(cr_, context_);
    const LayoutPtr layout = MakeLayout(context_, font_, markup);
    const TextSize size = LogicalSize(layout.get());
    cairo_set_source_rgb(cr_, 0.0, 0.0, 0.0);
    cairo_move_to(cr_, x - ax * size.width, y - ay * size.height);
    pango_cairo_show_layout(cr_, layout.get());
    cairo_new_path(cr_);
}

void FigureText::ShowUpward(const std::string& markup, double x, double y) const
{
    cairo_save(cr_);
    cairo_translate(cr_, x, y);
    cairo_rotate(cr_, -std::numbers::pi / 2.0);
    Show(markup, 0.0, 0.0, 0.5, 0.5);
    cairo_restore(cr_);
    pango_cairo_update_context(cr_, context_);
}

std::string EscapeMarkup(const std::string& text)
{
    char* escaped = g_markup_escape_text(text.c_str(), -1);
    std::string result(escaped);
    g_free(escaped);
    return result;
}

} // namespace tamrisk
