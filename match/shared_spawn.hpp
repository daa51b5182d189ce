#pragma once

// Where a tank starts when it shares a spawn point (a map with fewer spawn points than
// players): a tank's width to the side of the tanks already there, so none starts inside
// another and bursts apart at "Go", and on the side that keeps it on the platform under the
// point.

#include "objects/json_data.hpp"
#include "objects/math_types.hpp"

#include <vector>

// From the outside of one wheel to the outside of the other: tanks this far apart only touch.
constexpr float kTankWidth = 2.6f;

// The start for one more tank at a spawn point that others already use, given every start
// handed out so far. Sideways by whole tank widths, nearest first and right before left,
// keeping the whole track on the platform under the point; where no place fits (a platform too
// small for two), the free place that hangs over its edge the least.
vec3 StartBesideSharedSpawn(vec3 point, const std::vector<vec3>& starts,
                            const std::vector<PlatformEntry>& platforms);
