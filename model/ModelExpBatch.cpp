#include "model/ModelExp.h"

namespace tamrisk::detail {

void ModelExpBatchAvx2(const double* in, double* out, std::size_t count);

bool LaneKernelAvailable(LaneKernel kernel)
{
    switch (kernel) {
    case LaneKernel::Scalar:
        return true;
    case LaneKernel::Avx2:
        __builtin_cpu_init();  // safe to ask even before static constructors ran
        return __builtin_cpu_supports("avx2");
    }
    return false;
}

LaneKernel BestLaneKernel()
{
    static const LaneKernel best = LaneKernelAvailable(LaneKernel::Avx2) ? LaneKernel::Avx2 : LaneKernel::Scalar;
    return best;
}

void ModelExpBatch(LaneKernel kernel, const double* in, double* out, std::size_t count)
{
    if (kernel == LaneKernel::Avx2) {
        ModelExpBatchAvx2(in, out, count);
        return;
    }
    for (std::size_t i = 0; i < count; ++i)
        out[i] = ModelExp(in[i]);
}

void ModelExpBatch(const double* in, double* out, std::size_t count)
{
    ModelExpBatch(BestLaneKernel(), in, out, count);
}

} // namespace tamrisk::detail
