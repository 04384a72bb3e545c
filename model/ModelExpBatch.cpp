#include "model/ModelExp.h"

#include <cstdlib>
#include <cstring>
#include <iterator>

namespace tamrisk::detail {

void ModelExpBatchAvx2(const double* in, double* out, std::size_t count);
void ModelExpBatchAvx512(const double* in, double* out, std::size_t count);

namespace {

void ModelExpBatchScalar(const double* in, double* out, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        out[i] = ModelExp(in[i]);
}

} // namespace

bool LaneKernelAvailable(LaneKernel kernel)
{
    __builtin_cpu_init();  // safe to ask even before static constructors ran
    switch (kernel) {
    case LaneKernel::Scalar:
        return true;
    case LaneKernel::Avx2:
        return __builtin_cpu_supports("avx2");
    case LaneKernel::Avx512:
        // Also false where the system does not save the AVX-512 registers.
        return __builtin_cpu_supports("avx512f");
    }
    return false;
}

namespace {

LaneKernel ChooseLaneKernel()
{
    const char* const names[] = {"scalar", "avx2", "avx512"};
    if (const char* wanted = std::getenv("TAMRISK_LANES")) {
        for (std::size_t k = 0; k < std::size(kLaneKernels); ++k) {
            if (std::strcmp(wanted, names[k]) == 0 && LaneKernelAvailable(kLaneKernels[k]))
                return kLaneKernels[k];
        }
    }
    LaneKernel best = LaneKernel::Scalar;
    for (LaneKernel kernel : kLaneKernels) {
        if (LaneKernelAvailable(kernel))
            best = kernel;
    }
    return best;
}

} // namespace

LaneKernel BestLaneKernel()
{
    static const LaneKernel best = ChooseLaneKernel();
    return best;
}

void ModelExpBatch(LaneKernel kernel, const double* in, double* out, std::size_t count)
{
    using Batch = void (*)(const double*, double*, std::size_t);
    FormFor<Batch>(kernel, ModelExpBatchScalar, ModelExpBatchAvx2, ModelExpBatchAvx512)(in, out, count);
}

void ModelExpBatch(const double* in, double* out, std::size_t count)
{
    ModelExpBatch(BestLaneKernel(), in, out, count);
}

} // namespace tamrisk::detail
