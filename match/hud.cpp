#include "match/hud.hpp"

#include "objects/game_object_list.hpp"

// Placeholder until the HUD is built: the objects exist, nothing is drawn.
std::unique_ptr<StatsPanel> BuildStatsPanel(Player* player, int, int) {
    auto panel = std::make_unique<StatsPanel>();
    panel->player = player;
    panel->root = GameObjectList::instance().create("StatsPanelRoot");
    return panel;
}
void UpdateStatsPanel(StatsPanel&) {}
void HideStatsPanelParts(StatsPanel& panel) {
    setActive(panel.root, false);
}
std::unique_ptr<GameTimer> BuildGameTimer(vec3, vec3) {
    auto timer = std::make_unique<GameTimer>();
    timer->root = GameObjectList::instance().create("GameTimer");
    return timer;
}
void SetGameTimer(GameTimer&, int32_t) {}
