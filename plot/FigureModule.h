// SPDX-License-Identifier: GPL-3.0-or-later
/* The figure module's interface, in plain C: the command-line tool carries
 * its own copy of the C++ runtime and the module uses the shared one, so
 * between them pass only C structs, texts as pointer and length, numbers and
 * a write function; no C++ object and no exception. */
#pragma once

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The module refuses a request of another version. */
#define TAMRISK_FIGURE_INTERFACE_VERSION 4

#define TAMRISK_FIGURE_MODULE_FILE "tamrisk-figures.so"
#define TAMRISK_DRAW_FIGURE_SYMBOL "tamrisk_draw_figure"

/* One curve the plot shows: the name of its flag ("showIntensity", ...) and
 * at least as many values as the plot has samples. */
typedef struct TamriskFigureCurve {
    const char* name;
    size_t nameLength;
    const float* values;
    size_t count;
} TamriskFigureCurve;

/* One data set of a fit's figure: `count` points (x, y, their standard
 * errors and normalised residuals) and `curveCount` samples of the fitted
 * curve with the low and high ends of its 95 % band. */
typedef struct TamriskFigureFitSet {
    const char* name; /* UTF-8 */
    size_t nameLength;
    const double* x;
    const double* y;
    const double* sigma;
    const double* residual;
    size_t count;
    const double* curveX;
    const double* curveY;
    const double* curveLow;
    const double* curveHigh;
    size_t curveCount;
} TamriskFigureFitSet;

/* A fit's figure: the axis labels (UTF-8) and the data sets. */
typedef struct TamriskFigureFit {
    const char* xLabel;
    size_t xLabelLength;
    const char* yLabel;
    size_t yLabelLength;
    const TamriskFigureFitSet* sets;
    size_t setCount;
} TamriskFigureFit;

/* Everything a figure is drawn from. The numbers in the enumerations'
 * order: kind 0 depth, 1 signal, 2 scan map, 3 sweep family, 4 fit; format 0 SVG,
 * 1 PDF, 2 PNG; language 0 English, 1 German; style 0 print, 1 window;
 * legend 0 automatic, 1 inside, 2 right, 3 below, 4 none. */
typedef struct TamriskFigureRequest {
    int version; /* TAMRISK_FIGURE_INTERFACE_VERSION */

    int kind;
    int format;
    double widthMm;
    double heightMm; /* 0: the plot's own height */
    double dpi;
    double fontSize;   /* pt */
    const char* title; /* UTF-8; length 0: no title */
    size_t titleLength;
    int language;
    int logValues; /* 0 or 1 */
    int logTime;   /* 0 or 1 */

    /* The model's sample grids and the plots' axis ranges, as the window has
     * them after its last run (automatic maxima in place). */
    int depthPoints;
    int timePoints;
    float top;
    float bottom;
    float timeMin;
    float timeMax;
    float plotMax;
    float intensityMin;
    float intensityMax;

    /* The shown curves of the plot. */
    const TamriskFigureCurve* curves;
    size_t curveCount;

    int style;
    int legend;

    /* Scan map and sweep family: the table's numbers (see plot/FigureData.h),
     * each column named as the table names it. */
    const char* xColumn;
    size_t xColumnLength;
    const char* yColumn;
    size_t yColumnLength;
    const char* zColumn;
    size_t zColumnLength;
    const double* x;
    size_t xCount;
    const double* y;
    size_t yCount;
    const double* z;      /* xCount * yCount values */
    int xLog;             /* 0 or 1 */
    int yLog;             /* 0 or 1 */
    const double* levels; /* a map's contour levels; none: chosen round */
    size_t levelCount;

    /* Asked often while the figure is drawn and encoded (between curves,
     * segments, contour levels and written pieces); an answer other than 0
     * stops the drawing: the module then returns TAMRISK_FIGURE_STOPPED.
     * May be NULL. It must be cheap and must not throw. */
    int (*stopRequested)(void);

    /* Fit: its data sets and curves; NULL for the other kinds. */
    const TamriskFigureFit* fit;
} TamriskFigureRequest;

/* What the module writes through TamriskFigureWrite. */
enum TamriskFigureOutput {
    TAMRISK_FIGURE_BYTES = 0, /* the figure file's bytes, in order */
    TAMRISK_FIGURE_NOTE = 1,  /* one note worth telling the user */
    TAMRISK_FIGURE_ERROR = 2  /* why the figure could not be drawn */
};

/* What the draw function returns besides 0 (drawn) and 1 (not drawn). */
#define TAMRISK_FIGURE_STOPPED 2

/* Takes `length` bytes of one output; returns 0 when it took them, anything
 * else to stop the module. It must not throw. */
typedef int (*TamriskFigureWrite)(void* context, int output, const char* bytes, size_t length);

/* Draws the figure in memory. Drawn: the notes, then the figure's bytes, and
 * 0. Not drawn: at most one error text, no bytes, and a value other than 0;
 * stopped by stopRequested: nothing written, and TAMRISK_FIGURE_STOPPED. */
typedef int (*TamriskDrawFigure)(const TamriskFigureRequest* request, TamriskFigureWrite write, void* context);

/* Defined in the module only; a program that links the figures can call it
 * directly instead of loading the module. */
int tamrisk_draw_figure(const TamriskFigureRequest* request, TamriskFigureWrite write, void* context);

#ifdef __cplusplus
}
#endif
