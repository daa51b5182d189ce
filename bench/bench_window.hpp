#pragma once

// One window with the game's OpenGL state, programs and graphics manager for a whole benchmark
// run (under Xvfb, software OpenGL). Null without a display, so drawing benchmarks can skip.

#include "graphics/graphics_manager.hpp"
#include "objects/resource_manager.hpp"
#include "platform/memory_tuning.hpp"

#include <GL/glew.h>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Window/Window.hpp>

#include <cstdlib>
#include <memory>
#include <string>

inline sf::Window* benchWindow() {
    static std::unique_ptr<sf::Window> instance = [] {
        std::unique_ptr<sf::Window> made;
        const char* display = std::getenv("DISPLAY");
        if (display == nullptr || display[0] == '\0') {
            return made;
        }
        KeepFreedMemoryForReuse(); // as the engine does before its window
        made = std::make_unique<sf::Window>(sf::VideoMode(1280, 800), "bench", sf::Style::Default,
                                            sf::ContextSettings(24, 8, 0));
        made->setActive(true);
        glewExperimental = GL_TRUE;
        glewInit();
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glViewport(0, 0, 1280, 800);
        GraphicsManager::instance().screen = {1280, 800, 0, 0, 1280, 800};
        for (const ShaderFiles& shader : kGameShaders) {
            ResourceManager::instance().loadShader(shader.name, shader.vertex, shader.fragment);
        }
        GraphicsManager::instance().fontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
        GraphicsManager::instance().Initialize();
        return made;
    }();
    return instance.get();
}

// Registers a one-colour picture under a name, through the normal file loader.
inline void addBenchTexture(const std::string& name, sf::Color color, unsigned size = 32) {
    sf::Image image;
    image.create(size, size, color);
    std::string path = "/tmp/grumbo-bench-" + name + ".png";
    image.saveToFile(path);
    ResourceManager::instance().loadTexture(name, path);
}
