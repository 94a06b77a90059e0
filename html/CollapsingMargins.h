#pragma once

#include <algorithm>

namespace Html {

// Vertical margins that adjoin collapse into one: the largest positive margin plus the most
// negative one. Keeping both sides, rather than a running total, keeps a run of mixed margins right
// whatever order they come in.
struct CollapsingMargins {
    int positive = 0;
    int negative = 0;

    void Add(int margin)
    {
        positive = std::max(positive, margin);
        negative = std::min(negative, margin);
    }
    void Add(const CollapsingMargins& other)
    {
        positive = std::max(positive, other.positive);
        negative = std::min(negative, other.negative);
    }
    int Value() const { return positive + negative; }
};

}  // namespace Html
