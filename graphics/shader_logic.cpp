#include "graphics/shader_logic.hpp"

#include "graphics/camera.hpp"
#include "graphics/graphics_manager.hpp"
#include "graphics/renderer.hpp"
#include "objects/frame_timer.hpp"
#include "objects/game_object.hpp"
#include "objects/resource_manager.hpp"
#include "physics/collider.hpp"
#include "physics/rigid_body.hpp"

#include <GL/glew.h>

#include <algorithm>
#include <string>

namespace {

float clamp01(float v) {
    return std::max(0.0f, std::min(1.0f, v));
}

// Uniform array element names, built once: "prefix[i]".
template <int N> struct ElementNames {
    explicit ElementNames(const char* prefix) {
        for (int i = 0; i < N; ++i) {
            names[static_cast<size_t>(i)] = std::string(prefix) + std::to_string(i) + "]";
        }
    }
    const std::string& operator[](int i) const { return names[static_cast<size_t>(i)]; }
    std::array<std::string, N> names;
};

// A hit shows a full-size crack for the first fifth of its life, then fades out.
constexpr float kCrackFullPart = 0.8f;
// Waves start strong and lose refraction at this rate per second.
constexpr float kWaveAmplitude = 10.0f;
constexpr float kWaveRefraction = 1.2f;
constexpr float kWaveWidth = 0.12f;
constexpr float kWaveRefractionLoss = 1.5f;
constexpr float kWaveGrowthFactor = 0.99f;
constexpr float kFadeOpen = 0.5f;

} // namespace

ShaderLogic::ShaderLogic(Camera* stateCamera, GameObject* ownerObject, int effectMode)
    : Logic("ShaderLogic", ownerObject), camera(stateCamera), mode(effectMode) {
    switch (mode) {
    case ShaderMode::Swirl:
        effect = std::make_unique<SwirlEffect>();
        break;
    case ShaderMode::Cracks:
        effect = std::make_unique<CrackEffect>();
        break;
    case ShaderMode::Waves:
        effect = std::make_unique<WaveEffect>();
        break;
    case ShaderMode::Scroll:
        effect = std::make_unique<ScrollEffect>();
        break;
    case ShaderMode::Fade:
        effect = std::make_unique<FadeEffect>();
        break;
    default:
        break; // no effect: the instance does nothing
    }
}

void ShaderLogic::StartCracks(float duration, float maxRadius, float) {
    CrackEffect* c = cracks();
    if (c == nullptr || c->active) {
        return;
    }
    c->duration = duration;
    c->maxRadius = maxRadius;
    c->count = 0;
    c->slotActive.fill(false);
    c->hitterId.fill(0);
    c->active = true;
}

void ShaderLogic::AddWave(float timeLeft, float maxRadius, vec2 center, float growth) {
    WaveEffect* w = waves();
    if (w == nullptr) {
        return;
    }
    if (!w->active) {
        *w = WaveEffect{};
        w->active = true;
    }
    for (int i = 0; i < kWaveSlots; ++i) {
        auto s = static_cast<size_t>(i);
        if (w->slotActive[s]) {
            continue;
        }
        w->slotActive[s] = true;
        w->timeLeft[s] = timeLeft;
        w->maxRadius[s] = maxRadius;
        w->center[s] = center;
        w->growth[s] = growth;
        w->radius[s] = 0.0f;
        w->amplitude[s] = kWaveAmplitude;
        w->refraction[s] = kWaveRefraction;
        w->width[s] = kWaveWidth;
        return;
    }
    // All ten rings are alive: this one is dropped.
}

void ShaderLogic::StartFade(float speed, float direction, float radius) {
    FadeEffect* f = fade();
    if (f == nullptr || f->active) {
        return;
    }
    f->speed = speed;
    f->direction = direction;
    f->radius = std::max(0.0f, std::min(kFadeOpen, radius));
    f->active = true;
    f->running = true;
}

void ShaderLogic::RestartFade(float direction) {
    FadeEffect* f = fade();
    if (f == nullptr) {
        return;
    }
    f->running = true;
    f->speed = 1.5f;
    f->direction = direction;
}

void ShaderLogic::StartSwirl(float maxRadius, vec2 center) {
    SwirlEffect* s = swirl();
    if (s == nullptr || s->active) {
        return;
    }
    s->active = true;
    s->timeLeft = 10.0f;
    s->duration = 10.0f;
    s->maxRadius = maxRadius;
    s->radius = 0.0f;
    s->angle = 0.8f;
    s->centerX = center.x;
    s->centerY = center.y;
    s->speed = 2.0f;
}

void ShaderLogic::StartScroll(float speed) {
    ScrollEffect* s = scroll();
    if (s == nullptr) {
        return;
    }
    s->active = true;
    s->scrollTime = 0.0f;
    s->scrollSpeed = speed;
}

void ShaderLogic::Update() {
    const FrameTimer& timer = FrameTimer::instance();
    float step = timer.scaledDt();
    switch (mode) {
    case ShaderMode::Swirl:
        updateSwirl(step);
        break;
    case ShaderMode::Cracks:
        updateCracks(step);
        break;
    case ShaderMode::Waves:
        updateWaves(step);
        break;
    case ShaderMode::Scroll:
        // Real time: the background keeps scrolling while the game is paused.
        if (ScrollEffect* s = scroll(); s->active) {
            s->scrollTime += timer.dt;
        }
        break;
    case ShaderMode::Fade:
        if (FadeEffect* f = fade(); f->active && f->running) {
            if ((f->radius <= kFadeOpen && f->direction > 0) || (f->radius >= 0 && f->direction < 0)) {
                f->radius += timer.dt * f->speed * f->direction; // real time, too
            }
            if (f->radius < 0.0f) {
                f->radius = 0.0f;
                f->running = false;
            } else if (f->radius > kFadeOpen) {
                f->radius = kFadeOpen;
                f->running = false;
            }
        }
        break;
    default:
        break;
    }
}

void ShaderLogic::updateSwirl(float step) {
    SwirlEffect* s = swirl();
    if (!s->active) {
        return;
    }
    s->timeLeft -= step;
    if (s->timeLeft <= 0.0f) {
        s->active = false;
        return;
    }
    float q = s->duration * 0.25f;
    if (s->timeLeft >= s->duration - q) {
        s->radius = clamp01((s->duration - s->timeLeft) / q) * s->maxRadius; // opening
    } else if (s->timeLeft > q) {
        s->angle += step * 0.25f; // holding: the swirl keeps winding
    } else {
        s->radius = s->maxRadius - clamp01((q - s->timeLeft) / q) * s->maxRadius; // closing
    }
}

void ShaderLogic::updateCracks(float step) {
    CrackEffect* c = cracks();
    if (!c->active) {
        return;
    }
    for (int i = 0; i < kCrackSlots; ++i) {
        auto s = static_cast<size_t>(i);
        if (!c->slotActive[s]) {
            continue;
        }
        c->timeLeft[s] -= step;
        if (c->timeLeft[s] >= kCrackFullPart * c->duration) {
            c->radius[s] = c->maxRadius;
        } else {
            c->alpha[s] = clamp01(c->timeLeft[s] / (kCrackFullPart * c->duration));
        }
        if (c->timeLeft[s] <= 0.0f) {
            c->slotActive[s] = false;
            c->hitterId[s] = 0;
            c->count -= 1.0f;
        }
    }
    for (const CrackHit& hit : bulletHits()) {
        // Checked per hit, so several hits in one step can never count more cracks than slots.
        if (c->count >= static_cast<float>(kCrackSlots)) {
            break;
        }
        size_t slot = 0;
        if (c->count > 0.0f) {
            for (size_t s = 0; s < static_cast<size_t>(kCrackSlots); ++s) {
                if (c->hitterId[s] == 0) {
                    slot = s;
                    break;
                }
            }
        }
        c->slotActive[slot] = true;
        c->hitterId[slot] = hit.hitterId;
        c->contactPoint[slot] = hit.point;
        c->timeLeft[slot] = c->duration;
        c->radius[slot] = 0.0f;
        c->alpha[slot] = 1.0f;
        c->count += 1.0f;
    }
}

void ShaderLogic::updateWaves(float step) {
    WaveEffect* w = waves();
    if (!w->active) {
        return;
    }
    for (size_t s = 0; s < static_cast<size_t>(kWaveSlots); ++s) {
        if (!w->slotActive[s]) {
            continue;
        }
        w->timeLeft[s] -= step;
        if (w->maxRadius[s] > w->radius[s]) {
            w->radius[s] += step * w->growth[s] * kWaveGrowthFactor;
        } else {
            w->radius[s] = w->maxRadius[s];
        }
        if (w->refraction[s] > 0.0f) {
            w->refraction[s] -= step * kWaveRefractionLoss;
        } else {
            w->refraction[s] = 0.0f;
        }
        if (w->timeLeft[s] <= 0.0f) {
            w->slotActive[s] = false;
        }
    }
}

void ShaderLogic::ApplyUniforms() {
    ApplyUniforms(targetProgram());
}

void ShaderLogic::ApplyUniforms(ShaderProgram* program) {
    if (program == nullptr || effect == nullptr) {
        return;
    }
    switch (mode) {
    case ShaderMode::Swirl: {
        const SwirlEffect* s = swirl();
        // "active" is a reserved word in GLSL, so no program can declare it and that upload is
        // always ignored; our programs read the same flag under a name they can declare.
        program->setInt("active[0]", s->active ? 1 : 0);
        program->setInt("swirlActive", s->active ? 1 : 0);
        if (s->active) {
            vec3 scale = owner->transform.scale;
            program->setFloat("scaleRatioX", scale.x);
            program->setFloat("scaleRatioY", scale.y);
            program->setFloat("swirlAngle[0]", s->angle);
            program->setFloat("swirlRadius[0]", s->radius);
            program->setFloat("swirlSpeed[0]", s->speed);
            // Measured from the background's top-left corner, y downwards.
            program->setVec2("swirlCenter[0]", scale.x * 0.5f + s->centerX, scale.y * 0.5f - s->centerY);
        }
        break;
    }
    case ShaderMode::Cracks:
        applyCracks(program);
        break;
    case ShaderMode::Waves:
        applyWaves(program);
        break;
    case ShaderMode::Scroll: {
        const ScrollEffect* s = scroll();
        if (s->active) {
            program->setFloat("scrollTime", s->scrollTime);
            program->setFloat("scrollSpeed", s->scrollSpeed);
        }
        break;
    }
    case ShaderMode::Fade: {
        const FadeEffect* f = fade();
        if (f->active) {
            program->setInt("active", 1); // reserved in GLSL: see the swirl
            program->setInt("fadeActive", 1);
            program->setFloat("fadeRadius", f->radius);
        }
        break;
    }
    default:
        break;
    }
}

vec2 ShaderLogic::ringCenter(int slot) const {
    const WaveEffect* w = waves();
    const auto s = static_cast<size_t>(slot);
    // The visible world, x in [-0.8 zoom, 0.8 zoom] and y in [-0.5 zoom, 0.5 zoom] around the eye,
    // maps to the picture's [0, 1.6] x [0, 1], which the program measures inside the letterbox
    // bars: so the ring centres on the spot whatever the window's shape.
    const float zoom = camera != nullptr ? camera->zoom : 30.0f;
    const vec3 eye = camera != nullptr ? camera->position : vec3{};
    return {(w->center[s].x - eye.x) / zoom + 0.8f, (w->center[s].y - eye.y) / zoom + 0.5f};
}

// Only live cracks with a radius show, so only those are handed over, first in the arrays, with
// their count: the program loops over those alone and reads nothing beyond them. The plain
// passes hand over every slot where it is.
void ShaderLogic::applyCracks(ShaderProgram* program) {
    static const ElementNames<kCrackSlots> active("contactActive["), points("contactPoints["),
        radius("crackRadius["), alpha("crackAlpha[");
    const CrackEffect* c = cracks();
    const bool packed = !GraphicsManager::instance().referencePasses;
    int count = 0;
    for (int i = 0; i < kCrackSlots; ++i) {
        auto s = static_cast<size_t>(i);
        if (packed && !(c->slotActive[s] && c->radius[s] > 0.0f)) {
            continue;
        }
        const int at = packed ? count++ : i;
        program->setInt(active[at], c->slotActive[s] ? 1 : 0);
        program->setVec2(points[at], c->contactPoint[s].x, c->contactPoint[s].y);
        program->setFloat(radius[at], c->radius[s]);
        program->setFloat(alpha[at], c->alpha[s]);
    }
    program->setInt("crackCount", packed ? count : kCrackSlots);
}

// A ring whose refraction has run out changes no pixel, so only the rings still bending the
// picture are handed over, first in the arrays, with their count: the program loops over those
// alone and reads nothing beyond them. The plain passes hand over every slot where it is.
void ShaderLogic::applyWaves(ShaderProgram* program) {
    static const ElementNames<kWaveSlots> active("waveActive["), radius("waveRadius["), center("waveCenter["),
        amplitude("waveAmplitude["), refraction("waveRefraction["), width("waveWidth[");
    const WaveEffect* w = waves();
    const GraphicsManager& graphics = GraphicsManager::instance();
    const ScreenLayout& screen = graphics.screen;
    float windowWidth = static_cast<float>(screen.windowWidth);
    float windowHeight = static_cast<float>(screen.windowHeight);
    float bar = static_cast<float>(screen.viewportX);
    float aspect = screen.viewportHeight > 0
                       ? static_cast<float>(screen.viewportWidth) / static_cast<float>(screen.viewportHeight)
                       : 1.6f;
    program->setFloat("screenRatioX", aspect);
    program->setFloat("paddingX", windowWidth > 0 ? bar / windowWidth : 0.0f);
    program->setFloat("paddingY",
                      windowHeight > 0 ? static_cast<float>(screen.viewportY) / windowHeight : 0.0f);
    const bool packed = !graphics.referencePasses;
    int count = 0;
    for (int i = 0; i < kWaveSlots; ++i) {
        auto s = static_cast<size_t>(i);
        const bool bending = w->slotActive[s] && w->refraction[s] > 0.0f;
        if (packed && !bending) {
            continue;
        }
        const int at = packed ? count++ : i;
        program->setInt(active[at], w->slotActive[s] ? 1 : 0);
        if (!w->slotActive[s]) {
            continue;
        }
        const vec2 c = ringCenter(i);
        program->setFloat(radius[at], w->radius[s]);
        program->setVec2(center[at], c.x, c.y);
        program->setFloat(amplitude[at], w->amplitude[s]);
        program->setFloat(refraction[at], w->refraction[s]);
        program->setFloat(width[at], w->width[s]);
    }
    program->setInt("waveCount", packed ? count : kWaveSlots);
}

int ShaderLogic::ringsOnPicture(std::array<RingOnPicture, kWaveSlots>& rings) const {
    const WaveEffect* w = waves();
    int count = 0;
    for (int i = 0; w != nullptr && i < kWaveSlots; ++i) {
        auto s = static_cast<size_t>(i);
        if (w->slotActive[s] && w->refraction[s] > 0.0f) {
            rings[static_cast<size_t>(count++)] = {ringCenter(i), w->radius[s], w->width[s]};
        }
    }
    return count;
}

std::vector<CrackHit> ShaderLogic::bulletHits() const {
    std::vector<CrackHit> hits;
    RigidBody2D* body = owner->getComponent<RigidBody2D>();
    if (body == nullptr) {
        return hits;
    }
    // The body's records of this object's own collider whose other side is a bullet.
    for (const ContactRecord& contact : body->contacts) {
        if (contact.self == nullptr || contact.self->owner != owner || contact.other == nullptr ||
            contact.other->owner == nullptr || contact.other->owner->tag != "Bullet" ||
            contact.manifold.points.empty()) {
            continue;
        }
        hits.push_back({contact.other->owner->id, contact.manifold.points[0]});
    }
    return hits;
}

ShaderProgram* ShaderLogic::targetProgram() const {
    Renderer* renderer = nullptr;
    if (mode == ShaderMode::Waves) {
        renderer = owner->getComponent<FrameBufferRenderer>();
    } else if (mode == ShaderMode::Fade) {
        renderer = owner->getComponent<GameUIRenderer>();
    } else {
        renderer = owner->getComponent<SpriteRenderer>();
    }
    return renderer != nullptr ? renderer->shader : nullptr;
}
