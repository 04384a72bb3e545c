// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/Figure.h"

#include "plot/FigureDraw.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
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

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
    void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};

} // namespace

FigureFrame WriteFigure(const FigureOptions& options, const ModelParameters& params, const DisplayFlags& flags,
                        const DepthProfile& profile, const SignalCurves& curves, ByteSink& sink,
                        std::vector<std::string>* notes, const FigureStopCheck& stop)
{
    if (const std::optional<std::string> refusal = CheckFigureOptions(options))
        throw std::invalid_argument(*refusal);
    std::vector<std::string> ownNotes;
    return WritePage(options, sink, stop, [&](cairo_t* cr, double width, double height) {
        return DrawFigure(cr, width, height, options, params, flags, profile, curves, notes ? *notes : ownNotes, stop);
    });
}

FigureFrame WritePage(const FigureOptions& options, ByteSink& sink, const FigureStopCheck& stop,
                      const std::function<FigureFrame(cairo_t*, double, double)>& draw)
{
    const double heightMm = options.heightMm == 0.0 ? DefaultFigureHeightMm(options.kind) : options.heightMm;
    const double width = options.widthMm * kPointsPerMm;
    const double height = heightMm * kPointsPerMm;

    // The SVG is gathered first: its page group carries a process-wide
    // surface number, which is set to one fixed value before the bytes go out.
    StringSink svgBuffer;
    SinkStream stream{options.format == FigureFormat::Svg ? &svgBuffer : &sink, nullptr, &stop};
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

    FigureFrame frame;
    {
        std::unique_ptr<cairo_t, ContextDeleter> cr(cairo_create(surface.get()));
        cairo_scale(cr.get(), scale, scale);
        frame = draw(cr.get(), width, height);
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
        sink.Write(WithFixedSurfaceId(svgBuffer.data()));
    return frame;
}

} // namespace tamrisk
