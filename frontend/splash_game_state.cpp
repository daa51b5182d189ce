#include "frontend/splash_game_state.hpp"

#include "engine/input_manager.hpp"
#include "graphics/graphics_manager.hpp"
#include "graphics/renderer.hpp"
#include "objects/frame_timer.hpp"
#include "objects/game_object_list.hpp"
#include "objects/resource_manager.hpp"

#include <algorithm>

namespace {

constexpr float kPictureSeconds = 5.0f;
constexpr float kFadeInUntil = 4.0f; // timer values: the first second fades in...
constexpr float kFadeOutFrom = 1.0f; // ...and the last one fades out

// The pictures in the order they are shown, with the size they are drawn at.
struct SplashPicture {
    const char* texture;
    vec3 scale;
};
constexpr SplashPicture kPictures[] = {
    {"QuorvelLogo", {32.0f, 10.0f, 1.0f}},
    {"TeamLogo", {20.48f, 10.24f, 1.0f}},
    {"ControllerSplash", {32.0f, 19.2f, 1.0f}},
};

constexpr sf::Keyboard::Key kSkipKeys[] = {sf::Keyboard::Enter, sf::Keyboard::Space, sf::Keyboard::Escape,
                                           sf::Keyboard::T};
constexpr int kSkipButtons[] = {kButtonA, kButtonStart};

bool skipPressed() {
    const InputManager& input = InputManager::instance();
    for (sf::Keyboard::Key key : kSkipKeys) {
        if (input.keyPressed(key)) {
            return true;
        }
    }
    for (uint32_t pad = 0; pad < kMaxPads; ++pad) {
        for (int button : kSkipButtons) {
            if (input.padPressed(pad, button)) {
                return true;
            }
        }
    }
    return false;
}

void showPicture(GameObject* image, uint32_t stage) {
    const SplashPicture& picture = kPictures[stage];
    SpriteRenderer* sprite = image->addComponent<SpriteRenderer>();
    ResourceManager& resources = ResourceManager::instance();
    sprite->setTexture(picture.texture);
    sprite->shader = resources.getShader("Sprite");
    sprite->color = {1, 1, 1, 0};
    image->transform.setScale(picture.scale.x, picture.scale.y, picture.scale.z);
}

} // namespace

std::string CopyrightNotice() {
    return "(c) " GRUMBO_RELEASE_YEAR " " GRUMBO_MAKERS ". All rights reserved.";
}

SplashGameState::~SplashGameState() {
    ResourceManager& resources = ResourceManager::instance();
    for (const SplashPicture& picture : kPictures) {
        resources.removeTexture(picture.texture);
    }
}

void SplashGameState::Load() {
    GameObjectList& objects = GameObjectList::instance();
    image = objects.create("QuorvelLogo");
    image->transform.setPosition(0.0f, 0.0f, 1.0f);
    showPicture(image, 0);

    notice = objects.create("Copyright");
    notice->transform.setPosition(0.0f, -8.0f, 1.0f);
    notice->transform.setScale(0.64f, 0.64f, 1.0f);
    TextRenderer* text = notice->addComponent<TextRenderer>();
    text->shader = ResourceManager::instance().getShader("Text");
    text->color = {1, 1, 1, 0};
    text->text = CopyrightNotice();

    timer = kPictureSeconds;
    stage = 0;
    GraphicsManager::instance().EnableDepthAndBlending();
}

void SplashGameState::Update() {
    const float step = FrameTimer::instance().scaledDt();
    timer -= step;
    if (timer >= kFadeInUntil) {
        alpha = std::clamp(alpha + step, 0.0f, 1.0f);
    } else if (timer >= 0.0f && timer <= kFadeOutFrom) {
        alpha = std::clamp(alpha - step, 0.0f, 1.0f);
    } else if (timer < 0.0f) {
        alpha = 0.0f;
        if (stage == 0) {
            setActive(notice, false);
        }
        if (stage < 2) {
            ++stage;
            showPicture(image, stage);
            timer = kPictureSeconds;
        } else {
            setActive(image, false);
            setActive(notice, false);
            requestState(GameStateId::MainMenu);
        }
    }
    image->getComponent<SpriteRenderer>()->color = {1, 1, 1, alpha};
    notice->getComponent<TextRenderer>()->color = {1, 1, 1, alpha};

    if (stage != 0 && skipPressed()) {
        requestState(GameStateId::MainMenu);
    }
}

void SplashGameState::Exit() {
    DestroyStateObjects();
}
