#pragma once

// Animates the parameters of one shader effect and hands them to the program of a renderer on
// the same object whenever that renderer is drawn: the black-hole swirl on the background,
// cracks where bullets hit platforms, shock waves over the whole picture, a scrolling
// background, and the circular fade to black.

#include "objects/logic.hpp"
#include "objects/math_types.hpp"

#include <array>
#include <memory>
#include <vector>

class Camera;
struct ShaderProgram;

namespace ShaderMode {
constexpr int Swirl = 1;
constexpr int Cracks = 2;
constexpr int Waves = 3;
constexpr int Scroll = 4;
constexpr int Fade = 6;
} // namespace ShaderMode

struct EffectRecord {
    virtual ~EffectRecord() = default;
};

struct SwirlEffect : EffectRecord {
    bool active = false;
    float timeLeft = 0, duration = 0, maxRadius = 0, radius = 0, angle = 0, centerX = 0, centerY = 0,
          speed = 0;
};

constexpr int kCrackSlots = 20;
struct CrackEffect : EffectRecord {
    bool active = false;
    float duration = 0;
    std::array<bool, kCrackSlots> slotActive{};
    std::array<uint32_t, kCrackSlots> hitterId{}; // 0 marks a free slot
    std::array<vec2, kCrackSlots> contactPoint{};
    std::array<float, kCrackSlots> timeLeft{};
    std::array<float, kCrackSlots> radius{};
    std::array<float, kCrackSlots> alpha{};
    float maxRadius = 0;
    float count = 0; // live cracks
};

constexpr int kWaveSlots = 10;
struct WaveEffect : EffectRecord {
    bool active = false;
    std::array<bool, kWaveSlots> slotActive{};
    std::array<vec2, kWaveSlots> center{};
    std::array<float, kWaveSlots> timeLeft{};
    std::array<float, kWaveSlots> maxRadius{};
    std::array<float, kWaveSlots> radius{};
    std::array<float, kWaveSlots> amplitude{};
    std::array<float, kWaveSlots> refraction{};
    std::array<float, kWaveSlots> width{};
    std::array<float, kWaveSlots> growth{};
};

struct ScrollEffect : EffectRecord {
    bool active = false;
    float scrollTime = 0, scrollSpeed = 0;
};

struct FadeEffect : EffectRecord {
    bool active = false;
    bool running = false;
    float speed = 0, radius = 0, direction = 0;
};

// A ring as the shock-wave program sees it, in picture units: the letterboxed picture is 1 high,
// x from its left edge and y from its bottom.
struct RingOnPicture {
    vec2 center;
    float radius = 0;
    float width = 0;
};

// A bullet touching the owner in the last physics step, as the crack effect sees it.
struct CrackHit {
    uint32_t hitterId;
    vec2 point;
};

class ShaderLogic : public Logic {
  public:
    ShaderLogic(Camera* stateCamera, GameObject* ownerObject, int effectMode);
    void Update() override;

    // Hands the effect's values to the program of its renderer (which is in use already).
    void ApplyUniforms();
    void ApplyUniforms(ShaderProgram* program);
    // Waves: the rings that still bend the picture (live, with refraction left), in slot order;
    // returns how many were written.
    int ringsOnPicture(std::array<RingOnPicture, kWaveSlots>& rings) const;
    // The program of the renderer this effect drives: the frame-buffer composite for waves, the
    // UI image for the fade, the sprite otherwise.
    ShaderProgram* targetProgram() const;

    // Cracks: only while not started.
    void StartCracks(float duration, float maxRadius, float unused);
    // Waves: a new ring at a world position; dropped when ten are alive.
    void AddWave(float timeLeft, float maxRadius, vec2 center, float growth);
    // Fade: only while not started. direction +1 opens the picture, -1 closes it.
    void StartFade(float speed, float direction, float radius);
    // Fade: run again in a direction once started (pause menu, victory screen, menus).
    void RestartFade(float direction);
    // Swirl: a black hole opens; nothing happens while one is already running.
    void StartSwirl(float maxRadius, vec2 center);
    // Scroll: starts scrolling at the given speed.
    void StartScroll(float speed);

    SwirlEffect* swirl() const {
        return mode == ShaderMode::Swirl ? static_cast<SwirlEffect*>(effect.get()) : nullptr;
    }
    CrackEffect* cracks() const {
        return mode == ShaderMode::Cracks ? static_cast<CrackEffect*>(effect.get()) : nullptr;
    }
    WaveEffect* waves() const {
        return mode == ShaderMode::Waves ? static_cast<WaveEffect*>(effect.get()) : nullptr;
    }
    ScrollEffect* scroll() const {
        return mode == ShaderMode::Scroll ? static_cast<ScrollEffect*>(effect.get()) : nullptr;
    }
    FadeEffect* fade() const {
        return mode == ShaderMode::Fade ? static_cast<FadeEffect*>(effect.get()) : nullptr;
    }

    Camera* camera = nullptr;
    int mode = 0;
    std::unique_ptr<EffectRecord> effect;

  private:
    void updateSwirl(float step);
    void updateCracks(float step);
    void updateWaves(float step);
    void applyCracks(ShaderProgram* program);
    void applyWaves(ShaderProgram* program);
    // Where the shock-wave program measures a ring's centre (see ringsOnPicture).
    vec2 ringCenter(int slot) const;
    // Bullets in the contacts of the owner's body from the last physics step, in contact order.
    std::vector<CrackHit> bulletHits() const;
};
