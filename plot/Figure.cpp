// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/Figure.h"

#include "plot/FigureDraw.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <memory>
#include <stdexcept>

namespace tamrisk {

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;

struct SinkStream {
    ByteSink* sink;
    std::exception_ptr error;
    const FigureStopCheck* stop = nullptr; // asked at every piece: encoding a large picture takes long
    bool stopped = false;
};

cairo_status_t WriteToSink(void* closure, const unsigned char* data, unsigned int length)
{
    auto* stream = static_cast<SinkStream*>(closure);
    if (stream->error || stream->stopped)
        return CAIRO_STATUS_WRITE_ERROR;
    if (*stream->stop && (*stream->stop)()) {
        stream->stopped = true;
        return CAIRO_STATUS_WRITE_ERROR;
    }
    try {
        stream->sink->Write(std::string_view(reinterpret_cast<const char*>(data), length));
    } catch (...) {
        stream->error = std::current_exception();
        return CAIRO_STATUS_WRITE_ERROR;
    }
    return CAIRO_STATUS_SUCCESS;
}

// The one page group <g id="surfaceN">, renumbered 1; nothing refers to it.
std::string WithFixedSurfaceId(const std::string& svg)
{
    static constexpr std::string_view kPageGroup = "<g id=\"surface";
    const std::size_t at = svg.find(kPageGroup);
    if (at == std::string::npos)
        return svg;
    const std::size_t digits = at + kPageGroup.size();
    const std::size_t end = svg.find('"', digits);
    if (end == std::string::npos)
        return svg;
    return svg.substr(0, digits) + "1" + svg.substr(end);
}

// Page texts as SVG text elements, in the font the layout measured them in,
// so that a vector editor can change them.
std::string TextElements(const std::vector<PlacedText>& texts)
{
    std::string svg;
    char number[64];
    const auto put = [&](const char* name, double v) {
        std::snprintf(number, sizeof number, " %s=\"%.3f\"", name, v);
        svg += number;
    };
    for (const PlacedText& t : texts) {
        svg += "<text";
        put("x", t.x);
        put("y", t.y);
        svg += std::string(" font-family=\"") + kFigureFontFamily + "\"";
        put("font-size", t.size);
        if (t.bold)
            svg += " font-weight=\"bold\"";
        if (t.angle != 0.0) {
            std::snprintf(number, sizeof number, " transform=\"rotate(%.3f %.3f %.3f)\"", -t.angle, t.x, t.y);
            svg += number;
        }
        svg += " fill=\"#000000\" xml:space=\"preserve\">";
        for (char c : t.text) {
            switch (c) {
            case '&':
                svg += "&amp;";
                break;
            case '<':
                svg += "&lt;";
                break;
            case '>':
                svg += "&gt;";
                break;
            default:
                svg += c;
            }
        }
        svg += "</text>\n";
    }
    return svg;
}

// The texts go last, over everything the drawing library wrote.
std::string WithTexts(const std::string& svg, const std::vector<PlacedText>& texts)
{
    const std::size_t end = svg.rfind("</svg>");
    if (end == std::string::npos)
        return svg;
    return svg.substr(0, end) + TextElements(texts) + svg.substr(end);
}

// The PNG's resolution in a pHYs chunk right after its header (IHDR), so
// that a document places the picture at its size in millimetres.
std::string WithResolution(const std::string& png, double dpi)
{
    constexpr std::size_t kAfterHeader = 8 + 4 + 4 + 13 + 4; // signature, IHDR length, type, data, CRC
    if (png.size() < kAfterHeader)
        return png;
    const auto pixelsPerMetre = std::uint32_t(std::lround(dpi / 0.0254));
    std::string chunk = "pHYs";
    for (int twice = 0; twice < 2; ++twice)
        for (int shift = 24; shift >= 0; shift -= 8)
            chunk += char((pixelsPerMetre >> shift) & 0xFF);
    chunk += char(1); // unit: the metre
    const uLong crc = crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(chunk.data()), uInt(chunk.size()));
    std::string bytes;
    for (std::uint32_t v : {std::uint32_t(9)}) {
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes += char((v >> shift) & 0xFF);
    }
    bytes += chunk;
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes += char((std::uint32_t(crc) >> shift) & 0xFF);
    return png.substr(0, kAfterHeader) + bytes + png.substr(kAfterHeader);
}

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
    void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};

FigureFrame Write(const FigureOptions& options, const FigureSource& source, ByteSink& sink,
                  std::vector<std::string>* notes, const FigureStopCheck& stop)
{
    if (const std::optional<std::string> refusal = CheckFigureOptions(options))
        throw std::invalid_argument(*refusal);
    const double heightMm = options.heightMm == 0.0 ? DefaultFigureHeightMm(options.kind) : options.heightMm;
    const double width = options.widthMm * kPointsPerMm;
    const double height = heightMm * kPointsPerMm;

    // The SVG and the PNG are gathered first: the SVG: its page group carries a process-wide
    // surface number, which is set to one fixed value before the bytes go out.
    // and the PNG takes its resolution chunk.
    StringSink buffer;
    SinkStream stream{options.format == FigureFormat::Pdf ? &sink : &buffer, nullptr, &stop};
    std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface;
    double scale = 1.0;
    switch (options.format) {
    case FigureFormat::Svg:
        surface.reset(cairo_svg_surface_create_for_stream(WriteToSink, &stream, width, height));
        break;
    case FigureFormat::Pdf:
        surface.reset(cairo_pdf_surface_create_for_stream(WriteToSink, &stream, width, height));
        // An empty date leaves the creation date out, so equal inputs give equal bytes.
        cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_CREATE_DATE, "");
        if (!options.title.empty())
            cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_TITLE, options.title.c_str());
        break;
    case FigureFormat::Png:
        scale = options.dpi / 72.0;
        surface.reset(cairo_image_surface_create(CAIRO_FORMAT_RGB24, int(std::lround(width * scale)),
                                                 int(std::lround(height * scale))));
        break;
    }

    std::vector<std::string> ownNotes;
    std::vector<PlacedText> texts;
    FigureFrame frame;
    {
        std::unique_ptr<cairo_t, ContextDeleter> cr(cairo_create(surface.get()));
        cairo_scale(cr.get(), scale, scale);
        frame = DrawFigure(cr.get(), width, height, options, source, notes ? *notes : ownNotes, stop,
                           options.format == FigureFormat::Svg ? &texts : nullptr);
    }
    if (options.format == FigureFormat::Png && cairo_surface_status(surface.get()) == CAIRO_STATUS_SUCCESS)
        cairo_surface_write_to_png_stream(surface.get(), WriteToSink, &stream);
    cairo_surface_finish(surface.get());
    const cairo_status_t status = cairo_surface_status(surface.get());
    surface.reset();
    if (stream.stopped)
        throw FigureStopped();
    if (stream.error)
        std::rethrow_exception(stream.error);
    if (status != CAIRO_STATUS_SUCCESS)
        throw FileError(std::string("the figure could not be drawn: ") + cairo_status_to_string(status));
    if (options.format == FigureFormat::Svg)
        sink.Write(WithTexts(WithFixedSurfaceId(buffer.data()), texts));
    if (options.format == FigureFormat::Png)
        sink.Write(WithResolution(buffer.data(), options.dpi));
    return frame;
}

} // namespace

FigureFrame WriteFigure(const FigureOptions& options, const ModelParameters& params, const DisplayFlags& flags,
                        const DepthProfile& profile, const SignalCurves& curves, ByteSink& sink,
                        std::vector<std::string>* notes, const FigureStopCheck& stop)
{
    if (options.kind != PlotKind::Depth && options.kind != PlotKind::Signal)
        throw std::invalid_argument("a scan map or a sweep family is drawn from its numbers");
    FigureSource source;
    source.params = &params;
    source.flags = &flags;
    source.profile = &profile;
    source.curves = &curves;
    return Write(options, source, sink, notes, stop);
}

FigureFrame WriteDataFigure(const FigureOptions& options, const FigureData& data, ByteSink& sink,
                            std::vector<std::string>* notes, const FigureStopCheck& stop)
{
    if (options.kind != PlotKind::Scan && options.kind != PlotKind::Sweep)
        throw std::invalid_argument("the window's plots are drawn from the model");
    if (const std::optional<std::string> refusal = CheckFigureData(options.kind, data))
        throw std::invalid_argument(*refusal);
    FigureSource source;
    source.data = &data;
    return Write(options, source, sink, notes, stop);
}

FigureFrame WriteFitFigure(const FigureOptions& options, const FitFigureData& data, ByteSink& sink,
                           std::vector<std::string>* notes, const FigureStopCheck& stop)
{
    if (options.kind != PlotKind::Fit)
        throw std::invalid_argument("a fit's figure is drawn as kind fit");
    FigureSource source;
    source.fit = &data;
    return Write(options, source, sink, notes, stop);
}

} // namespace tamrisk
