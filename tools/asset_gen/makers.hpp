#pragma once

// One function per kind of picture; the manifest binds them to file paths and sizes.

#include "drawing/arena_background.hpp"
#include "drawing/canvas.hpp"
#include "tools/asset_gen/art.hpp"

#include <string>

namespace assetgen {

// The pictures are drawn with the game's drawing library.
using namespace drawing;

// Tank parts and sprite sheets.
void makeBody(Canvas& c);
void makeEyes(Canvas& c);
void makeFace(Canvas& c, Character who);
void makePortrait(Canvas& c, Character who);
void makeTracks(Canvas& c, TrackKind kind, bool jumping);
void makeBarrel(Canvas& c, BarrelKind kind);
void makeAimingArrow(Canvas& c);
void makePickUpAura(Canvas& c);
void makeIndicator(Canvas& c, int player);
void makePlayerNumber(Canvas& c, int player);
// "CPU" on a small plate, under a computer's badge.
void makeComputerTag(Canvas& c);

// Bullets, effects and arena pieces.
void makeBullet(Canvas& c, BulletKind kind);
void makeRocketBody(Canvas& c);
void makeRocketHead(Canvas& c);
void makeRocketWarning(Canvas& c);
void makeArtilleryWarning(Canvas& c);
void makeExplosion(Canvas& c);
void makeCrate(Canvas& c);
void makePickup(Canvas& c, PickupKind kind);
void makeStarParticle(Canvas& c);
void makeSmokeParticle(Canvas& c);
void makeBlackholeParticle(Canvas& c);
void makeExpulsionParticle(Canvas& c);
void makeBox(Canvas& c);
void makeBlackBox(Canvas& c);
void makePlatform(Canvas& c);
void makeStatsPanel(Canvas& c);
void makeBlackOverlay(Canvas& c);
void makeGameIcon(Canvas& c);
// Tangent-space normals of a crack pattern, drawn at the same density whatever the ratio.
void makeCrackMap(Canvas& c, unsigned seed);

// Interface.
enum class ButtonShape { Tab, Pill };
void makeButton(Canvas& c, const std::string& label, bool highlighted, ButtonShape shape);
// Large words with an outline: titles, banners, labels.
enum class WordsLook { Title, Label, Banner, Tinted, Go };
void makeWords(Canvas& c, const std::string& text, WordsLook look);
void makeUiFont(Canvas& c);
void makeCheckbox(Canvas& c, bool ticked);
void makeArrow(Canvas& c);
void makeSelectionHighlight(Canvas& c);
void makeOptionPanel(Canvas& c);
void makeReadyStamp(Canvas& c);
void makeControlSchemeGamepad(Canvas& c, int pad);
void makeControlSchemeKeyboard(Canvas& c, bool leftHalf);
void makeControlSchemeComputer(Canvas& c);
void makeHeart(Canvas& c, bool left);

// Full-screen and large pictures.
void makeTitle(Canvas& c);
void makeTutorialPage(Canvas& c, int page);
void makeCreditsPanel(Canvas& c);
void makeControllerSplash(Canvas& c);
void makeStudioLogo(Canvas& c);
void makeTeamLogo(Canvas& c);
void makeMenuBackground(Canvas& c);
// Arena backgrounds by theme name come from drawing/arena_background.hpp.
void makeCustomMapPreview(Canvas& c, const std::string& caption);

} // namespace assetgen
