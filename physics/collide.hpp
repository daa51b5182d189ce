#pragma once

#include "physics/collider.hpp"
#include "physics/manifold.hpp"

// Exact tests. Each fills the manifold and returns true when the shapes touch; on false the
// manifold's content means nothing.
bool CollideCircles(const CircleCollider& first, const CircleCollider& second, Manifold& m);
bool CollideBoxAndCircle(const OBBCollider& box, const CircleCollider& circle, Manifold& m);
// Picks the test by the two shape types. A circle and a box always run with the box first;
// two boxes never touch.
bool Collide(Collider2D& first, Collider2D& second, Manifold& m);

// The box's turn in degrees: its owner's rotation about z.
float BoxTurn(const OBBCollider& box);
