// Drawing a frame shaped like a match (platforms, tanks made of parts, bullets, interface and
// text), and the per-draw costs the graphics manager avoids: looking uniform locations up by name
// and uploading values a program or mesh already holds. Runs under Xvfb (software OpenGL).
#include "bench/bench_window.hpp"
#include "graphics/camera.hpp"
#include "graphics/graphics_manager.hpp"
#include "graphics/renderer.hpp"
#include "objects/game_object_list.hpp"
#include "objects/resource_manager.hpp"

#include <GL/glew.h>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Window/Window.hpp>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

sf::Window* window() {
    static sf::Window* made = [] {
        sf::Window* w = benchWindow();
        if (w != nullptr) {
            addBenchTexture("Sheet", sf::Color(200, 120, 40), 64);
        }
        return w;
    }();
    return made;
}

// A match-like scene: count sprites cut from one sheet, a dozen interface images and some text.
// With varyingCells every sprite shows another cell than the one before it.
void buildScene(int sprites, bool varyingCells) {
    ResourceManager& resources = ResourceManager::instance();
    GameObjectList& objects = GameObjectList::instance();
    for (int i = 0; i < sprites; ++i) {
        GameObject* object = objects.create("Part");
        object->transform.setPosition(static_cast<float>(i % 40) - 20.0f, static_cast<float>(i / 40) - 10.0f,
                                      static_cast<float>(i % 7));
        object->transform.setScale(1.5f, 1.5f, 1.0f);
        SpriteRenderer* sprite = object->addComponent<SpriteRenderer>();
        sprite->shader = resources.getShader("Sprite");
        sprite->texture = resources.getTexture("Sheet");
        sprite->columns = 4;
        sprite->column = varyingCells ? 1 + i % 4 : 1;
    }
    for (int i = 0; i < 12; ++i) {
        GameObject* object = objects.create("Icon");
        object->transform.setPosition(-0.9f + 0.15f * static_cast<float>(i), -0.85f, 0.0f);
        object->transform.setScale(0.1f, 0.15f, 1.0f);
        object->addComponent<GameUIRenderer>()->set(
            resources.getShader("Sprite-UI"), resources.getTexture("Sheet"), {1, 1, 1, 1}, 12, 0, 1 + i);
    }
    for (int i = 0; i < 4; ++i) {
        GameObject* object = objects.create("Label");
        object->transform.setPosition(-15.0f + 10.0f * static_cast<float>(i), 12.0f, 0.0f);
        TextRenderer* text = object->addComponent<TextRenderer>();
        text->shader = resources.getShader("Text");
        text->text = "PLAYER 1 : 120%";
    }
    WorldRoot().transform.updateWorld();
}

void BM_DrawFrame(benchmark::State& state) {
    if (window() == nullptr) {
        state.SkipWithError("needs an X display");
        return;
    }
    buildScene(static_cast<int>(state.range(0)), state.range(1) != 0);
    Camera camera;
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        GraphicsManager::instance().DrawFrame(&camera);
        window()->display();
        glFinish();
    }
    GameObjectList::instance().destroyAll();
}
BENCHMARK(BM_DrawFrame)->Args({200, 0})->Args({200, 1})->Unit(benchmark::kMillisecond);

// The floor the frame is measured against: clearing the window and presenting it.
void BM_ClearAndPresent(benchmark::State& state) {
    if (window() == nullptr) {
        state.SkipWithError("needs an X display");
        return;
    }
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        window()->display();
        glFinish();
    }
}
BENCHMARK(BM_ClearAndPresent)->Unit(benchmark::kMillisecond);

// The lookups a sprite draw makes, cached against asking the driver each time.
void BM_UniformLocation(benchmark::State& state) {
    if (window() == nullptr) {
        state.SkipWithError("needs an X display");
        return;
    }
    ShaderProgram* program = ResourceManager::instance().getShader("Sprite");
    const bool cached = state.range(0) != 0;
    for (auto _ : state) {
        for (const char* name : {"color", "model", "view", "projection", "normalTexture"}) {
            int location = cached ? program->uniform(name) : glGetUniformLocation(program->id, name);
            benchmark::DoNotOptimize(location);
        }
    }
}
BENCHMARK(BM_UniformLocation)->Arg(0)->Arg(1);

// Handing the camera to a program per draw: skipped when it already holds the same matrices.
void BM_CameraUpload(benchmark::State& state) {
    if (window() == nullptr) {
        state.SkipWithError("needs an X display");
        return;
    }
    ShaderProgram* program = ResourceManager::instance().getShader("Sprite");
    Camera camera;
    glUseProgram(program->id);
    const bool skipping = state.range(0) != 0;
    for (auto _ : state) {
        if (skipping) {
            program->setMatrix("view", camera.view.data());
            program->setMatrix("projection", camera.projection.data());
        } else {
            glUniformMatrix4fv(program->uniform("view"), 1, GL_FALSE, camera.view.data());
            glUniformMatrix4fv(program->uniform("projection"), 1, GL_FALSE, camera.projection.data());
        }
    }
    glFinish();
}
BENCHMARK(BM_CameraUpload)->Arg(0)->Arg(1);

} // namespace
