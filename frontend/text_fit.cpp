#include "frontend/text_fit.hpp"

#include "graphics/renderer.hpp"
#include "objects/game_object.hpp"

void FitText(GameObject* object, vec2 fullScale, float charactersAtFullScale) {
    const TextRenderer* text = object != nullptr ? object->getComponent<TextRenderer>() : nullptr;
    if (text == nullptr) {
        return;
    }
    const auto characters = static_cast<float>(text->text.size());
    const float share = characters > charactersAtFullScale ? charactersAtFullScale / characters : 1.0f;
    object->transform.setScale(fullScale.x * share, fullScale.y * share, object->transform.scale.z);
}
