#include "frontend/menu_screens.hpp"

#include "audio/sound_manager.hpp"
#include "engine/engine.hpp"
#include "frontend/menu_input.hpp"
#include "graphics/renderer.hpp"
#include "graphics/scene_builders.hpp"
#include "objects/game_object_list.hpp"
#include "objects/resource_manager.hpp"

#include <algorithm>

namespace {

constexpr vec4 kTextYellow{1, 1, 0, 1};

GameObject* image(const std::string& name, const std::string& texture, vec3 at, vec3 scale) {
    GameObject* o = MakeObject(name, {at, scale});
    AddSprite(o, texture);
    return o;
}

GameObject* text(const std::string& name, const std::string& words, vec3 at, float size) {
    GameObject* o = MakeObject(name, {at, {size, size, 1.0f}});
    SetText(o, words, kTextYellow);
    return o;
}

// The title's buttons, plain and highlighted, in selection order.
constexpr const char* kButtonNames[6] = {"PlayButton",   "OnlineButton",  "TutorialButton",
                                         "OptionButton", "CreditsButton", "QuitButton"};
constexpr const char* kPlain[6] = {"PlayButton", "Online", "Tutorial", "Options", "Credits", "Quit"};
constexpr const char* kHighlighted[6] = {"PlayButtonHL", "OnlineHL",  "TutorialHL",
                                         "OptionsHL",    "CreditsHL", "QuitHL"};

// Rows of the options screen, top to bottom.
constexpr float kOptionRowY[3] = {5.0f, 0.0f, -5.0f};

} // namespace

std::string VolumeText(float volume) {
    int tenths = VolumeTenths(volume);
    return tenths == 10 ? std::string("10") : std::string{'0', static_cast<char>('0' + tenths)};
}

// ---- Title ----

uint32_t StepTitle(uint32_t selection, int step) {
    if (selection < TitleItem::Play || selection > TitleItem::Quit) {
        return TitleItem::Play; // a selection off the list starts again from the top
    }
    if (step < 0) {
        return selection == TitleItem::Play ? TitleItem::Quit : selection - 1;
    }
    return selection == TitleItem::Quit ? TitleItem::Play : selection + 1;
}

void Title::Show(bool visible) {
    shown = visible;
    ::Show(image, visible);
    for (GameObject* b : buttons) {
        ::Show(b, visible);
    }
}

void Title::UpdateHighlight() {
    for (size_t i = 0; i < buttons.size(); ++i) {
        SetPicture(buttons[i], i + 1 == selection ? kHighlighted[i] : kPlain[i]);
    }
}

void Title::Update() {
    if (!shown || chosen || busy) {
        return;
    }
    MenuInputs in = ReadMenuInputs();
    if (in.up) {
        selection = StepTitle(selection, -1);
        UpdateHighlight();
    }
    if (in.down) {
        selection = StepTitle(selection, +1);
        UpdateHighlight();
    }
    if (in.confirm) {
        chosen = true;
    }
}

Title* BuildTitle() {
    GameObject* root = image("TitleRoot", "Title", {-5.0f, 3.0f, 1.0f}, {35.56f, 20.0f, 1.0f});
    Title* title = root->attach(new Title(root));
    title->image = root;
    for (size_t i = 0; i < title->buttons.size(); ++i) {
        float y = -2.0f - 2.0f * static_cast<float>(i);
        title->buttons[i] = image(kButtonNames[i], i == 0 ? kHighlighted[0] : kPlain[i], {18.0f, y, 0.0f},
                                  {16.0f, 2.0f, 1.0f});
    }
    return title;
}

// ---- Options ----

void Option::Show(bool visible) {
    shown = visible;
    for (GameObject* o : objects) {
        ::Show(o, visible);
    }
}

void Option::Open() {
    done = false;
    row = OptionRow::Volume;
    Show(true);
    UpdateHighlight();
    SoundManager& sound = SoundManager::instance();
    SetPicture(muteBox, sound.muted ? "CheckboxTick" : "Checkbox");
    SetPicture(windowBox, Engine::instance().fullscreen ? "Checkbox" : "CheckboxTick");
    if (auto* label = volumeText->getComponent<TextRenderer>()) {
        label->text = VolumeText(sound.volume);
    }
}

void Option::UpdateHighlight() {
    if (row >= OptionRow::Volume && row <= OptionRow::Windowed) {
        ::Show(selectionPanel, true);
        selectionPanel->transform.setPosition(8.0f, kOptionRowY[row - 1], 1.1f);
        SetPicture(backButton, "Back");
    } else {
        ::Show(selectionPanel, false);
        SetPicture(backButton, "BackHL");
    }
}

void Option::Change(int d) {
    SoundManager& sound = SoundManager::instance();
    switch (row) {
    case OptionRow::Volume: {
        // Stepped by whole tenths, so a float that rounding left just under a tenth never stalls.
        int tenths = std::clamp(VolumeTenths(sound.volume) + d, 0, 10);
        sound.setVolume(static_cast<float>(tenths) / 10.0f);
        SetText(volumeText, VolumeText(sound.volume), kTextYellow);
        break;
    }
    case OptionRow::Mute:
        sound.setMuted(!sound.muted);
        SetPicture(muteBox, sound.muted ? "CheckboxTick" : "Checkbox");
        break;
    case OptionRow::Windowed: {
        Engine& engine = Engine::instance();
        engine.createWindow(!engine.fullscreen);
        SetPicture(windowBox, engine.fullscreen ? "Checkbox" : "CheckboxTick");
        break;
    }
    default:
        break;
    }
}

void Option::Update() {
    if (!shown) {
        return;
    }
    MenuInputs in = ReadMenuInputs();
    if (in.up) {
        row = row <= OptionRow::Volume ? OptionRow::Back : row - 1;
        UpdateHighlight();
    }
    if (in.down) {
        row = row >= OptionRow::Back ? OptionRow::Volume : row + 1;
        UpdateHighlight();
    }
    if (in.left) {
        Change(-1);
    }
    if (in.right) {
        Change(+1);
    }
    if (in.confirm && row == OptionRow::Back) {
        done = true;
    }
}

Option* BuildOptions() {
    GameObject* root = image("OptionRoot", "PlayerSelection", {0.0f, 0.0f, 1.0f}, {30.0f, 22.0f, 1.0f});
    Option* option = root->attach(new Option(root));
    size_t n = 0;
    option->objects[n++] = root;
    option->objects[n++] = text("OptionText", "OPTIONS", {0.0f, 8.5f, 1.3f}, 3.0f);
    const char* labels[3][2] = {{"Volume", "VOLUME"}, {"Mute", "MUTE"}, {"Window", "WINDOWED"}};
    for (int r = 0; r < 3; ++r) {
        option->objects[n++] = text(labels[r][0], labels[r][1], {-7.0f, kOptionRowY[r], 1.3f}, 2.0f);
    }
    option->volumeText = text("VolumeText", "05", {8.0f, kOptionRowY[0], 1.3f}, 2.0f);
    option->muteBox = image("MuteText", "Checkbox", {8.0f, kOptionRowY[1], 1.3f}, {2.0f, 2.0f, 1.0f});
    option->windowBox = image("WindowText", "Checkbox", {8.0f, kOptionRowY[2], 1.3f}, {2.0f, 2.0f, 1.0f});
    option->selectionPanel =
        image("SelectionPanel", "Selection", {8.0f, kOptionRowY[0], 1.1f}, {9.0f, 3.6f, 1.0f});
    option->backButton = image("BackButton", "Back", {0.0f, -8.5f, 1.3f}, {8.0f, 2.0f, 1.0f});
    for (GameObject* o : {option->volumeText, option->muteBox, option->windowBox, option->selectionPanel,
                          option->backButton}) {
        option->objects[n++] = o;
    }
    for (int r = 0; r < 3; ++r) {
        std::string number = std::to_string(r + 1);
        GameObject* left =
            image("ArrowLeft" + number, "Arrow", {4.5f, kOptionRowY[r], 1.3f}, {1.0f, 1.4f, 1.0f});
        left->transform.setRotation(0.0f, 0.0f, 180.0f);
        option->objects[n++] = left;
        option->objects[n++] =
            image("ArrowRight" + number, "Arrow", {11.5f, kOptionRowY[r], 1.3f}, {1.0f, 1.4f, 1.0f});
    }
    option->Show(false);
    return option;
}

// ---- Tutorial ----

void Tutorial::Show(bool visible) {
    shown = visible;
    ::Show(pageImage, visible);
    ::Show(button, visible);
}

void Tutorial::Open() {
    done = false;
    page = 1;
    SetPicture(pageImage, "Tutorial_1");
    SetPicture(button, "NextButtonHL");
    Show(true);
}

void Tutorial::Update() {
    if (!shown || !ReadMenuInputs().confirm) {
        return;
    }
    ++page;
    if (page == 2) {
        SetPicture(pageImage, "Tutorial_2");
    } else if (page == 3) {
        SetPicture(pageImage, "Tutorial_3");
        SetPicture(button, "MenuButtonHL");
    } else if (page >= 4) {
        done = true;
    }
}

Tutorial* BuildTutorial() {
    GameObject* page = image("Tutorial", "Tutorial_1", {0.0f, 0.0f, 1.0f}, {38.4f, 24.0f, 1.0f});
    Tutorial* tutorial = page->attach(new Tutorial(page));
    tutorial->pageImage = page;
    tutorial->button = image("NextButton", "NextButtonHL", {18.0f, -13.5f, 1.0f}, {16.0f, 2.0f, 1.0f});
    tutorial->Show(false);
    return tutorial;
}

// ---- Credits ----

void Credit::Show(bool visible) {
    shown = visible;
    ::Show(panel, visible);
    ::Show(button, visible);
}

void Credit::Update() {
    if (shown && ReadMenuInputs().confirm) {
        done = true;
    }
}

Credit* BuildCredits() {
    GameObject* panel = image("Credit", "CreditsPanel", {0.0f, 0.0f, 1.0f}, {38.4f, 24.0f, 1.0f});
    Credit* credit = panel->attach(new Credit(panel));
    credit->panel = panel;
    credit->button = image("MenuButton", "MenuButtonHL", {18.0f, -13.5f, 1.0f}, {16.0f, 2.0f, 1.0f});
    credit->Show(false);
    return credit;
}

// ---- Quit confirmation ----

void Quit::Show(bool visible) {
    shown = visible;
    for (GameObject* o : {question, panel, yesButton, noButton}) {
        ::Show(o, visible);
    }
}

void Quit::Open() {
    back = false;
    confirmed = false;
    onYes = false;
    SetPicture(noButton, "NoHL");
    SetPicture(yesButton, "Yes");
    Show(true);
}

void Quit::Update() {
    if (!shown) {
        return;
    }
    MenuInputs in = ReadMenuInputs();
    if (in.left) {
        onYes = false;
        SetPicture(noButton, "NoHL");
        SetPicture(yesButton, "Yes");
    }
    if (in.right) {
        onYes = true;
        SetPicture(noButton, "No");
        SetPicture(yesButton, "YesHL");
    }
    if (in.confirm) {
        (onYes ? confirmed : back) = true;
    }
}

Quit* BuildQuit() {
    GameObject* question = image("Quit", "Confirmation", {0.0f, 2.5f, 1.3f}, {9.6f, 4.0f, 1.0f});
    Quit* quit = question->attach(new Quit(question));
    quit->question = question;
    quit->panel = image("BackPanel", "PlayerSelection", {0.0f, 0.0f, 1.1f}, {12.8f, 8.0f, 1.0f});
    quit->yesButton = image("YesButton", "Yes", {2.5f, -2.5f, 1.2f}, {3.2f, 2.0f, 1.0f});
    quit->noButton = image("NoButton", "NoHL", {-2.5f, -2.5f, 1.2f}, {3.2f, 2.0f, 1.0f});
    quit->Show(false);
    return quit;
}
