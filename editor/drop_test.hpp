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

// A tank has come to rest on a platform when it touches one and has moved slower than this for
// this long without a break.
constexpr float kRestSpeed = 0.2f;
constexpr float kRestSeconds = 0.5f;

struct TankDrop {
    // Landed: at rest on a platform. Sliding: it touched a platform but is not at rest on one.
    enum class End { Landed, DeathZone, Sliding, StillFalling };
    End end = End::StillFalling;
    float seconds = 0.0f;  // when it came to rest, or met the death zone
    float touched = -1.0f; // when it first touched a platform; -1: never
};

// Drops a tank from every spawn point for that long, or until every tank has come to rest or
// met the death zone.
std::vector<TankDrop> DropTanks(const MapData& map, float seconds);
