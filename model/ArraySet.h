// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

namespace tamrisk::detail {

// Brings a set of arrays to the given size without ever leaving it half
// resized: arrays that already fit are reused (nothing can fail), otherwise a
// complete new set is allocated first and swapped in by commit(). Whatever
// throws std::bad_alloc does so before anything has been changed.
template <std::size_t N>
class ArraySet {
public:
    ArraySet(const std::array<std::vector<float>*, N>& target, std::size_t size) : target_(target)
    {
        const bool fits = std::all_of(target.begin(), target.end(),
                                      [size](const std::vector<float>* a) { return a->size() == size; });
        if (!fits) {
            for (std::vector<float>& a : fresh_) {
                a.resize(size);
            }
            replace_ = true;
        }
    }

    void commit() noexcept
    {
        if (replace_) {
            for (std::size_t i = 0; i < N; ++i) {
                target_[i]->swap(fresh_[i]);
            }
        }
    }

private:
    std::array<std::vector<float>*, N> target_;
    std::array<std::vector<float>, N> fresh_;
    bool replace_ = false;
};

} // namespace tamrisk::detail
