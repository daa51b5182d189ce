#include "match/pause_menu.hpp"

#include "audio/sound_manager.hpp"
#include "engine/control_scheme.hpp"
#include "engine/engine.hpp"
#include "engine/input_manager.hpp"
#include "gameplay/player.hpp"
#include "graphics/renderer.hpp"
#include "graphics/scene_builders.hpp"
#include "graphics/shader_logic.hpp"
#include "match/match_phase.hpp"
#include "match/play_game_state.hpp"
#include "objects/frame_timer.hpp"
#include "objects/game_object_list.hpp"
#include "objects/resource_manager.hpp"

#include <algorithm>
#include <string>

namespace {

// Items of the main list, top to bottom.
namespace MainItem {
constexpr int32_t Resume = 0;
constexpr int32_t Tutorial = 1;
constexpr int32_t Options = 2;
constexpr int32_t Credits = 3;
constexpr int32_t Quit = 4;
constexpr int32_t Count = 5;
} // namespace MainItem

// Rows of the options screen, top to bottom.
namespace OptionRow {
constexpr int32_t Volume = 0;
constexpr int32_t Mute = 1;
constexpr int32_t Windowed = 2;
constexpr int32_t Back = 3;
constexpr int32_t Count = 4;
} // namespace OptionRow

// Answers of the quit question: "No" sits above "Yes", so a stray confirm keeps the match.
namespace Answer {
constexpr int32_t No = 0;
constexpr int32_t Yes = 1;
constexpr int32_t Count = 2;
} // namespace Answer

constexpr int32_t kTutorialPages = 3;
constexpr const char* kTutorialPageTextures[kTutorialPages] = {"Tutorial_1", "Tutorial_2", "Tutorial_3"};

// The heights of the volume, mute and windowed rows; the highlight and the arrows follow them.
constexpr float kOptionRowY[3] = {0.1f, -0.1f, -0.3f};
constexpr float kHighlightX = 0.2f;

// "UI_Font" is a strip of thirteen cells; digit d is cell d + 1.
constexpr int32_t kFontColumns = 13;

constexpr vec4 kWhite{1, 1, 1, 1};
// The missing-pad notice sits in the gap between the title and the first item. Text is drawn
// before the interface images, so it lies dimmed under the dim panel: bright letters over a
// black shadow keep it legible on any sky.
constexpr vec3 kNoticeAt{0.0f, 0.28f, 1.0f};
constexpr vec3 kNoticeShadowOffset{0.004f, -0.006f, 0.0f};
constexpr vec3 kNoticeScale{0.05f, 0.08f, 1.0f};
constexpr vec4 kNoticeColour{1.0f, 1.0f, 0.4f, 1.0f};
constexpr vec4 kNoticeShadowColour{0.0f, 0.0f, 0.0f, 1.0f};

struct Placement {
    vec3 position;
    vec3 scale;
    float spin = 0.0f; // degrees about z
};

// An interface image under a parent. The object is hung first and posed afterwards: hanging
// keeps the world pose, and these values are meant relative to the parent.
GameUIRenderer* uiImage(GameObject* parent, const std::string& name, const std::string& texture,
                        const Placement& at, vec4 colour = kWhite, int32_t columns = 1) {
    GameObject* object = GameObjectList::instance().create(name);
    parent->transform.setParent(object);
    object->transform.setPosition(at.position.x, at.position.y, at.position.z);
    object->transform.setRotation(0.0f, 0.0f, at.spin);
    object->transform.setScale(at.scale.x, at.scale.y, at.scale.z);
    auto* image = object->addComponent<GameUIRenderer>();
    image->set(ResourceManager::instance().getShader("Sprite-UI"), texture, colour, columns, 1, 1);
    return image;
}

void show(GameUIRenderer* image, bool visible) {
    setActive(image->owner, visible);
}

// The plain picture of an item, or its highlighted one ("Resume" / "Resume_HL").
void highlight(GameUIRenderer* item, const std::string& plain, bool selected) {
    item->setTexture(selected ? plain + "_HL" : plain);
}

// Steps a cursor through a list of n entries, coming round at either end.
int32_t wrapped(int32_t cursor, int32_t step, int32_t n) {
    return ((cursor + step) % n + n) % n;
}

void openMenu(PauseMenu& menu, PauseContext& match) {
    *match.phase = MatchPhase::Paused;
    if (match.stopsMatch) {
        SoundManager::instance().setPaused(true);
        FrameTimer::instance().setTimeScale(0.0f);
        for (Player* p : match.players) {
            p->enabled = false;
        }
    }
    menu.screen = PauseScreen::Main;
    menu.cursor = MainItem::Resume;
    // Only the opening picture this frame; the credits item joins with the next frame's display.
    show(menu.dimPanel, true);
    menu.titleSprite->setTexture("PauseText");
    show(menu.titleSprite, true);
    for (GameUIRenderer* item : {menu.resumeItem, menu.tutorialItem, menu.optionsItem, menu.quitItem}) {
        show(item, true);
    }
    highlight(menu.resumeItem, "Resume", true);
    highlight(menu.tutorialItem, "PauseTutorial", false);
    highlight(menu.optionsItem, "PauseOptions", false);
    highlight(menu.quitItem, "QuitGame", false);
}

void resumeMatch(PauseMenu& menu, PauseContext& match) {
    *match.phase = MatchPhase::Playing;
    if (match.stopsMatch) {
        SoundManager::instance().setPaused(false);
        FrameTimer::instance().setTimeScale(1.0f);
        for (Player* p : match.players) {
            p->enabled = true;
        }
    }
    menu.screen = PauseScreen::Closed;
    // The key or button that closed the menu must not also jump, turn or fire a tank.
    InputManager::instance().resetEdges();
}

void moveCursor(PauseMenu& menu, int32_t step) {
    switch (menu.screen) {
    case PauseScreen::Main:
        menu.cursor = wrapped(menu.cursor, step, MainItem::Count);
        break;
    case PauseScreen::Options:
        menu.cursor = wrapped(menu.cursor, step, OptionRow::Count);
        break;
    case PauseScreen::QuitConfirm:
        menu.cursor = wrapped(menu.cursor, step, Answer::Count);
        break;
    case PauseScreen::Credits:
        // Nothing on the credits follows the cursor and confirm always leaves them.
        menu.cursor += step;
        break;
    default:
        // Tutorial pages only turn forward, on confirm.
        break;
    }
}

void changeOption(PauseMenu& menu, bool left, bool right) {
    if (!left && !right) {
        return;
    }
    SoundManager& sound = SoundManager::instance();
    switch (menu.cursor) {
    case OptionRow::Volume: {
        // Stepped from the nearest tenth: a volume stored as 0.6999999 is seven tenths, and
        // truncating it would make a step down land on 0.5.
        const int32_t tenths = VolumeTenths(sound.volume);
        const int32_t next = right ? std::min(10, tenths + 1) : std::max(0, tenths - 1);
        sound.setVolume(static_cast<float>(next) / 10.0f);
        break;
    }
    case OptionRow::Mute:
        sound.setMuted(!sound.muted);
        break;
    case OptionRow::Windowed: {
        Engine& engine = Engine::instance();
        engine.createWindow(!engine.fullscreen);
        break;
    }
    default:
        break;
    }
}

void quitMatch(PauseContext& match) {
    if (!match.stopsMatch) {
        *match.phase = MatchPhase::FadeOut;
        return;
    }
    // Silence at once: the fade to black carries no sound of the match.
    SoundManager::instance().stopAll();
    if (match.fadeOverlay != nullptr) {
        setActive(match.fadeOverlay, true);
    }
    if (match.fade != nullptr) {
        match.fade->RestartFade(-1.0f);
    }
    if (match.fadeTimer != nullptr) {
        *match.fadeTimer = match.fadeDuration;
    }
    *match.phase = MatchPhase::FadeOut;
}

void confirmChoice(PauseMenu& menu, PauseContext& match) {
    switch (menu.screen) {
    case PauseScreen::Main:
        switch (menu.cursor) {
        case MainItem::Resume:
            resumeMatch(menu, match);
            return;
        case MainItem::Tutorial:
            menu.screen = PauseScreen::Tutorial;
            break;
        case MainItem::Options:
            menu.screen = PauseScreen::Options;
            break;
        case MainItem::Credits:
            menu.screen = PauseScreen::Credits;
            break;
        case MainItem::Quit:
            menu.screen = PauseScreen::QuitConfirm;
            break;
        default:
            return;
        }
        menu.cursor = 0;
        break;
    case PauseScreen::Tutorial:
        menu.cursor += 1;
        if (menu.cursor >= kTutorialPages) {
            // Back on the item that opened the pages, so another look is one confirm away.
            menu.screen = PauseScreen::Main;
            menu.cursor = MainItem::Tutorial;
        }
        break;
    case PauseScreen::Options:
        if (menu.cursor == OptionRow::Back) {
            menu.screen = PauseScreen::Main;
            menu.cursor = MainItem::Resume;
        }
        break;
    case PauseScreen::Credits:
        menu.screen = PauseScreen::Main;
        menu.cursor = MainItem::Resume;
        break;
    case PauseScreen::QuitConfirm:
        if (menu.cursor == Answer::Yes) {
            quitMatch(match);
        } else {
            menu.screen = PauseScreen::Main;
            menu.cursor = MainItem::Resume;
        }
        break;
    default:
        break;
    }
}

void showOptions(PauseMenu& menu) {
    SoundManager& sound = SoundManager::instance();
    const int32_t tenths = VolumeTenths(sound.volume);
    menu.volumeDigits[0]->column = tenths / 10 + 1;
    menu.volumeDigits[1]->column = tenths % 10 + 1;
    menu.muteCheckbox->setTexture(sound.muted ? "CheckBoxTick" : "CheckBox");
    menu.windowedCheckbox->setTexture(Engine::instance().fullscreen ? "CheckBox" : "CheckBoxTick");

    const bool onBack = menu.cursor == OptionRow::Back;
    setActive(menu.selectionBox, !onBack);
    if (!onBack) {
        const float y = kOptionRowY[std::clamp(menu.cursor, 0, 2)];
        menu.selectionBox->transform.setPosition(kHighlightX, y, 1.0f);
    }
    highlight(menu.optionsBack, "PauseBack", onBack);
}

bool hasNotice(const PauseMenu& menu) {
    const auto* notice = menu.noticeText != nullptr ? menu.noticeText->getComponent<TextRenderer>() : nullptr;
    return notice != nullptr && !notice->text.empty();
}

void showNotice(PauseMenu& menu, bool visible) {
    setActive(menu.noticeShadow, visible && hasNotice(menu));
    setActive(menu.noticeText, visible && hasNotice(menu));
}

void setNotice(PauseMenu& menu, const std::string& text) {
    for (GameObject* line : {menu.noticeShadow, menu.noticeText}) {
        if (auto* label = line != nullptr ? line->getComponent<TextRenderer>() : nullptr) {
            label->text = text;
        }
    }
}

void showScreen(PauseMenu& menu) {
    const bool onMain = menu.screen == PauseScreen::Main;
    const bool onTutorial = menu.screen == PauseScreen::Tutorial;
    const bool onCredits = menu.screen == PauseScreen::Credits;
    const bool onQuestion = menu.screen == PauseScreen::QuitConfirm;

    // The dim panel stays over the match on every screen until the menu closes.
    show(menu.dimPanel, menu.screen != PauseScreen::Closed);
    show(menu.titleSprite, onMain || onQuestion);
    showNotice(menu, onMain || onQuestion);
    for (GameUIRenderer* item :
         {menu.resumeItem, menu.tutorialItem, menu.optionsItem, menu.creditsItem, menu.quitItem}) {
        show(item, onMain);
    }
    show(menu.noItem, onQuestion);
    show(menu.yesItem, onQuestion);
    show(menu.tutorialPanel, onTutorial);
    show(menu.nextButton, onTutorial);
    show(menu.creditsPanel, onCredits);
    show(menu.creditsBack, onCredits);
    setActive(menu.optionsRoot, menu.screen == PauseScreen::Options);

    switch (menu.screen) {
    case PauseScreen::Main:
        menu.titleSprite->setTexture("PauseText");
        highlight(menu.resumeItem, "Resume", menu.cursor == MainItem::Resume);
        highlight(menu.tutorialItem, "PauseTutorial", menu.cursor == MainItem::Tutorial);
        highlight(menu.optionsItem, "PauseOptions", menu.cursor == MainItem::Options);
        highlight(menu.creditsItem, "PauseCredits", menu.cursor == MainItem::Credits);
        highlight(menu.quitItem, "QuitGame", menu.cursor == MainItem::Quit);
        break;
    case PauseScreen::Tutorial: {
        const char* page = kTutorialPageTextures[std::clamp(menu.cursor, 0, kTutorialPages - 1)];
        LoadMatchPictureWhenShown(page);
        menu.tutorialPanel->setTexture(page);
        break;
    }
    case PauseScreen::Credits:
        LoadMatchPictureWhenShown("CreditsPanel");
        menu.creditsPanel->setTexture("CreditsPanel");
        break;
    case PauseScreen::Options:
        showOptions(menu);
        break;
    case PauseScreen::QuitConfirm:
        menu.titleSprite->setTexture("Confirmation");
        highlight(menu.noItem, "No", menu.cursor == Answer::No);
        highlight(menu.yesItem, "Yes", menu.cursor == Answer::Yes);
        break;
    default:
        break;
    }
}

} // namespace

PauseInputs ReadPauseInputs(const std::vector<Player*>& players) {
    InputManager& input = InputManager::instance();
    PauseInputs in;
    for (const Player* p : players) {
        if (p == nullptr) {
            continue;
        }
        const uint32_t scheme = p->controls.padIndex;
        if (scheme < kMaxPads) {
            // Pads act on the release, so the press that opened a screen cannot also act in it.
            in.pause = in.pause || input.padReleased(scheme, kButtonStart);
            in.confirm = in.confirm || input.padReleased(scheme, kButtonA);
            in.up = in.up || input.padReleased(scheme, kButtonDpadUp);
            in.down = in.down || input.padReleased(scheme, kButtonDpadDown);
            in.left = in.left || input.padReleased(scheme, kButtonDpadLeft);
            in.right = in.right || input.padReleased(scheme, kButtonDpadRight);
        } else if (scheme == kSchemeKeyboardLeft) {
            in.confirm = in.confirm || input.keyPressed(sf::Keyboard::T);
            in.up = in.up || input.keyPressed(sf::Keyboard::W);
            in.down = in.down || input.keyPressed(sf::Keyboard::S);
            in.left = in.left || input.keyPressed(sf::Keyboard::A);
            in.right = in.right || input.keyPressed(sf::Keyboard::D);
        } else if (scheme == kSchemeKeyboardRight) {
            // The right half steers with the arrow keys, which everyone shares below; only its
            // fire key is its own.
            in.confirm = in.confirm || input.keyPressed(sf::Keyboard::Numpad8);
        }
    }
    in.pause = in.pause || input.keyPressed(sf::Keyboard::Escape);
    in.confirm = in.confirm || input.keyPressed(sf::Keyboard::Enter) || input.keyPressed(sf::Keyboard::Space);
    in.up = in.up || input.keyPressed(sf::Keyboard::Up);
    in.down = in.down || input.keyPressed(sf::Keyboard::Down);
    in.left = in.left || input.keyPressed(sf::Keyboard::Left);
    in.right = in.right || input.keyPressed(sf::Keyboard::Right);
    return in;
}

void PauseMenu::Build(GameObject* uiRoot) {
    // Interface images are drawn in the order they are made: the dim panel first, under the rest.
    dimPanel = uiImage(uiRoot, "BlackOverlay", "BlackBoxSprite", {{0, 0, 1}, {2, 2, 1}}, {0, 0, 0, 0.5f});
    titleSprite = uiImage(uiRoot, "PauseText", "PauseText", {{0, 0.5f, 1}, {1, 0.5f, 1}});
    resumeItem = uiImage(uiRoot, "PauseResume", "Resume", {{0, 0.1f, 1}, {0.4f, 0.2f, 1}});
    tutorialItem = uiImage(uiRoot, "PauseTutorial", "PauseTutorial", {{0, -0.1f, 1}, {0.4f, 0.2f, 1}});
    optionsItem = uiImage(uiRoot, "PauseOptions", "PauseOptions", {{0, -0.3f, 1}, {0.4f, 0.2f, 1}});
    creditsItem = uiImage(uiRoot, "PauseCredits", "PauseCredits", {{0, -0.5f, 1}, {0.4f, 0.2f, 1}});
    quitItem = uiImage(uiRoot, "QuitGame", "QuitGame", {{0, -0.7f, 1}, {0.3f, 0.2f, 1}});
    noItem = uiImage(uiRoot, "No", "No", {{0, 0.2f, 1}, {0.3f, 0.24f, 1}});
    yesItem = uiImage(uiRoot, "Yes", "Yes", {{0, -0.15f, 1}, {0.3f, 0.24f, 1}});
    nextButton = uiImage(uiRoot, "PauseNext", "PauseNext", {{0, -0.875f, 1}, {0.2f, 0.16f, 1}});
    tutorialPanel =
        uiImage(uiRoot, "PauseTutorialPanel", kTutorialPageTextures[0], {{0, 0.1f, 1}, {1.92f, 1.728f, 1}});
    creditsPanel = uiImage(uiRoot, "CreditsPanel", "CreditsPanel", {{0, 0.1f, 1}, {1.92f, 1.728f, 1}});
    // The credits have a single way out, so their back button is always the highlighted one.
    creditsBack = uiImage(uiRoot, "PauseCreditBack", "PauseBack_HL", {{0, -0.9f, 1}, {0.2f, 0.16f, 1}});

    GameObjectList& list = GameObjectList::instance();
    optionsRoot = list.create("OptionsRoot");
    uiRoot->transform.setParent(optionsRoot);
    optionsRoot->transform.setPosition(0.0f, 0.0f, 0.0f);
    optionsRoot->transform.setRotation(0.0f, 0.0f, 0.0f);
    optionsRoot->transform.setScale(1.0f, 1.0f, 1.0f);

    uiImage(optionsRoot, "BackPanel", "OptionBox", {{0, -0.1f, 1}, {1, 1, 1}, 180.0f}, {1, 0.2f, 1, 0.8f});
    selectionBox = uiImage(optionsRoot, "SelectionBox", "SelectionHighlight",
                           {{kHighlightX, kOptionRowY[0], 1}, {0.3f, 0.15f, 1}})
                       ->owner;
    uiImage(optionsRoot, "PauseOptions", "PauseOptions", {{0, 0.3f, 1}, {0.6f, 0.3f, 1}});
    const char* labels[3] = {"Volume", "Mute", "Windowed"};
    for (int row = 0; row < 3; ++row) {
        uiImage(optionsRoot, labels[row], labels[row], {{-0.25f, kOptionRowY[row], 1}, {0.6f, 0.3f, 1}});
    }
    for (float y : kOptionRowY) {
        uiImage(optionsRoot, "LeftArrow", "Arrow", {{0.3f, y, 1}, {0.08f, 0.1f, 1}});
        uiImage(optionsRoot, "RightArrow", "Arrow", {{0.1f, y, 1}, {0.08f, 0.1f, 1}, 180.0f});
    }
    for (size_t i = 0; i < volumeDigits.size(); ++i) {
        const float x = 0.18f + 0.04f * static_cast<float>(i);
        volumeDigits[i] =
            uiImage(optionsRoot, "VolumeNum", "UI_Font", {{x, kOptionRowY[0], 0}, {0.05f, 0.1f, 1}},
                    {1, 0.99f, 0.176f, 1}, kFontColumns);
    }
    muteCheckbox = uiImage(optionsRoot, "MuteCheckbox", "CheckBox",
                           {{kHighlightX, kOptionRowY[1], 1}, {0.08125f, 0.13f, 1}});
    windowedCheckbox = uiImage(optionsRoot, "WindowedCheckbox", "CheckBox",
                               {{kHighlightX, kOptionRowY[2], 1}, {0.08125f, 0.13f, 1}});
    optionsBack = uiImage(optionsRoot, "PauseBack", "PauseBack", {{0, -0.5f, 1}, {0.25f, 0.2f, 1}});
    // The shadow first: texts are drawn in the order they are made.
    noticeShadow = MakeObject("PauseNoticeShadow", {kNoticeAt + kNoticeShadowOffset, kNoticeScale}, uiRoot);
    SetText(noticeShadow, "", kNoticeShadowColour, "Text-UI");
    noticeText = MakeObject("PauseNotice", {kNoticeAt, kNoticeScale}, uiRoot);
    SetText(noticeText, "", kNoticeColour, "Text-UI");

    screen = PauseScreen::Closed;
    cursor = 0;
    showScreen(*this);
}

void PauseMenu::Update(PauseContext& match) {
    if (match.phase == nullptr) {
        return;
    }
    setNotice(*this, match.notice);
    if (*match.phase == MatchPhase::Playing) {
        if (match.padLost || ReadPauseInputs(match.players).pause) {
            openMenu(*this, match);
            showNotice(*this, true);
        }
        return;
    }
    if (*match.phase != MatchPhase::Paused) {
        return;
    }

    const PauseInputs in = ReadPauseInputs(match.players);
    if (in.pause) {
        resumeMatch(*this, match);
    } else if (!in.confirm) {
        if (in.up) {
            moveCursor(*this, -1);
        } else if (in.down) {
            moveCursor(*this, 1);
        } else if (screen == PauseScreen::Options) {
            changeOption(*this, in.left, in.right);
        }
    } else {
        confirmChoice(*this, match);
    }
    showScreen(*this);
}
