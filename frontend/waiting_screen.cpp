#include "frontend/waiting_screen.hpp"

#include "engine/input_manager.hpp"
#include "frontend/menu_input.hpp"
#include "graphics/scene_builders.hpp"
#include "match/game_over.hpp"
#include "net/net_session.hpp"
#include "net/online_start.hpp"

#include <iostream>
#include <string>

namespace {

constexpr int kLineCount = 11;
constexpr float kTopY = 0.72f;
constexpr float kLineStep = 0.13f;
constexpr vec3 kTitleScale{0.07f, 0.112f, 1.0f};
constexpr vec3 kLineScale{0.04f, 0.064f, 1.0f};
constexpr vec4 kTitleColour{1.0f, 1.0f, 0.4f, 1.0f};
constexpr vec4 kLineColour{1.0f, 1.0f, 1.0f, 1.0f};

} // namespace

std::string JoinLine(uint16_t port) {
    return "Friends join with: Grumbo --join " + LocalAddresses().front() + ":" + std::to_string(port) +
           "   (UDP port " + std::to_string(port) + ")";
}

void WaitingScreenState::Load() {
    lines.clear();
    for (int i = 0; i < kLineCount; ++i) {
        const bool title = i == 0;
        const float y = kTopY - kLineStep * static_cast<float>(i) - (title ? 0.0f : 0.08f);
        GameObject* line = MakeObject("WaitingLine", {{0.0f, y, 0.5f}, title ? kTitleScale : kLineScale});
        SetText(line, title ? "Online match" : "", title ? kTitleColour : kLineColour, "Text-UI");
        lines.push_back(line);
    }
    // Back from a match: the session goes on between matches.
    if (NetSession* session = OnlineSession()) {
        session->matchFinished();
        // Said once on standard output too: the host is ready for friends from now on (it
        // answers them only once its window is up).
        static bool told = false;
        if (session->hosting() && !told) {
            told = true;
            std::cout << JoinLine(session->port()) << std::endl;
        }
    }
}

void WaitingScreenState::Update() {
    NetSession* session = OnlineSession();
    if (session == nullptr || session->closed()) {
        requestState(GameStateId::MainMenu);
        return;
    }
    if (ReadMenuInputs().back) { // Escape, or a pad's Back, as every menu
        session->leave();
        return;
    }
    // This machine's people ask for the next match with the podium's rematch key (only the
    // host's ask counts).
    for (int person = 0; person < session->localPeople(); ++person) {
        if (RematchKeyPressed(static_cast<uint32_t>(session->localSchemes()[static_cast<size_t>(person)]))) {
            session->askRematch();
        }
    }
    session->update();
    if (session->closed()) {
        return;
    }
    std::vector<std::string> text = session->waitingLines();
    text.push_back(session->hosting() ? JoinLine(session->port())
                                      : "Joined the host at " + session->address());
    text.emplace_back("Escape (a pad's Back) leaves");
    for (size_t i = 1; i < lines.size(); ++i) {
        SetText(lines[i], i - 1 < text.size() ? text[i - 1] : "", kLineColour, "Text-UI");
    }
}

void WaitingScreenState::Exit() {
    lines.clear();
    DestroyStateObjects();
}
