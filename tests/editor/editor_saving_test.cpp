// Saving from the editor as a player does: under a name that is the game's own (a shipped map's,
// a table's, whatever its case) the editor asks for another and writes nothing; the checks panel
// says "Saved as a draft" only after a save that kept this very map as one.
#include "editor/editor_game_state.hpp"
#include "editor/editor_session.hpp"
#include "editor/map_file.hpp"
#include "frontend/game_states.hpp"
#include "tests/editor/editor_maps.hpp"
#include "tests/support/engine_harness.hpp"
#include "tests/support/printed.hpp"
#include "tests/support/temp_run_dir.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

class EditorSaving : public ::testing::Test {
  protected:
    void SetUp() override {
        dir.writeResource("JsonData/MapSetting.json", R"({ "Map": [ { "MapName": "Meadow" } ] })");
        dir.writeResource(
            "JsonData/BackgroundSetting.json",
            R"({ "MapArray": [ { "MapName": "Meadow", "MapPath": "Meadow", "Theme": "meadow" } ] })");
        MapData meadow = editor_test::smallMap();
        meadow.name = "Meadow";
        dir.writeResource("JsonData/Meadow.json", MapFileText(meadow));
        setenv("XDG_DATA_HOME", data.c_str(), 1);
        RereadGameMaps();
        harness.engine().stateFactory = MakeGameState;
    }
    // The editor on that map, as --edit starts it.
    EditorGameState& edit(const std::string& name) {
        EXPECT_TRUE(EditorSession::instance().open(name, ""));
        harness.engine().states->next = GameStateId::Editor;
        harness.step();
        auto* editor = dynamic_cast<EditorGameState*>(harness.engine().states->state);
        EXPECT_NE(editor, nullptr);
        return *editor;
    }

    TempRunDir dir;
    std::string data = dir.resources() + "../data";
    EngineHarness harness;
};

} // namespace

TEST_F(EditorSaving, AGameNameAsksForAnotherAndNothingIsWritten) {
    const std::string table = FileText(dir.resources() + "JsonData/MapSetting.json");
    for (const char* name : {"MapSetting", "mapsetting", "Meadow", "MEADOW"}) {
        EditorSession& session = EditorSession::instance();
        EditorGameState& editor = edit(name);
        session.document.nudgeSelection({0.1f, 0.0f});
        session.document.setCameraZoom(40.0f);
        const std::string said = Printed([&] { editor.Save(false); });
        EXPECT_NE(said.find("was not saved"), std::string::npos) << said;
        EXPECT_NE(said.find("give it a name of your own"), std::string::npos) << said;
        EXPECT_EQ(session.checksHeading().find("Saved"), std::string::npos) << name;
        EXPECT_FALSE(fs::exists(data)) << name << ": nothing written, not even a preview";
    }
    EXPECT_EQ(FileText(dir.resources() + "JsonData/MapSetting.json"), table);
}

TEST_F(EditorSaving, OnlyASaveThatKeptThisMapAsADraftSaysSo) {
    EditorSession& session = EditorSession::instance();
    EditorGameState& editor = edit("Sketch");
    session.document.select({EditorSelection::Kind::SpawnPoint, 0});
    session.document.deleteSelection(); // three spawn points: a draft
    EXPECT_EQ(session.checksHeading().find("Saved"), std::string::npos) << "not saved yet";
    const std::string said = Printed([&] { editor.Save(false); });
    EXPECT_NE(said.find("as a draft"), std::string::npos) << said;
    EXPECT_EQ(session.checksHeading(), "Saved as a draft until these are mended:");
    session.document.nudgeSelection({0.0f, 1.0f});
    session.document.select({EditorSelection::Kind::SpawnPoint, 0});
    session.document.nudgeSelection({0.0f, 1.0f});
    EXPECT_EQ(session.checksHeading().find("Saved"), std::string::npos) << "changed since";
    EXPECT_TRUE(fs::exists(data + "/grumbo/maps/Sketch.json") &&
                fs::exists(data + "/grumbo/maps/Sketch.png"));
}
