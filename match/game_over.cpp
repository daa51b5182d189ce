#include "match/game_over.hpp"

#include "audio/sound_events.hpp"
#include "audio/sound_manager.hpp"
#include "engine/input_manager.hpp"
#include "gameplay/player.hpp"
#include "gameplay/teams.hpp"
#include "graphics/graphics_manager.hpp"
#include "graphics/particle_pool.hpp"
#include "graphics/renderer.hpp"
#include "graphics/scene_builders.hpp"
#include "graphics/shader_logic.hpp"
#include "match/match_run.hpp"
#include "match/play_game_state.hpp"
#include "objects/frame_timer.hpp"
#include "objects/game_object_list.hpp"
#include "objects/resource_manager.hpp"
#include "objects/state_archive.hpp"
#include "objects/world_hasher.hpp"
#include "physics/rigid_body.hpp"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace {

constexpr vec4 kPodiumColours[4] = {{1, 0, 0, 1}, {0, 0, 1, 1}, {0, 1, 0, 1}, {1, 1, 0, 1}};
constexpr float kTopColumn = 9.0f;
constexpr float kHeartSpeedUp = 3.0f;
constexpr float kHeartsMeetX = -0.5f;
constexpr float kHeartsOutX = -1.5f;
constexpr float kUnattendedPodiumSeconds = 3.0f;
// An online podium stands this long on every machine: a confirm on one machine cannot reach the
// others in the same frame, so nobody's confirm moves it on.
constexpr float kOnlinePodiumSeconds = 5.0f;

ShaderProgram* shader(const char* name) {
    return ResourceManager::instance().getShader(name);
}

GameUIRenderer* heartImage(GameObject* object, const char* texture) {
    LoadMatchPictureWhenShown(texture);
    auto* image = object->addComponent<GameUIRenderer>();
    image->set(shader("Sprite-UI"), std::string(texture), {1, 1, 1, 1}, 1, 1, 1);
    return image;
}

// Any player's confirm: A on their pad, T on the left keyboard half, Numpad 8 on the right.
bool anyConfirm(const std::vector<Player*>& players) {
    InputManager& input = InputManager::instance();
    for (Player* p : players) {
        uint32_t scheme = p->controls.padIndex;
        if (scheme < kMaxPads && input.padPressed(scheme, kButtonA)) {
            return true;
        }
        if (scheme == kSchemeKeyboardLeft && input.keyPressed(sf::Keyboard::T)) {
            return true;
        }
        if (scheme == kSchemeKeyboardRight && input.keyPressed(sf::Keyboard::Numpad8)) {
            return true;
        }
    }
    return false;
}

// Backspace, or X on any player's pad: back to the level select with the same players.
bool anyLevelSelect(const std::vector<Player*>& players) {
    InputManager& input = InputManager::instance();
    if (input.keyPressed(sf::Keyboard::Backspace)) {
        return true;
    }
    for (Player* p : players) {
        uint32_t scheme = p->controls.padIndex;
        if (scheme < kMaxPads && input.padPressed(scheme, kButtonX)) {
            return true;
        }
    }
    return false;
}

// The results strip: a dimmed band along the bottom, one line per player in podium order, and
// the podium's keys under them.
constexpr float kStripTop = -0.64f;        // in the interface's units, -1 to 1 up the window
constexpr float kVictoryHalfWidth = 27.0f; // the victory screen's world units across half the window
constexpr float kVictoryHalfHeight = 15.0f;
constexpr float kStripRowStep = 0.072f;
constexpr vec3 kStripTextScale{0.03f, 0.05f, 1.0f};
constexpr vec4 kStripColours[4] = {{1.0f, 0.45f, 0.45f, 1.0f},
                                   {0.5f, 0.65f, 1.0f, 1.0f},
                                   {0.45f, 1.0f, 0.45f, 1.0f},
                                   {1.0f, 1.0f, 0.4f, 1.0f}};

std::string rankWord(int32_t rank) {
    static const char* const kWords[] = {"Draw", "1st", "2nd", "3rd", "4th"};
    return rank >= 0 && rank <= 4 ? kWords[rank] : "";
}

} // namespace

std::array<uint32_t, kTeamCount> TeamLives(const PlayGameState& match) {
    std::array<uint32_t, kTeamCount> lives{};
    const Teams& teams = Teams::current();
    for (int i = 0; i < match.playerCount; ++i) {
        if (const Player* p = match.players[static_cast<size_t>(i)]) {
            lives[teams.seat[static_cast<size_t>(i)] % kTeamCount] += p->lives;
        }
    }
    return lives;
}

int SidesLeft(const PlayGameState& match) {
    const std::array<uint32_t, kTeamCount> lives = TeamLives(match);
    return static_cast<int>(std::count_if(lives.begin(), lives.end(), [](uint32_t n) { return n > 0; }));
}

std::optional<uint8_t> WinningTeam(const PlayGameState& match) {
    const std::array<uint32_t, kTeamCount> lives = TeamLives(match);
    if (lives[kTeamRed] == lives[kTeamBlue]) {
        return std::nullopt;
    }
    return lives[kTeamRed] > lives[kTeamBlue] ? kTeamRed : kTeamBlue;
}

std::vector<int> ColumnOrder(const PlayGameState& match) {
    std::vector<int> seats;
    for (int i = 0; i < match.playerCount; ++i) {
        seats.push_back(i);
    }
    const Teams& teams = Teams::current();
    if (teams.on) {
        const uint8_t first = WinningTeam(match).value_or(kTeamRed);
        std::stable_sort(seats.begin(), seats.end(), [&](int a, int b) {
            return (teams.seat[static_cast<size_t>(a)] == first) >
                   (teams.seat[static_cast<size_t>(b)] == first);
        });
    }
    std::vector<int> places(seats.size());
    for (size_t k = 0; k < seats.size(); ++k) {
        places[static_cast<size_t>(seats[k])] = static_cast<int>(k);
    }
    return places;
}

std::vector<int> ResultsOrder(const std::vector<int32_t>& ranks) {
    std::vector<int> order;
    for (size_t i = 0; i < ranks.size(); ++i) {
        order.push_back(static_cast<int>(i));
    }
    std::stable_sort(order.begin(), order.end(), [&ranks](int a, int b) {
        return ranks[static_cast<size_t>(a)] < ranks[static_cast<size_t>(b)];
    });
    return order;
}

void GameOver::showResults(PlayGameState& match) {
    GameObjectList& list = GameObjectList::instance();
    resultsStrip = list.create("ResultsStrip");
    const bool keysShown = match.online == nullptr && !match.AllComputers();
    const int rows = match.playerCount + (keysShown ? 1 : 0);
    const float bottom = kStripTop - kStripRowStep * static_cast<float>(rows) - 0.02f;
    // The band is a world sprite over the columns' feet, so the lines (drawn after every
    // sprite) stay bright on it.
    GameObject* band =
        MakeObject("ResultsBand",
                   {{0.0f, (kStripTop + bottom) / 2.0f * kVictoryHalfHeight, 2.5f},
                    {2.0f * kVictoryHalfWidth, (kStripTop - bottom) * kVictoryHalfHeight, 1.0f}},
                   resultsStrip);
    AddSprite(band, "BlackBoxSprite", {0.0f, 0.0f, 0.0f, 0.6f}, 1, "Sprite");
    const std::vector<int32_t> ranks = match.Ranks();
    const std::vector<int> order = ResultsOrder(ranks);
    for (size_t k = 0; k < order.size(); ++k) {
        const auto seat = static_cast<size_t>(order[k]);
        const float y = kStripTop - kStripRowStep * (static_cast<float>(k) + 0.5f);
        GameObject* row = MakeObject("ResultsRow", {{0.0f, y, 0.1f}, kStripTextScale}, resultsStrip);
        const std::string line = rankWord(ranks[seat]) + "   Player " + std::to_string(seat + 1) + "   " +
                                 ResultsRow(match.stats.seats[seat]);
        SetText(row, line, kStripColours[seat], "Text-UI");
    }
    // Online, the podium moves on by itself to the waiting screen; what starts the next match is
    // said over it (see PlayGameState::LocalUpdate), since it differs from machine to machine.
    if (keysShown) {
        const float y = kStripTop - kStripRowStep * (static_cast<float>(order.size()) + 0.5f);
        GameObject* keys = MakeObject("PodiumKeys", {{0.0f, y, 0.1f}, kStripTextScale}, resultsStrip);
        SetText(keys, "T / Num 8 / A: title     R / Num 9 / Y: play again     Backspace / X: level select",
                {1.0f, 1.0f, 1.0f, 1.0f}, "Text-UI");
    }
}

void GameOver::hashState(WorldHasher& hasher) const {
    hasher.addAll(endReason, bannerStep, bannerTimer, bannerVelocity);
    // The hearts' place decides when they have met and when they are out.
    hasher.add(heartLeft != nullptr);
    if (heartLeft != nullptr) {
        hasher.add(heartLeft->owner->transform.position);
    }
    for (const Podium& column : podiums) {
        hasher.addAll(column.height, column.targetHeight, column.rank);
    }
    hasher.add(podiumSeconds);
}

void GameOver::carryState(StateArchive& archive) {
    CARRY_STATE(archive, endReason, bannerStep, bannerTimer, bannerVelocity, podiumSeconds, leaveTo);
    // Made when the columns have grown: a frame from before then has none.
    archive.carryLink("resultsStrip", resultsStrip);
    archive.carryLink("heartLeft", heartLeft);
    archive.carryLink("heartRight", heartRight);
    archive.carryLink("bannerTextLeft", bannerTextLeft);
    archive.carryLink("bannerTextRight", bannerTextRight);
    archive.carryLink("victoryText", victoryText);
    archive.carryLink("teamBanner", teamBanner);
    for (Podium& column : podiums) {
        CARRY_STATE(archive, column.x, column.baseY, column.z, column.height, column.targetHeight,
                    column.rank);
        archive.carryLink("podium", column.podium);
    }
}

bool RematchKeyPressed(uint32_t scheme) {
    const InputManager& input = InputManager::instance();
    return (scheme < kMaxPads && input.padPressed(scheme, kButtonY)) ||
           (scheme == kSchemeKeyboardLeft && input.keyPressed(sf::Keyboard::R)) ||
           (scheme == kSchemeKeyboardRight && input.keyPressed(sf::Keyboard::Numpad9));
}

bool AnyRematchKeyPressed(const std::vector<Player*>& players) {
    return std::any_of(players.begin(), players.end(),
                       [](const Player* p) { return RematchKeyPressed(p->controls.padIndex); });
}

void GameOver::Check(PlayGameState& match) {
    FrameTimer& timer = FrameTimer::instance();
    bool over = false;
    match.endCheckTimer += timer.dt * timer.timeScale;
    if (match.endCheckTimer >= match.endCheckInterval) {
        match.endCheckTimer = 0.0f;
        int out = 0;
        for (Player* p : match.MatchPlayers()) {
            out += p->lives == 0 ? 1 : 0;
        }
        // In a team match a side plays on while any of its players has lives left.
        const bool done = Teams::current().on ? SidesLeft(match) <= 1
                                              : out == match.playerCount - 1 || out == match.playerCount;
        if (done) {
            endReason = EndReason::KnockOut;
            over = true;
        }
    }
    // Time is tested in every frame the knock-out check did not end, so a slow machine whose
    // every frame runs the check still ends a match on time.
    if (!over && match.timeLeft <= 0.0f) {
        endReason = EndReason::TimeUp;
        over = true;
    }
    if (!over) {
        return;
    }
    match.phase = MatchPhase::GameSet;
    SoundManager::instance().stopAll();
    buildBanner();
}

void GameOver::buildBanner() {
    GameObjectList& list = GameObjectList::instance();
    GameObject* left = list.create("GameOverBlackOverlay");
    left->transform.setPosition(-1.5f, 0.0f, 1.0f);
    left->transform.setScale(1.0f, 2.0f, 1.0f);
    heartLeft = heartImage(left, "HeartLeft");
    GameObject* right = list.create("GameOverBlackOverlay");
    right->transform.setPosition(1.5f, 0.0f, 1.0f);
    right->transform.setScale(1.0f, 2.0f, 1.0f);
    heartRight = heartImage(right, "HeartRight");
    bannerStep = 0;
    bannerVelocity = {};
    bannerTimer = 1.0f;

    const bool knockOut = endReason == EndReason::KnockOut;
    GameObject* textLeft = list.create("GameOverTextLeft");
    GameObject* textRight = list.create("GameOverTextRight");
    left->transform.setParent(textLeft);
    right->transform.setParent(textRight);
    textLeft->transform.setPosition(0.14f, 0.0f, 0.0f);
    textRight->transform.setPosition(-0.14f, 0.0f, 0.0f);
    for (GameObject* text : {textLeft, textRight}) {
        text->transform.setScale(0.7f, 0.35f, 1.0f);
    }
    bannerTextLeft = heartImage(textLeft, knockOut ? "GameSetGame" : "TimeUpTime");
    bannerTextRight = heartImage(textRight, knockOut ? "GameSetSet" : "TimeUpUp");
    setActive(left, false);
    setActive(right, false);
}

void GameOver::BannerStep(PlayGameState& match) {
    FrameTimer& timer = FrameTimer::instance();
    const float dt = timer.dt;
    Transform& left = heartLeft->owner->transform;
    Transform& right = heartRight->owner->transform;
    auto slide = [&](float limit, bool inwards) {
        bannerVelocity.x += (inwards ? kHeartSpeedUp : -kHeartSpeedUp) * dt;
        vec3 at = left.position + bannerVelocity * dt;
        bool arrived = inwards ? at.x >= limit : at.x <= limit;
        if (arrived) {
            at.x = limit;
        }
        left.setPosition(at.x, at.y, at.z);
        right.setPosition(-at.x, at.y, at.z);
        return arrived;
    };
    switch (bannerStep) {
    case 0:
        // Time slows from full speed to a halt within a second.
        bannerTimer -= dt;
        timer.setTimeScale(std::max(bannerTimer, 0.0f));
        if (bannerTimer <= 0.0f) {
            bannerStep = 1;
            bannerTimer = 0.0f;
            timer.setTimeScale(0.0f);
            setActive(heartLeft->owner, true);
            setActive(heartRight->owner, true);
        }
        break;
    case 1:
        if (slide(kHeartsMeetX, true)) {
            bannerVelocity = {};
            bannerStep = 2;
            ParticlePool::instance().clear();
            BuildVictoryScreen(match);
        }
        break;
    case 2:
        bannerTimer += dt;
        if (bannerTimer >= 0.75f) {
            bannerStep = 3;
        }
        break;
    default:
        if (slide(kHeartsOutX, false)) {
            match.phase = MatchPhase::Podium;
            for (int i = 0; i < match.playerCount; ++i) {
                if (GameObject* marker = match.indicators[static_cast<size_t>(i)]) {
                    setActive(marker, true);
                }
            }
        }
        break;
    }
}

void GameOver::BuildVictoryScreen(PlayGameState& match) {
    GameObjectList& list = GameObjectList::instance();
    match.camera.zoom = 30.0f;
    match.camera.Recompute();

    // Every tank, those who were out included, stands still and tidy on its column.
    for (int i = 0; i < match.playerCount; ++i) {
        auto slot = static_cast<size_t>(i);
        if (!match.tanks[slot] || match.players[slot] == nullptr) {
            continue;
        }
        const TankParts& tank = *match.tanks[slot];
        SetTankEnabled(tank, true);
        tank.barrelRoot->transform.setRotation(0.0f, 0.0f, 0.0f);
        if (auto* jump = tank.trackJump->getComponent<SpriteRenderer>()) {
            jump->enabled = false;
        }
        if (auto* track = tank.track->getComponent<SpriteRenderer>()) {
            track->enabled = true;
            track->column = 1;
            track->row = 1;
        }
        if (auto* eyes = tank.eyes->getComponent<SpriteRenderer>()) {
            eyes->column = 1;
            eyes->row = 1;
        }
        tank.tankRoot->transform.setRotation(0.0f, 0.0f, 0.0f);
        if (auto* aura = tank.pickUpAura->getComponent<SpriteRenderer>()) {
            aura->enabled = false;
        }
        if (auto* arrow = tank.aimingArrow->getComponent<SpriteRenderer>()) {
            arrow->enabled = false;
        }
        match.players[slot]->enabled = false;
    }

    if (match.frameBuffer != nullptr) {
        setActive(match.frameBuffer, false);
    }
    if (match.gameTimer) {
        setActive(match.gameTimer->root, false);
    }
    GraphicsManager::instance().EnableDepthAndBlending();
    FrameTimer::instance().setTimeScale(0.0f);

    match.victoryBackground = list.create("VictoryBackground");
    match.victoryBackground->transform.setPosition(0.0f, 0.0f, 1.0f);
    match.victoryBackground->transform.setScale(53.7f, 30.2f, 1.0f);
    LoadMatchPictureWhenShown("VictoryScreenBG");
    AddSprite(match.victoryBackground, "VictoryScreenBG", {1, 1, 1, 1}, 1, "Sprite-Scrolling");
    auto* scroll = match.victoryBackground->attach(
        new ShaderLogic(&match.camera, match.victoryBackground, ShaderMode::Scroll));
    scroll->StartScroll(0.05f);

    // Ranks by lives, most first; equal lives share a rank and a height, the last rank stands
    // on the ground, and a draw puts everyone at the top.
    // In a team match every player counts the lives of their whole side, so a side shares one
    // rank and one height.
    const Teams& teams = Teams::current();
    const std::array<uint32_t, kTeamCount> sideLives = TeamLives(match);
    std::vector<std::pair<int, uint32_t>> order;
    for (int i = 0; i < match.playerCount; ++i) {
        Player* p = match.players[static_cast<size_t>(i)];
        const uint32_t lives = p != nullptr ? p->lives : 0u;
        order.emplace_back(i, teams.on ? sideLives[teams.seat[static_cast<size_t>(i)] % kTeamCount] : lives);
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    int ranks = 1;
    for (size_t k = 1; k < order.size(); ++k) {
        ranks += order[k].second != order[k - 1].second ? 1 : 0;
    }
    if (ranks > 1) {
        const float step = kTopColumn / static_cast<float>(ranks - 1);
        int rank = 1;
        int level = ranks - 1;
        for (size_t k = 0; k < order.size(); ++k) {
            if (k > 0 && order[k].second != order[k - 1].second) {
                ++rank;
                --level;
            }
            Podium& column = podiums[static_cast<size_t>(order[k].first)];
            column.rank = rank;
            column.targetHeight = static_cast<float>(level) * step;
        }
    } else {
        for (int i = 0; i < match.playerCount; ++i) {
            podiums[static_cast<size_t>(i)].targetHeight = kTopColumn;
            podiums[static_cast<size_t>(i)].rank = 0;
        }
    }

    // A side stands together: the winners' columns first, then the others, each in seat order.
    std::vector<int> places = ColumnOrder(match);
    for (int i = 0; i < match.playerCount; ++i) {
        auto slot = static_cast<size_t>(i);
        Podium& column = podiums[slot];
        const auto place = static_cast<float>(places[slot]);
        column.x = 10.0f * place - 5.0f * static_cast<float>(match.playerCount - 1);
        column.baseY = -13.5f;
        column.z = 2.0f;
        column.height = 0.0f;
        if (match.tanks[slot]) {
            match.tanks[slot]->tankRoot->transform.setPosition(column.x, -13.0f, 2.0f);
            if (RigidBody2D* body = match.tanks[slot]->rigidBody) {
                body->position = {column.x, -13.0f};
            }
        }
        column.podium = list.create("Podium");
        column.podium->transform.setPosition(column.x, column.baseY, column.z);
        column.podium->transform.setScale(10.0f, 0.0f, 1.0f);
        if (match.statsPanels[slot]) {
            HideStatsPanelParts(*match.statsPanels[slot]);
        }
    }
    for (int i = 0; i < match.playerCount; ++i) {
        const vec4 colour = teams.on ? TeamColour(teams.seat[static_cast<size_t>(i)]) : kPodiumColours[i];
        AddSprite(podiums[static_cast<size_t>(i)].podium, "BoxSprite", colour, 1, "Sprite");
    }

    victoryText = list.create("Victory");
    victoryText->transform.setPosition(0.0f, 10.0f, 2.0f);
    victoryText->transform.setScale(30.72f, 7.68f, 1.0f);
    const char* title = ranks == 1 ? "DrawText" : "VictoryText";
    LoadMatchPictureWhenShown(title);
    AddSprite(victoryText, title, {1, 0, 0, 1}, 1, "Sprite");
    if (teams.on) {
        // Under the hearts as they part, then over the podium: which side won.
        const std::optional<uint8_t> winner = WinningTeam(match);
        teamBanner = MakeObject("TeamBanner", {{0.0f, 0.3f, 0.2f}, {0.05f, 0.09f, 1.0f}});
        SetText(teamBanner, winner ? std::string(TeamName(*winner)) + " team wins!" : std::string("Draw!"),
                winner ? TeamColour(*winner) : vec4{1, 1, 1, 1}, "Text-UI");
    }

    SoundManager& sound = SoundManager::instance();
    if (sound.instances.count(std::string(kEventBlackHole)) != 0) {
        sound.stopEvent(kEventBlackHole);
    }
    sound.playEvent(kEventVictoryMusic, false);
}

void GameOver::PodiumStep(PlayGameState& match) {
    const float dt = FrameTimer::instance().dt;
    bool allDone = true;
    for (int i = 0; i < match.playerCount; ++i) {
        auto slot = static_cast<size_t>(i);
        Podium& column = podiums[slot];
        // 8 units a second for the winner, 2 for the fourth, 10 for everyone in a draw.
        column.height += 2.0f * dt * static_cast<float>(5 - column.rank);
        if (column.height >= column.targetHeight) {
            column.height = column.targetHeight;
        } else {
            allDone = false;
        }
        if (column.podium != nullptr) {
            Transform& t = column.podium->transform;
            t.setPosition(column.x, column.baseY + column.height * 0.5f, column.z);
            t.setScale(10.0f, column.height, t.scale.z);
        }
        if (match.tanks[slot]) {
            match.tanks[slot]->tankRoot->transform.setPosition(column.x, column.height - 13.0f, 2.0f);
        }
    }
    podiumSeconds += dt;
    if (allDone && resultsStrip == nullptr) {
        showResults(match);
    }
    // With nobody at the controls the podium moves on by itself after a few seconds, so a
    // match of computers runs to its end unattended.
    const bool unattended = match.AllComputers() && podiumSeconds >= kUnattendedPodiumSeconds;
    if (match.online != nullptr) {
        // Online every machine leaves at the same moment for the waiting screen, where the
        // host's next match seats everyone again; the host's rematch key is read outside the
        // simulation (PlayGameState::LocalUpdate), so it never changes the podium itself.
        if (allDone && podiumSeconds >= kOnlinePodiumSeconds) {
            match.StartFadeOut();
        }
        return;
    }
    if (!allDone) {
        return;
    }
    const std::vector<Player*> players = match.MatchPlayers();
    if (anyConfirm(players) || unattended) {
        leaveTo = AfterPodium::Title;
    } else if (AnyRematchKeyPressed(players)) {
        leaveTo = AfterPodium::Rematch;
    } else if (anyLevelSelect(players) && !MatchRun::instance().trial) {
        leaveTo = AfterPodium::LevelSelect;
    } else {
        return;
    }
    match.StartFadeOut();
}
