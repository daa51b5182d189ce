#include "graphics/scene_builders.hpp"

#include "graphics/renderer.hpp"
#include "objects/game_object_list.hpp"
#include "objects/resource_manager.hpp"

GameObject* MakeObject(const std::string& name, const Pose& pose, GameObject* parent) {
    GameObject* object = GameObjectList::instance().create(name);
    if (parent != nullptr) {
        parent->transform.setParent(object);
    }
    object->transform.setPosition(pose.position.x, pose.position.y, pose.position.z);
    object->transform.setRotation(0.0f, 0.0f, pose.spin);
    object->transform.setScale(pose.scale.x, pose.scale.y, pose.scale.z);
    return object;
}

SpriteRenderer* AddSprite(GameObject* object, const std::string& texture, vec4 colour, int32_t columns,
                          const char* program) {
    auto* sprite = object->addComponent<SpriteRenderer>();
    sprite->shader = ResourceManager::instance().getShader(program);
    sprite->setTexture(texture);
    sprite->color = colour;
    sprite->columns = columns;
    sprite->column = 1;
    sprite->rows = 1;
    sprite->row = 1;
    return sprite;
}

TextRenderer* SetText(GameObject* object, const std::string& text, vec4 colour, const char* program) {
    if (object == nullptr) {
        return nullptr;
    }
    auto* label = object->addComponent<TextRenderer>();
    label->shader = ResourceManager::instance().getShader(program);
    label->color = colour;
    label->text = text;
    return label;
}

void SetPicture(GameObject* object, const std::string& texture) {
    if (object == nullptr) {
        return;
    }
    if (auto* sprite = object->getComponent<SpriteRenderer>()) {
        sprite->setTexture(texture);
    }
}

void Show(GameObject* object, bool visible) {
    if (object != nullptr) {
        setActive(object, visible);
    }
}
