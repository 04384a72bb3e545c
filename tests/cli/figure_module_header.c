/* Compiled as C by the test cli_figure_module_header_is_c: the figure
   module's interface needs no C++ to be used. */
#include "plot/FigureModule.h"

static int Discard(void* context, int output, const char* bytes, size_t length)
{
    (void)context;
    (void)output;
    (void)bytes;
    return length > 0 ? 0 : 1;
}

int DrawNothing(TamriskDrawFigure draw);

int DrawNothing(TamriskDrawFigure draw)
{
    TamriskFigureRequest request = {0};
    request.version = TAMRISK_FIGURE_INTERFACE_VERSION;
    return draw(&request, Discard, 0);
}
