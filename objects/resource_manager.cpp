#include "objects/resource_manager.hpp"

#include <GL/glew.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

const ShaderFiles kGameShaders[11] = {
    {"Basic", "./shaders/Basic.vs", "./shaders/Basic.fs"},
    {"Sprite", "./shaders/Sprite.vs", "./shaders/Sprite.fs"},
    {"Sprite-UI", "./shaders/Sprite_UI.vs", "./shaders/Sprite_UI.fs"},
    {"Text", "./shaders/Text.vs", "./shaders/Text.fs"},
    {"Text-UI", "./shaders/Text_UI.vs", "./shaders/Text_UI.fs"},
    {"Blackhole", "./shaders/Blackhole.vs", "./shaders/Blackhole.fs"},
    {"Sprite-Cracks", "./shaders/Sprite_Cracks.vs", "./shaders/Sprite_Cracks.fs"},
    {"Grayscale", "./shaders/Grayscale.vs", "./shaders/Grayscale.fs"},
    {"Shockwave", "./shaders/Shockwave.vs", "./shaders/Shockwave.fs"},
    {"Sprite-Scrolling", "./shaders/Sprite_Scrolling.vs", "./shaders/Sprite_Scrolling.fs"},
    {"Sprite_FadeToBlack_Circular", "./shaders/Sprite_FadeToBlack_Circular.vs",
     "./shaders/Sprite_FadeToBlack_Circular.fs"},
};

namespace {

const char* kDashes = "\n -- --------------------------------------------------- -- ";

// Reads a whole file. On failure prints the file message and returns what was read (empty
// when the file cannot be opened).
std::string readSource(const std::string& path, bool& failed) {
    std::ifstream file;
    file.exceptions(std::ifstream::failbit | std::ifstream::badbit);
    std::stringstream text;
    try {
        file.open(path);
        text << file.rdbuf();
        file.close();
    } catch (const std::ios_base::failure&) {
        failed = true;
    }
    return text.str();
}

// Prints the failure of a stage or of the link; returns whether it succeeded.
bool checkShader(GLuint object, const std::string& type) {
    GLint success = 0;
    GLchar log[1024] = {};
    if (type == "PROGRAM") {
        glGetProgramiv(object, GL_LINK_STATUS, &success);
        if (!success) {
            glGetProgramInfoLog(object, 1024, nullptr, log);
            std::cout << "ERROR::PROGRAM_LINKING_ERROR of type: " << type << "\n"
                      << log << kDashes << std::endl;
        }
    } else {
        glGetShaderiv(object, GL_COMPILE_STATUS, &success);
        if (!success) {
            glGetShaderInfoLog(object, 1024, nullptr, log);
            std::cout << "ERROR::SHADER_COMPILATION_ERROR of type: " << type << "\n"
                      << log << kDashes << std::endl;
        }
    }
    return success != 0;
}

GLuint compileStage(GLenum stage, const std::string& source, const std::string& label,
                    const std::string& path) {
    GLuint shader = glCreateShader(stage);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    if (!checkShader(shader, label)) {
        std::cout << path << std::endl;
    }
    return shader;
}

} // namespace

int ShaderProgram::uniform(std::string_view name) {
    auto it = locations.find(name);
    if (it != locations.end()) {
        return it->second;
    }
    std::string key(name);
    int location = glGetUniformLocation(id, key.c_str());
    locations.emplace(std::move(key), location);
    return location;
}

void ShaderProgram::setMatrix(std::string_view name, const float* columnMajor) {
    int location = uniform(name);
    if (location < 0) {
        return;
    }
    std::array<float, 16> values;
    std::memcpy(values.data(), columnMajor, sizeof(values));
    auto [it, added] = matrices.try_emplace(location, values);
    if (!added) {
        // Bitwise, so a NaN or a negative zero is still handed over like any other change.
        if (std::memcmp(it->second.data(), values.data(), sizeof(values)) == 0) {
            return;
        }
        it->second = values;
    }
    glUniformMatrix4fv(location, 1, GL_FALSE, columnMajor);
}

int ShaderProgram::locationToChange(std::string_view name, const std::array<float, 4>& value) {
    int location = uniform(name);
    if (location < 0) {
        return -1;
    }
    auto [it, added] = values.try_emplace(location, value);
    if (!added) {
        // Bitwise, as with matrices.
        if (std::memcmp(it->second.data(), value.data(), sizeof(value)) == 0) {
            return -1;
        }
        it->second = value;
    }
    return location;
}

void ShaderProgram::setInt(std::string_view name, int value) {
    std::array<float, 4> kept{};
    std::memcpy(kept.data(), &value, sizeof(value));
    if (int location = locationToChange(name, kept); location >= 0) {
        glUniform1i(location, value);
    }
}

void ShaderProgram::setFloat(std::string_view name, float value) {
    if (int location = locationToChange(name, {value, 0, 0, 0}); location >= 0) {
        glUniform1f(location, value);
    }
}

void ShaderProgram::setVec2(std::string_view name, float x, float y) {
    if (int location = locationToChange(name, {x, y, 0, 0}); location >= 0) {
        glUniform2f(location, x, y);
    }
}

void ShaderProgram::setVec4(std::string_view name, float x, float y, float z, float w) {
    if (int location = locationToChange(name, {x, y, z, w}); location >= 0) {
        glUniform4f(location, x, y, z, w);
    }
}

ResourceManager& ResourceManager::instance() {
    static auto* manager = new ResourceManager();
    return *manager;
}

sf::Texture* ResourceManager::loadTexture(const std::string& name, const std::string& path) {
    if (auto it = textures.find(name); it != textures.end()) {
        return it->second.get();
    }
    sf::Image picture;
    if (!readPicture(name, path, picture)) {
        return nullptr;
    }
    return addTexture(name, picture);
}

sf::Texture* ResourceManager::replaceTexture(const std::string& name, const std::string& path) {
    auto it = textures.find(name);
    if (it == textures.end()) {
        return loadTexture(name, path);
    }
    sf::Image picture;
    if (!readPicture(name, path, picture)) {
        removeTexture(name);
        return nullptr;
    }
    if (picture.getSize() != it->second->getSize()) {
        removeTexture(name);
        return addTexture(name, picture);
    }
    it->second->update(picture);
    ++generation; // copies made of the old picture are out of date
    reportedMissing.erase(name);
    return it->second.get();
}

bool ResourceManager::readPicture(const std::string& name, const std::string& path, sf::Image& picture) {
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(path, ignored)) {
        // Told with the others of its folder once the screen has loaded; the picture library
        // would say it once per file.
        missingPictures.push_back({name, path});
        return false;
    }
    return picture.loadFromFile(path);
}

sf::Texture* ResourceManager::addTexture(const std::string& name, const sf::Image& picture) {
    auto texture = std::make_unique<sf::Texture>();
    if (!texture->loadFromImage(picture)) {
        return nullptr;
    }
    texture->setSmooth(true);
    sf::Texture* raw = texture.get();
    textures.emplace(name, std::move(texture));
    ++generation;
    reportedMissing.erase(name);
    return raw;
}

void ResourceManager::tellMissingPictures() {
    namespace fs = std::filesystem;
    // Each missing file goes with the highest folder above it that is gone too, or with its own
    // folder when only files are missing.
    std::map<std::string, std::vector<std::string>> byFolder;
    std::set<std::string> goneFolders;
    for (const MissingPicture& missing : missingPictures) {
        fs::path folder = fs::path(missing.path).parent_path();
        std::error_code ignored;
        if (!fs::is_directory(folder, ignored)) {
            while (!folder.parent_path().empty() && !fs::is_directory(folder.parent_path(), ignored)) {
                folder = folder.parent_path();
            }
            goneFolders.insert(folder.string());
        }
        byFolder[folder.string()].push_back(fs::path(missing.path).filename().string());
        reportedMissing.insert(missing.name);
    }
    for (const auto& [folder, files] : byFolder) {
        if (goneFolders.count(folder) != 0) {
            std::cout << "Missing folder " << folder << "/: " << files.size()
                      << " pictures could not be loaded" << std::endl;
            continue;
        }
        std::cout << "Missing pictures in " << folder << "/:";
        for (size_t i = 0; i < files.size(); ++i) {
            std::cout << (i == 0 ? " " : ", ") << files[i];
        }
        std::cout << std::endl;
    }
    missingPictures.clear();
}

void ResourceManager::reportMissingTexture(const std::string& name) {
    if (reportedMissing.insert(name).second) {
        std::cout << "CAN'T FIND TEXTURE" << std::endl;
    }
}

sf::Texture* ResourceManager::getTexture(const std::string& name) const {
    auto it = textures.find(name);
    return it != textures.end() ? it->second.get() : nullptr;
}

void ResourceManager::removeTexture(const std::string& name) {
    generation += textures.erase(name);
}

void ResourceManager::loadShader(const std::string& name, const std::string& vertexPath,
                                 const std::string& fragmentPath) {
    if (shaders.count(name) != 0) {
        return;
    }
    shaders.emplace(name, buildProgram(vertexPath, fragmentPath));
}

std::unique_ptr<ShaderProgram> ResourceManager::buildProgram(const std::string& vertexPath,
                                                             const std::string& fragmentPath) {
    bool vertexFailed = false;
    bool fragmentFailed = false;
    std::string vertexSource = readSource(vertexPath, vertexFailed);
    std::string fragmentSource = readSource(fragmentPath, fragmentFailed);
    const bool failed = vertexFailed || fragmentFailed;
    if (failed) {
        // The message names no file; the ones that failed follow it.
        std::cout << "ERROR::SHADER::FILE_NOT_SUCCESFULLY_READ" << std::endl;
        std::cout << (vertexFailed ? vertexPath + (fragmentFailed ? "\n" : "") : "")
                  << (fragmentFailed ? fragmentPath : "") << std::endl;
    }
    auto program = std::make_unique<ShaderProgram>();
    if (failed) {
        // Nothing to build from: the program stays unlinked and draws nothing, and compiling an
        // empty source would only say the same thing three more times.
        return program;
    }
    GLuint vertex = compileStage(GL_VERTEX_SHADER, vertexSource, "VERTEX", vertexPath);
    GLuint fragment = compileStage(GL_FRAGMENT_SHADER, fragmentSource, "FRAGMENT", fragmentPath);
    program->id = glCreateProgram();
    glAttachShader(program->id, vertex);
    glAttachShader(program->id, fragment);
    glLinkProgram(program->id);
    program->linked = checkShader(program->id, "PROGRAM");
    if (!program->linked) {
        std::cout << vertexPath << "\n" << fragmentPath << std::endl;
    }
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    return program;
}

ShaderProgram* ResourceManager::getShader(const std::string& name) const {
    auto it = shaders.find(name);
    return it != shaders.end() ? it->second.get() : nullptr;
}

void ResourceManager::removeShader(const std::string& name) {
    auto it = shaders.find(name);
    if (it == shaders.end()) {
        return;
    }
    glDeleteProgram(it->second->id);
    shaders.erase(it);
}

void ResourceManager::clear() {
    for (auto& [name, program] : shaders) {
        glDeleteProgram(program->id);
    }
    shaders.clear();
    textures.clear();
    ++generation;
}

size_t ResourceManager::textureBytes() const {
    size_t bytes = 0;
    for (const auto& [name, texture] : textures) {
        if (texture != nullptr) {
            const sf::Vector2u size = texture->getSize();
            bytes += static_cast<size_t>(size.x) * size.y * 4;
        }
    }
    return bytes;
}
