// Every picture at a fixed path, one row each. Sizes follow the quad each is drawn on: a world
// sprite's aspect is its scale x / y; an interface image's is 1.6 x scale x / y, since the
// interface spans -1..1 both ways over a 16:10 picture.
#include "tools/asset_gen/manifest.hpp"

#include "tools/asset_gen/makers.hpp"

namespace assetgen {

namespace {

using Draw = std::function<void(Canvas&)>;

PictureEntry pic(std::string path, int w, int h, float aspect, Draw draw) {
    return {"Texture/" + std::move(path), w, h, 1, aspect, false, std::move(draw)};
}

PictureEntry sheet(std::string path, int w, int h, int columns, float cellAspect, Draw draw) {
    return {"Texture/" + std::move(path), w, h, columns, cellAspect, false, std::move(draw)};
}

PictureEntry words(std::string path, int w, int h, float aspect, Draw draw) {
    return {"Texture/" + std::move(path), w, h, 1, aspect, true, std::move(draw)};
}

// A plain and a highlighted button of the same size.
void buttonPair(std::vector<PictureEntry>& out, const std::string& plain, const std::string& highlighted,
                const std::string& label, int w, int h, float aspect, ButtonShape shape) {
    out.push_back(pic(plain, w, h, aspect, [=](Canvas& c) { makeButton(c, label, false, shape); }));
    out.push_back(pic(highlighted, w, h, aspect, [=](Canvas& c) { makeButton(c, label, true, shape); }));
}

} // namespace

// Sizes are at most the pixels a picture covers on a 1280 x 800 window where it is drawn largest:
// every pixel more is memory the renderer holds for nothing.
std::vector<PictureEntry> fixedPictures() {
    std::vector<PictureEntry> out;
    auto add = [&](PictureEntry s) { out.push_back(std::move(s)); };

    // Tank parts (about 100 pixels per tank unit; the sprite pass samples them unfiltered).
    add(pic("Player/Body.png", 128, 144, 1.28f / 1.44f, makeBody));
    add(sheet("Player/Eyes.png", 720, 84, 4, 0.9f / 0.42f, makeEyes));
    static const char* kFaces[] = {"Vantu", "Quolle", "Kibbit", "Pexie"};
    for (int i = 0; i < 4; ++i) {
        Character who = kCharacters[i];
        add(pic(std::string("Player/Faces/Face_") + kFaces[i] + ".png", 256, 256, 1.0f,
                [who](Canvas& c) { makeFace(c, who); }));
    }
    // The portraits of the selection panels and the life icons of the HUD.
    add(pic("MainMenu/FaceSelect/Full_Face_Vantu.png", 320, 200, 1.6f,
            [](Canvas& c) { makePortrait(c, Character::Vantu); }));
    add(pic("MainMenu/FaceSelect/Full_Face_Quolle.png", 320, 200, 1.6f,
            [](Canvas& c) { makePortrait(c, Character::Quolle); }));
    add(pic("MainMenu/FaceSelect/Face_Full_Kibbit.png", 320, 200, 1.6f,
            [](Canvas& c) { makePortrait(c, Character::Kibbit); }));
    add(pic("MainMenu/FaceSelect/Full_Face_Pexie.png", 320, 200, 1.6f,
            [](Canvas& c) { makePortrait(c, Character::Pexie); }));
    struct Track {
        const char* suffix;
        TrackKind kind;
    };
    for (Track t : {Track{"", TrackKind::Rainbow}, Track{"_Vantu", TrackKind::Vantu},
                    Track{"_Quolle", TrackKind::Quolle}, Track{"_Kibbit", TrackKind::Kibbit},
                    Track{"_Pexie", TrackKind::Pexie}}) {
        TrackKind kind = t.kind;
        add(sheet(std::string("Player/Tracks/Tracks_Move") + t.suffix + ".png", 768, 96, 3, 2.56f / 0.96f,
                  [kind](Canvas& c) { makeTracks(c, kind, false); }));
        add(sheet(std::string("Player/Tracks/Tracks_Jump") + t.suffix + ".png", 768, 112, 3, 2.56f / 1.12f,
                  [kind](Canvas& c) { makeTracks(c, kind, true); }));
    }
    add(pic("Player/Barrel.png", 128, 256, 0.5f, [](Canvas& c) { makeBarrel(c, BarrelKind::Basic); }));
    add(pic("Player/Barrels/Barrel_Explosion.png", 128, 256, 0.5f,
            [](Canvas& c) { makeBarrel(c, BarrelKind::Explosion); }));
    add(pic("Player/Barrels/Barrel_Splitting.png", 128, 256, 0.5f,
            [](Canvas& c) { makeBarrel(c, BarrelKind::Splitting); }));
    add(pic("Player/Barrels/Barrel_Sniper.png", 128, 256, 0.5f,
            [](Canvas& c) { makeBarrel(c, BarrelKind::Sniper); }));
    add(pic("Player/Barrels/Barrel_Bouncing.png", 128, 256, 0.5f,
            [](Canvas& c) { makeBarrel(c, BarrelKind::Sticky); }));
    add(pic("Player/Barrel_Aiming_Arrow.png", 96, 96, 1.0f, makeAimingArrow));
    add(sheet("Player/PickUpAura.png", 920, 187, 4, 3.84f / 3.12f, makePickUpAura));
    for (int p = 0; p < 4; ++p) {
        std::string n = std::to_string(p + 1);
        add(words("Player/Indicators/Indicator_" + n + ".png", 128, 128, 1.0f,
                  [p](Canvas& c) { makeIndicator(c, p); }));
        add(pic("Player/PlayerNumbers/PlayerNumber_" + n + ".png", 128, 120, 1.067f,
                [p](Canvas& c) { makePlayerNumber(c, p); }));
    }
    // Drawn 0.6 x 0.24 panel units under the badge of a computer's HUD panel.
    add(words("Player/PlayerNumbers/ComputerTag.png", 192, 72, 0.6f * 0.1f * 1.6f / (0.24f * 0.15f),
              makeComputerTag));

    // Bullets and effects.
    add(pic("Bullet/SplitBulletIndividual.png", 64, 64, 1.0f,
            [](Canvas& c) { makeBullet(c, BulletKind::Basic); }));
    add(pic("Bullet/ExplodingBullet.png", 96, 96, 1.0f,
            [](Canvas& c) { makeBullet(c, BulletKind::Exploding); }));
    add(pic("Bullet/SplitBulletCombined.png", 80, 80, 1.0f,
            [](Canvas& c) { makeBullet(c, BulletKind::Splitting); }));
    add(pic("Bullet/StickyBullet.png", 80, 80, 1.0f, [](Canvas& c) { makeBullet(c, BulletKind::Sticky); }));
    add(pic("Bullet/RicochetBullet.png", 80, 80, 1.0f,
            [](Canvas& c) { makeBullet(c, BulletKind::Ricochet); }));
    add(pic("Bullet/SniperBullet.png", 80, 80, 1.0f, [](Canvas& c) { makeBullet(c, BulletKind::Sniper); }));
    add(pic("Bullet/BlackholeBullet.png", 112, 112, 1.0f,
            [](Canvas& c) { makeBullet(c, BulletKind::BlackHole); }));
    add(pic("Bullet/ExpulsionBullet.png", 112, 112, 1.0f,
            [](Canvas& c) { makeBullet(c, BulletKind::Expulsion); }));
    add(pic("Bullet/ArtilleryBullet.png", 112, 112, 1.0f,
            [](Canvas& c) { makeBullet(c, BulletKind::Artillery); }));
    add(pic("Bullet/RocketBullet_Extra/Rocket_Body.png", 256, 256, 1.0f, makeRocketBody));
    add(pic("Bullet/RocketBullet_Extra/Rocket_Head.png", 128, 128, 1.0f, makeRocketHead));
    add(pic("Bullet/RocketBullet_Extra/Rocket_Warning.png", 1000, 200, 5.0f, makeRocketWarning));
    add(pic("Bullet/ArtilleryBullet_Extra/Artillery_Warning.png", 160, 160, 1.0f, makeArtilleryWarning));
    add(pic("FX/Explosion.png", 256, 256, 1.0f, makeExplosion));
    add(pic("Particle/Star.png", 64, 64, 1.0f, makeStarParticle));
    add(pic("Particle/Smoke.png", 64, 64, 1.0f, makeSmokeParticle));
    add(pic("Particle/Blackhole.png", 64, 64, 1.0f, makeBlackholeParticle));
    add(pic("Particle/Expulsion.png", 64, 64, 1.0f, makeExpulsionParticle));

    // Arena.
    add(pic("Crate.png", 128, 128, 1.0f, makeCrate));
    add(pic("Pickups/Pickup_Artillery.png", 128, 128, 1.0f,
            [](Canvas& c) { makePickup(c, PickupKind::Artillery); }));
    add(pic("Pickups/Pickup_Expulsion.png", 128, 128, 1.0f,
            [](Canvas& c) { makePickup(c, PickupKind::Expulsion); }));
    add(pic("Pickups/Pickup_Blackhole.png", 128, 128, 1.0f,
            [](Canvas& c) { makePickup(c, PickupKind::BlackHole); }));
    add(pic("box.png", 128, 128, 0, makeBox));
    add(pic("blackbox.png", 64, 64, 0, makeBlackBox));
    add(pic("Platform.png", 512, 96, 0, makePlatform));
    add(pic("BG/Background.png", 1400, 880, 1.75f / 1.1f, [](Canvas& c) { makeArenaBackground(c, ""); }));
    // Crack normal maps, one per aspect ratio the renderer picks for a platform.
    struct Crack {
        const char* name;
        int width;
    };
    unsigned seed = 1;
    for (Crack k : {Crack{"10-1Ratio", 1280}, Crack{"20-3Ratio", 853}, Crack{"6-1Ratio", 768},
                    Crack{"5-1Ratio", 640}, Crack{"4-1Ratio", 512}, Crack{"10-3Ratio", 427},
                    Crack{"3-1Ratio", 384}, Crack{"2-1Ratio", 256}, Crack{"3-2Ratio", 192}, Crack{"", 128}}) {
        unsigned s = seed++;
        add(pic(std::string("Shaders/") + k.name + "CrackTexture.png", k.width, 128, k.width / 128.0f,
                [s](Canvas& c) { makeCrackMap(c, s); }));
    }
    add(pic("Shaders/Fade_BlackOverlay.png", 320, 200, 1.6f, makeBlackOverlay));

    // Match interface.
    add(sheet("UI_Font.png", 1664, 128, 13, 1.0f, makeUiFont));
    add(pic("StatsPanelBG.png", 360, 140, 2.6f * 0.1f * 1.6f / (1.08f * 0.15f), makeStatsPanel));
    add(words("Go.png", 320, 320, 1.0f, [](Canvas& c) { makeWords(c, "GO!", WordsLook::Go); }));
    add(pic("HeartLeft.png", 640, 800, 0.8f, [](Canvas& c) { makeHeart(c, true); }));
    add(pic("HeartRight.png", 640, 800, 0.8f, [](Canvas& c) { makeHeart(c, false); }));
    add(words("GameOver/GameSetGame.png", 448, 280, 1.6f,
              [](Canvas& c) { makeWords(c, "GAME", WordsLook::Banner); }));
    add(words("GameOver/GameSetSet.png", 448, 280, 1.6f,
              [](Canvas& c) { makeWords(c, "SET!", WordsLook::Banner); }));
    add(words("GameOver/TimeUpTime.png", 448, 280, 1.6f,
              [](Canvas& c) { makeWords(c, "TIME", WordsLook::Banner); }));
    add(words("GameOver/TimeUpUp.png", 448, 280, 1.6f,
              [](Canvas& c) { makeWords(c, "UP!", WordsLook::Banner); }));
    add(words("GameOver/Victory.png", 820, 205, 4.0f,
              [](Canvas& c) { makeWords(c, "VICTORY!", WordsLook::Tinted); }));
    add(words("GameOver/Draw.png", 820, 205, 4.0f,
              [](Canvas& c) { makeWords(c, "DRAW!", WordsLook::Tinted); }));
    add(words("Pause/PauseText.png", 800, 250, 3.2f,
              [](Canvas& c) { makeWords(c, "PAUSED", WordsLook::Title); }));
    add(words("Pause/Confirmation.png", 700, 250, 2.8f,
              [](Canvas& c) { makeWords(c, "Really quit?", WordsLook::Title); }));
    add(words("Pause/Volume.png", 480, 150, 3.2f,
              [](Canvas& c) { makeWords(c, "Volume", WordsLook::Label); }));
    add(words("Pause/Mute.png", 480, 150, 3.2f, [](Canvas& c) { makeWords(c, "Mute", WordsLook::Label); }));
    add(words("Pause/Windowed.png", 480, 150, 3.2f,
              [](Canvas& c) { makeWords(c, "Windowed", WordsLook::Label); }));
    buttonPair(out, "Pause/Resume.png", "Pause/Resume_HL.png", "Resume", 480, 150, 3.2f, ButtonShape::Pill);
    buttonPair(out, "Pause/Tutorial.png", "Pause/Tutorial_HL.png", "Tutorial", 480, 150, 3.2f,
               ButtonShape::Pill);
    buttonPair(out, "Pause/Options.png", "Pause/Options_HL.png", "Options", 480, 150, 3.2f,
               ButtonShape::Pill);
    buttonPair(out, "Pause/Credits.png", "Pause/Credits_HL.png", "Credits", 480, 150, 3.2f,
               ButtonShape::Pill);
    buttonPair(out, "Pause/QuitGame.png", "Pause/QuitGame_HL.png", "Quit Game", 360, 150, 2.4f,
               ButtonShape::Pill);
    add(pic("Pause/PauseNext.png", 300, 150, 2.0f,
            [](Canvas& c) { makeButton(c, "Next", true, ButtonShape::Pill); }));

    // Main menu.
    add(pic("MainMenu/BG.png", 1432, 805, 53.7f / 30.2f, makeMenuBackground));
    add(pic("MainMenu/Title.png", 1600, 900, 35.56f / 20.0f, makeTitle));
    buttonPair(out, "MainMenu/Play.png", "MainMenu/Play_Highlight.png", "Play", 1024, 128, 8.0f,
               ButtonShape::Tab);
    buttonPair(out, "MainMenu/Online.png", "MainMenu/Online_Highlight.png", "Online", 1024, 128, 8.0f,
               ButtonShape::Tab);
    buttonPair(out, "MainMenu/Host.png", "MainMenu/Host_Highlight.png", "Host", 1024, 128, 8.0f,
               ButtonShape::Tab);
    buttonPair(out, "MainMenu/Join.png", "MainMenu/Join_Highlight.png", "Join", 1024, 128, 8.0f,
               ButtonShape::Tab);
    buttonPair(out, "MainMenu/Tutorial.png", "MainMenu/Tutorial_Highlight.png", "Tutorial", 1024, 128, 8.0f,
               ButtonShape::Tab);
    buttonPair(out, "MainMenu/Options.png", "MainMenu/Options_Highlight.png", "Options", 1024, 128, 8.0f,
               ButtonShape::Tab);
    buttonPair(out, "MainMenu/Credits.png", "MainMenu/Credits_Highlight.png", "Credits", 1024, 128, 8.0f,
               ButtonShape::Tab);
    buttonPair(out, "MainMenu/Quit.png", "MainMenu/Quit_Highlight.png", "Quit", 1024, 128, 8.0f,
               ButtonShape::Tab);
    buttonPair(out, "MainMenu/Editor.png", "MainMenu/Editor_Highlight.png", "Editor", 1024, 128, 8.0f,
               ButtonShape::Tab);
    add(pic("MainMenu/Menu_Hightlight.png", 1024, 128, 8.0f,
            [](Canvas& c) { makeButton(c, "Menu", true, ButtonShape::Tab); }));
    add(pic("MainMenu/Next_Hightlight.png", 1024, 128, 8.0f,
            [](Canvas& c) { makeButton(c, "Next", true, ButtonShape::Tab); }));
    buttonPair(out, "MainMenu/Back.png", "MainMenu/Back_HL.png", "Back", 300, 150, 2.0f, ButtonShape::Pill);
    buttonPair(out, "MainMenu/Yes.png", "MainMenu/Yes_HL.png", "Yes", 270, 150, 1.8f, ButtonShape::Pill);
    buttonPair(out, "MainMenu/No.png", "MainMenu/No_HL.png", "No", 270, 150, 1.8f, ButtonShape::Pill);
    buttonPair(out, "MainMenu/StartGame.png", "MainMenu/StartGame_HL.png", "Start Game", 384, 200, 1.92f,
               ButtonShape::Pill);
    add(pic("MainMenu/Arrow.png", 128, 128, 1.0f, makeArrow));
    add(pic("MainMenu/Checkbox.png", 128, 128, 1.0f, [](Canvas& c) { makeCheckbox(c, false); }));
    add(pic("MainMenu/Checkbox_Tick.png", 128, 128, 1.0f, [](Canvas& c) { makeCheckbox(c, true); }));
    add(pic("MainMenu/Selection_Highlight.png", 512, 128, 4.0f, makeSelectionHighlight));
    add(pic("MainMenu/PlayerSelection.png", 640, 400, 1.6f, makeOptionPanel));
    add(words("MainMenu/SetSelection.png", 614, 320, 23.04f / 12.0f, makeReadyStamp));
    for (int pad = 1; pad <= 4; ++pad) {
        add(pic("MainMenu/ControlSchemes/ControlScheme_Gamepad" + std::to_string(pad) + ".png", 192, 192,
                1.0f, [pad](Canvas& c) { makeControlSchemeGamepad(c, pad); }));
    }
    add(pic("MainMenu/ControlSchemes/ControlScheme_KeyboardLeft.png", 192, 192, 1.0f,
            [](Canvas& c) { makeControlSchemeKeyboard(c, true); }));
    add(pic("MainMenu/ControlSchemes/ControlScheme_KeyboardRight.png", 192, 192, 1.0f,
            [](Canvas& c) { makeControlSchemeKeyboard(c, false); }));
    add(pic("MainMenu/ControlSchemes/ControlScheme_Computer.png", 192, 192, 1.0f, makeControlSchemeComputer));
    for (int page = 1; page <= 3; ++page) {
        add(pic("MainMenu/Tutorial/Tutorial_" + std::to_string(page) + ".png", 1152, 720, 1.6f,
                [page](Canvas& c) { makeTutorialPage(c, page); }));
    }
    add(pic("MainMenu/CreditsPanel.png", 1152, 720, 1.6f, makeCreditsPanel));
    // The first two map previews have fixed names; the map data draws them over these.
    add(pic("MainMenu/LevelSelection/Map1.png", 500, 300, 20.0f / 12.0f,
            [](Canvas& c) { makeCustomMapPreview(c, "MAP 1"); }));
    add(pic("MainMenu/LevelSelection/Map2.png", 500, 300, 20.0f / 12.0f,
            [](Canvas& c) { makeCustomMapPreview(c, "MAP 2"); }));
    add(pic("MainMenu/LevelSelection/CustomMap.png", 500, 300, 20.0f / 12.0f,
            [](Canvas& c) { makeCustomMapPreview(c, "CUSTOM"); }));

    // Start-up.
    add(pic("Icon/GameIcon.png", 256, 256, 1.0f, makeGameIcon));
    add(pic("Quorvel_Logo/Quorvel_WEB_WHITE.png", 1600, 500, 3.2f, makeStudioLogo));
    add(pic("Team Logo.png", 1024, 512, 2.0f, makeTeamLogo));
    // Drawn over two thirds of the screen.
    add(pic("ControllerSplash.png", 1600, 960, 32.0f / 19.2f, makeControllerSplash));
    return out;
}

} // namespace assetgen
