#pragma once

// Whether a tank dropped from each spawn point lands: the map's arena is built as the match
// builds it (platforms and death border), a real tank from the prefab factory is put at every
// spawn point, and the physics is stepped as the engine steps it. The tanks share one player's
// collision group, so they fall through each other as if each fell alone.
//
// It builds in the object world and empties it afterwards, so it runs where no other object
// lives: the editor takes its picture down first and builds it again after.

#include "objects/json_data.hpp"

#include <vector>

struct TankDrop {
    enum class End { Landed, DeathZone, StillFalling };
    End end = End::StillFalling;
    float seconds = 0.0f; // when it touched the platform or the death zone
};

std::vector<TankDrop> DropTanks(const MapData& map, float seconds);
