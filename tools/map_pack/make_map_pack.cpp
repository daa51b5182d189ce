// Makes the map pack with the map editor's own document, the way a player makes a map: platforms
// added, stretched and turned, spawn points dropped on them, the zoom and the theme chosen; then
// each map is checked and saved into a data folder as a developer ships a map (the previews are
// left to the build, which draws them for every map it is given).
//   make_map_pack DATA_FOLDER       (the repository's data/)
#include "editor/map_checks.hpp"
#include "editor/map_document.hpp"
#include "platform/file_read.hpp"
#include "tools/map_pack/pack_saver.hpp"

#include <functional>
#include <iostream>
#include <string>
#include <vector>

namespace {

struct Editing {
    MapDocument& doc;
    void platform(float x, float y, float width, float height, float degrees = 0.0f) {
        doc.addPlatform({x, y});
        doc.resizeSelection(width, height);
        doc.setSelectionRotation(degrees);
    }
    void spawn(float x, float y) { doc.addSpawnPoint({x, y}); }
};

struct PackMap {
    const char* name;
    const char* theme;
    float zoom;
    std::function<void(Editing&)> build;
};

const PackMap kPack[] = {
    // Two long slopes lead down into a small pit over the void: the fight slides to the middle.
    {"Funnel", "lagoon", 32.0f,
     [](Editing& e) {
         e.platform(-12.5f, -2.0f, 18.0f, 1.0f, -18.0f);
         e.platform(12.5f, -2.0f, 18.0f, 1.0f, 18.0f);
         e.platform(0.0f, -8.0f, 9.0f, 1.0f);
         e.spawn(-17.0f, 1.5f);
         e.spawn(17.0f, 1.5f);
         e.spawn(-2.5f, -6.0f);
         e.spawn(2.5f, -6.0f);
     }},
    // Stepping stones in the clouds: small pads a jump apart around one landing below.
    {"Stepstones", "cloudtop", 36.0f,
     [](Editing& e) {
         e.platform(0.0f, -12.5f, 10.0f, 1.0f);
         for (float x : {-8.0f, 8.0f}) {
             e.platform(x, -9.0f, 4.0f, 0.8f);
         }
         for (float x : {-15.0f, 0.0f, 15.0f}) {
             e.platform(x, -5.5f, 4.0f, 0.8f);
         }
         for (float x : {-21.0f, -7.5f, 7.5f, 21.0f}) {
             e.platform(x, -2.0f, 4.0f, 0.8f);
         }
         for (float x : {-14.0f, 0.0f, 14.0f}) {
             e.platform(x, 1.5f, 4.0f, 0.8f);
         }
         for (float x : {-7.0f, 7.0f}) {
             e.platform(x, 5.0f, 4.0f, 0.8f);
         }
         e.spawn(-8.0f, -7.6f);
         e.spawn(8.0f, -7.6f);
         e.spawn(-7.5f, -0.6f);
         e.spawn(7.5f, -0.6f);
     }},
    // A peak in a tall, open sky: stairs of ledges climb from both far corners to one summit, with
    // nothing under them; the fight is for the top, and whoever is thrown off falls all the way.
    {"Spire", "glacier", 34.0f,
     [](Editing& e) {
         e.platform(0.0f, 5.5f, 9.0f, 1.0f);
         for (int step = 1; step <= 5; ++step) {
             const float x = 2.5f + 4.0f * static_cast<float>(step);
             const float y = 5.5f - 3.5f * static_cast<float>(step);
             e.platform(-x, y, 4.0f, 0.8f);
             e.platform(x, y, 4.0f, 0.8f);
         }
         e.spawn(-14.5f, -3.5f);
         e.spawn(14.5f, -3.5f);
         e.spawn(-6.5f, 3.5f);
         e.spawn(6.5f, 3.5f);
     }},
    // One wide floor with walls to shoot over and shelters above them.
    {"Bunker", "canyon", 30.0f,
     [](Editing& e) {
         e.platform(0.0f, -10.0f, 40.0f, 2.0f);
         for (float x : {-13.0f, -5.0f, 5.0f, 13.0f}) {
             e.platform(x, -8.0f, 1.2f, 2.0f);
         }
         e.platform(-9.0f, -4.0f, 6.0f, 0.8f);
         e.platform(9.0f, -4.0f, 6.0f, 0.8f);
         e.platform(0.0f, -0.5f, 8.0f, 0.8f);
         for (float x : {-17.0f, -9.0f, 9.0f, 17.0f}) {
             e.spawn(x, -7.5f);
         }
     }},
    // The tightest view: a long ledge from edge to edge, and every push off its end is a life.
    {"Brink", "ember", 30.0f,
     [](Editing& e) {
         e.platform(0.0f, -5.0f, 40.0f, 1.5f);
         e.platform(-9.0f, -1.2f, 6.0f, 0.8f);
         e.platform(9.0f, -1.2f, 6.0f, 0.8f);
         e.platform(0.0f, 2.2f, 6.0f, 0.8f);
         for (float x : {-15.0f, -5.0f, 5.0f, 15.0f}) {
             e.spawn(x, -2.8f);
         }
     }},
    // Two high towers step down to a narrow pit between them.
    {"Crossfire", "starfall", 38.0f,
     [](Editing& e) {
         e.platform(-19.0f, 4.0f, 9.0f, 1.0f);
         e.platform(19.0f, 4.0f, 9.0f, 1.0f);
         e.platform(-12.0f, 0.8f, 5.0f, 0.8f);
         e.platform(12.0f, 0.8f, 5.0f, 0.8f);
         e.platform(-6.0f, -2.6f, 5.0f, 0.8f);
         e.platform(6.0f, -2.6f, 5.0f, 0.8f);
         e.platform(0.0f, -6.0f, 8.0f, 1.0f);
         e.spawn(-20.0f, 6.0f);
         e.spawn(20.0f, 6.0f);
         e.spawn(-6.0f, -0.7f);
         e.spawn(6.0f, -0.7f);
     }},
};

// Shipped maps retuned with the same document: Starfall's camera comes closer, so four computers
// there knock each other out before the clock as they do on the other maps.
struct Retune {
    const char* name;
    const char* theme;
    float zoom;
};
const Retune kRetunes[] = {{"Starfall", "starfall", 35.0f}};

// Checks the map and saves it into the folder; false when it did not go in the map list.
bool checkAndSave(const MapDocument& doc, const std::string& folder) {
    const std::vector<MapProblem> problems = CheckMap(doc.map());
    for (const MapProblem& p : problems) {
        std::cout << doc.map().name << ": " << p.text << std::endl;
    }
    std::string message;
    const bool listed = SaveIntoDataFolder(doc.map(), doc.theme(), problems.empty(), folder, message);
    std::cout << message << std::endl;
    return listed;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cout << "usage: make_map_pack DATA_FOLDER" << std::endl;
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    int failures = 0;
    for (const PackMap& pack : kPack) {
        MapData blank;
        blank.name = pack.name;
        MapDocument doc(blank, pack.theme);
        doc.setCameraZoom(pack.zoom);
        Editing editing{doc};
        pack.build(editing);
        failures += checkAndSave(doc, folder) ? 0 : 1;
    }
    for (const Retune& retune : kRetunes) {
        std::string text;
        ReadRegularFile(folder + retune.name + ".json", 1 << 20, text);
        MapData map = readMapData(parseJsonText(text, retune.name));
        map.name = retune.name;
        MapDocument doc(map, retune.theme);
        doc.setCameraZoom(retune.zoom);
        failures += checkAndSave(doc, folder) ? 0 : 1;
    }
    return failures == 0 ? 0 : 1;
}
