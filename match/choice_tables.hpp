#pragma once

// The choices a player makes in player selection, by index, with what the match reads of them:
// face, turret and track texture names (the match maps them to character, bullet and track
// stats). Player selection shows them; a quick match takes each panel's default choices.

#include <array>

struct FaceChoice {
    const char* setting; // "PlayerFace" value
    const char* image;   // panel picture name
    const char* file;
};
inline constexpr std::array<FaceChoice, 4> kFaceChoices = {{
    {"FaceSprite_Vantu", "VantuFull", "../Resources/Texture/MainMenu/FaceSelect/Full_Face_Vantu.png"},
    {"FaceSprite_Pexie", "PexieFull", "../Resources/Texture/MainMenu/FaceSelect/Full_Face_Pexie.png"},
    {"FaceSprite_Quolle", "QuolleFull", "../Resources/Texture/MainMenu/FaceSelect/Full_Face_Quolle.png"},
    {"FaceSprite_Kibbit", "KibbitFull", "../Resources/Texture/MainMenu/FaceSelect/Face_Full_Kibbit.png"},
}};

struct TurretChoice {
    const char* setting; // "PlayerTurret" value and panel picture
    std::array<const char*, 4> stats;
};
inline constexpr std::array<TurretChoice, 4> kTurretChoices = {{
    {"BarrelSprite_Explosion", {"Explosion", "Bigger Explosion", "Early detonation", ""}},
    {"BarrelSprite_Splitting", {"Splitting", "Quick Charge Rate", "Splits into three", "smaller bullets  "}},
    {"BarrelSprite_Bouncing", {"Landmine", "Sticks to Walls", "Remote    ", "Detonation"}},
    {"BarrelSprite_Sniper", {"Sniper", "Powerful but Slow", "Accerlerate in a", "straight line   "}},
}};
inline constexpr std::array<const char*, 4> kTurretLabels = {"BULLET: ", "POWER: ", "TRIGGERED", "ABILITY: "};

struct TrackChoice {
    const char* setting; // "PlayerTrack" value and panel picture
    const char* jump;    // "PlayerTrackJump" value
    std::array<const char*, 4> stats;
};
inline constexpr std::array<TrackChoice, 5> kTrackChoices = {{
    {"TrackSprite_Rainbow", "TrackSprite_Rainbow_Jump", {"Classic", "+++", "+++", "+++"}},
    {"TrackSprite_Vantu", "TrackSprite_Vantu_Jump", {"Jumpy", "+++", "++++", "++"}},
    {"TrackSprite_Pexie", "TrackSprite_Pexie_Jump", {"Fast n Furious", "+++++", "+++", "+"}},
    {"TrackSprite_Quolle", "TrackSprite_Quolle_Jump", {"Tri-Hard", "++++", "++", "+++"}},
    {"TrackSprite_Kibbit", "TrackSprite_Kibbit_Jump", {"'Tank'-y", "++", "++", "+++++"}},
}};
inline constexpr std::array<const char*, 4> kTrackLabels = {
    "TRACKS: ", "MOVEMENT: ", "JUMPING: ", "TOUGHNESS: "};

// What each of the four panels starts on: face, turret and track indices.
struct PanelChoice {
    int face;
    int turret;
    int track;
};
inline constexpr std::array<PanelChoice, 4> kDefaultPanelChoices = {
    {{0, 0, 1}, {1, 1, 2}, {2, 2, 3}, {3, 3, 4}}};
