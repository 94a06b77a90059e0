#include "html/ComputedStyle.h"

#include <cmath>

namespace Html {

int Length::Resolve(int reference, int fallback) const
{
    switch (unit) {
    case Unit::Px: return static_cast<int>(std::lround(value));
    case Unit::Percent: return static_cast<int>(std::floor(reference * value / 100.0f + 0.001f));
    case Unit::Number: return static_cast<int>(std::lround(reference * value));
    default: return fallback;
    }
}

}  // namespace Html
