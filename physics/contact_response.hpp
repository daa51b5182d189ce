#pragma once

#include "physics/manifold.hpp"

// Mixes the two bodies' materials into the manifold: mean frictions, the smaller restitution,
// and no bounce at all when a contact point meets at walking pace.
void MixMaterials(Manifold& m);
// One pass of normal impulses over the manifold's points, each divided by the pair's point count.
void ApplyImpulse(Manifold& m, float count);
// Pushes the bodies apart by the whole penetration found at detection, divided by the pair's
// point count, and writes the moved bodies' positions to their transforms.
void CorrectPosition(Manifold& m, float count);
