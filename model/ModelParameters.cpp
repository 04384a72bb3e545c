// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ModelParameters.h"

#include "lanes/ModelExp.h"

#include <cmath>
#include <numbers>

namespace tamrisk {

void DeriveFromExtinction(ModelParameters& params)
{
    const double mu = params.extinction;
    params.halfValueDepth = static_cast<float>(std::numbers::ln2 / mu);
    params.transmission = static_cast<float>(detail::ModelExp(-mu));
}

} // namespace tamrisk
