#include "tools/show_data/paint.h"

namespace show_data {

Rgb Ramp::operator()(float t) const {
    if (t <= stops.front().first) return stops.front().second;
    for (size_t i = 1; i < stops.size(); ++i) {
        if (t <= stops[i].first) {
            float k = Smooth(stops[i - 1].first, stops[i].first, t);
            return Mix(stops[i - 1].second, stops[i].second, k);
        }
    }
    return stops.back().second;
}

}  // namespace show_data
