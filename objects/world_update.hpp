#pragma once

// Recomputes the world transforms of the scene, once per frame, root by root.
//
// A root object that is switched off and has nothing hanging below it (a spent bullet, a
// finished explosion: a long match leaves thousands) is left out: nothing moves it while it is
// off, so it keeps the world pose of its last update, and it is taken in again as soon as it
// is switched back on. Every other root is recomputed with its whole subtree.
void UpdateWorldTransforms();

// The roots changed other than by new objects hanging from the World Root: the next update
// looks at every root again.
void InvalidateWorldUpdate();
