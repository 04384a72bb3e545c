// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The natural logarithm of the logarithmic scan axes, written out in plain
// double operations (no FMA, -ffp-contract=off), so that the axis values are
// the same on every processor, like the model's exponential.
double ModelLog(double x);
