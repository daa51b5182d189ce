#pragma once

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// A linked (or failed) shader program. Uniform locations are looked up once per name and
// kept, so draws do not ask the driver every time.
struct ShaderProgram {
    unsigned int id = 0;
    // False when the build failed: OpenGL refuses to use such a program, so renderers that
    // hold it draw nothing rather than drawing with whatever program was in use before.
    bool linked = false;
    // Location of a uniform of this program, -1 when it has none by that name.
    int uniform(std::string_view name);
    // Hands a column-major 4 x 4 matrix to the program, which must be in use. The camera's
    // matrices are the same for most draws of a frame, so an upload of the values the
    // location already holds is skipped: every matrix upload to a program goes through here.
    void setMatrix(std::string_view name, const float* columnMajor);
    // The same for single values and vectors: passes and effects hand over the same colours and
    // effect values draw after draw, and each upload is a call into the driver. Uploads to the
    // game's programs all go through these, so what is kept is what the program holds.
    void setInt(std::string_view name, int value);
    void setFloat(std::string_view name, float value);
    void setVec2(std::string_view name, float x, float y);
    void setVec4(std::string_view name, float x, float y, float z, float w);

  private:
    // The location of a uniform that does not yet hold these values (recorded as held from now
    // on), or -1 when there is nothing to upload.
    int locationToChange(std::string_view name, const std::array<float, 4>& value);
    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };
    std::unordered_map<std::string, int, NameHash, std::equal_to<>> locations;
    std::unordered_map<int, std::array<float, 16>> matrices;
    std::unordered_map<int, std::array<float, 4>> values;
};

// Owns every texture and shader program, each under a short name. Loading under a name that
// is taken returns what is there and ignores the new path.
class ResourceManager {
  public:
    static ResourceManager& instance();

    // Null when the file does not load; nothing is registered then, so a later call retries.
    sf::Texture* loadTexture(const std::string& name, const std::string& path);
    // Puts the file's picture under the name, whatever was there. A picture of the size of the
    // one it replaces is written into the same texture: the software renderer frees a deleted
    // texture's storage only some frames later, so deleting and loading anew held both for a
    // while. Null, the name left empty, when the file does not load.
    sf::Texture* replaceTexture(const std::string& name, const std::string& path);
    sf::Texture* getTexture(const std::string& name) const;
    void removeTexture(const std::string& name);
    // Prints "CAN'T FIND TEXTURE" for a picture a draw asked for and did not find: once per
    // name, so a missing file does not bury every other message under a line per draw. Once
    // the name loads, losing it again is reported again.
    void reportMissingTexture(const std::string& name);
    // Tells which picture files were missing when loaded since the last call: one line per
    // folder, or one for a whole missing folder, so a lost folder does not bury every other
    // message. Names told here are not told again by the draws.
    void tellMissingPictures();

    // Registers the program whatever the build's outcome; failures print and draw nothing.
    void loadShader(const std::string& name, const std::string& vertexPath, const std::string& fragmentPath);
    // Builds a program from its two files, with the same messages, without registering it (for
    // programs a subsystem keeps to itself).
    static std::unique_ptr<ShaderProgram> buildProgram(const std::string& vertexPath,
                                                       const std::string& fragmentPath);
    ShaderProgram* getShader(const std::string& name) const;
    void removeShader(const std::string& name);

    // Deletes every texture and program and empties both maps.
    void clear();

    size_t textureCount() const { return textures.size(); }
    // Moves on whenever a texture is registered or destroyed, so copies made of pictures (the
    // particles' texture array) can tell they may be out of date: OpenGL reuses the names of
    // deleted textures.
    uint64_t textureGeneration() const { return generation; }
    // What the loaded pictures take once decoded (four bytes a pixel): the renderer holds that
    // much, in the process itself when it draws in software.
    size_t textureBytes() const;
    size_t shaderCount() const { return shaders.size(); }

    static std::string resourcePath(const std::string& relative) { return kResourceRoot + relative; }
    static inline const std::string kResourceRoot = "../Resources/";

  private:
    // Decodes the file, or records it as missing when there is no such file.
    bool readPicture(const std::string& name, const std::string& path, sf::Image& picture);
    sf::Texture* addTexture(const std::string& name, const sf::Image& picture);

    std::map<std::string, std::unique_ptr<sf::Texture>> textures;
    std::map<std::string, std::unique_ptr<ShaderProgram>> shaders;
    std::set<std::string> reportedMissing;
    uint64_t generation = 0;
    struct MissingPicture {
        std::string name;
        std::string path;
    };
    std::vector<MissingPicture> missingPictures;
};

// The eleven programs the game draws with, as registered at start: name, vertex file, fragment file.
struct ShaderFiles {
    const char* name;
    const char* vertex;
    const char* fragment;
};
extern const ShaderFiles kGameShaders[11];
