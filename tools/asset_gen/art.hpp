#pragma once

// The game's palette and the drawings shared between pictures: the tank parts, the items and
// the interface pieces. Every drawing takes an Xf, so the same code makes a sprite sheet cell,
// a menu portrait or a figure in a tutorial page.

#include "drawing/canvas.hpp"
#include "drawing/paint.hpp"
#include "drawing/shapes.hpp"
#include "tools/asset_gen/text.hpp"

#include <array>
#include <string>

namespace assetgen {

// The pictures are drawn with the game's drawing library.
using namespace drawing;

inline const Rgba kCream = rgb(0xfff4dc);
inline const Rgba kPlum = rgb(0x5a469e);   // plain buttons and panels
inline const Rgba kGold = rgb(0xffbe2e);   // highlights
inline const Rgba kOrange = rgb(0xff7a2c); // highlights, lower tone
inline const Rgba kSteel = rgb(0xbcb8cf);

enum class Character { Vantu, Quolle, Kibbit, Pexie };
inline constexpr std::array<Character, 4> kCharacters = {Character::Vantu, Character::Quolle,
                                                         Character::Kibbit, Character::Pexie};
const char* nameOf(Character c);

struct CharacterPalette {
    Rgba main;   // fur
    Rgba light;  // muzzle, inner ears
    Rgba accent; // nose, hair, hubs
};
const CharacterPalette& paletteOf(Character c);

enum class TrackKind { Rainbow, Vantu, Quolle, Kibbit, Pexie };
enum class BarrelKind { Basic, Explosion, Splitting, Sniper, Sticky };
enum class BulletKind {
    Basic,
    Exploding,
    Splitting,
    Sticky,
    Ricochet,
    Sniper,
    BlackHole,
    Expulsion,
    Artillery
};
enum class PickupKind { Artillery, Expulsion, BlackHole };

// Tank parts, in the game's tank units: origin at the tank's root, y up, a tank about 2.6 wide.
void drawBody(Canvas& c, const Xf& tank);
// column 0 ahead, 1 looking left, 2 looking right, 3 dizzy.
void drawEyes(Canvas& c, const Xf& tank, int column);
// The character's head, with the window through which the eyes look left open.
void drawFace(Canvas& c, const Xf& tank, Character who);
// frame 0..2 of the tread animation.
void drawTrack(Canvas& c, const Xf& track, TrackKind kind, int frame, bool jumping);
// In the barrel's own units: the quad is 0.64 x 1.28 around the origin, pointing up.
void drawBarrel(Canvas& c, const Xf& barrel, BarrelKind kind);

struct TankFigure {
    Character who = Character::Vantu;
    TrackKind track = TrackKind::Rainbow;
    BarrelKind barrel = BarrelKind::Explosion;
    float turretDegrees = 20;
    int eyes = 0;
    int player = -1; // 0..3 adds the player's aiming arrow
};
// A whole tank, for illustrations.
void drawTankFigure(Canvas& c, const Xf& tank, const TankFigure& figure);

// Items drawn around the origin, one unit being the width of the sprite.
void drawBullet(Canvas& c, const Xf& xf, BulletKind kind);
void drawPickup(Canvas& c, const Xf& xf, PickupKind kind);
void drawCrate(Canvas& c, const Xf& xf);
void drawExplosion(Canvas& c, const Xf& xf);
Rgba colourOf(PickupKind kind);

// Interface pieces, in pixels.
void drawKeycap(Canvas& c, Vec2 centre, float size, const std::string& label, Rgba colour);
float keycapWidth(const std::string& label, float size);
// A gamepad seen from the front, about 2 units wide; the listed parts glow in colour.
struct PadMarks {
    bool leftStick = false, rightStick = false, a = false, x = false, trigger = false;
};
void drawGamepad(Canvas& c, const Xf& xf, const PadMarks& marks, Rgba glowColour);
// A keyboard, about 3 units wide, with its left or right half marked.
void drawKeyboard(Canvas& c, const Xf& xf, bool leftHalf, Rgba markColour);
// A rounded panel with a border, in pixels.
void drawPanel(Canvas& c, Bounds area, Rgba fill, Rgba border, float radius, float outline);

// Frame that maps a local rectangle (centre, width in units) onto the whole canvas width.
Xf fitFrame(const Canvas& c, Vec2 localCentre, float unitsWide);

// Text styles used across the interface.
TextStyle titleText(float outline);
// Plain dark words on light panels.
TextStyle bodyText();

} // namespace assetgen
