#pragma once

#include "audio/audio_result.hpp"
#include "audio/audio_system.hpp"
#include "audio/effect_ledger.hpp"

#include <map>
#include <set>
#include <string>
#include <string_view>

// Loads the sound banks at start and plays events by path ("event:/..."): fire-and-forget
// one-shots, or held instances (at most one per path) that can be stopped and started again.
// Master volume, mute and pause go to the master bus "Bus:/". Every failing call prints
// "SOUND MANAGER ERROR: " and its result code, and the game goes on.
class SoundManager {
  public:
    static SoundManager& instance();

    // Makes the system (32 voices), loads the master bank and its strings, sets the bus volume.
    void init();
    // Loads audioRoot + fileName once; a second call for a loaded name does nothing.
    void loadBank(const std::string& fileName);
    // Finds the event's description (kept) and makes a held instance for the path, unless one
    // is already held.
    void loadEvent(std::string_view path);
    // Readies the samples of a path whose description is known, so its first start does not stall.
    void loadSampleData(std::string_view path);
    // Readies the samples of every event of a loaded bank ("SFX_Bank.bank").
    void loadBankSampleData(const std::string& fileName);
    // One-shot: plays on an instance of its own that frees itself when done (several overlap).
    // Held: starts (or restarts) the path's one held instance.
    void playEvent(std::string_view path, bool oneShot);
    // Sounds go through the ledger while one is set (an online match that rolls back): a frame
    // simulated again does not play what it played the first time (see audio/effect_ledger.hpp).
    void setEffectLedger(EffectLedger* ledger) { effects = ledger; }
    // Stops the held instance of a path at once; it stays held. One-shots are not touched.
    void stopEvent(std::string_view path);
    void stopAll();
    void setPaused(bool value);
    void setMuted(bool value);
    void setVolume(float value);
    // The system's per-frame update.
    void update();
    // Releases held instances, unloads the banks, then releases the system.
    void shutdown();

    float volume = 0.5f;
    bool paused = false;
    bool muted = false;
    std::string audioRoot = "../Resources/Audio/";
    AudioSystem* studioSystem = nullptr;
    Bank masterBank;
    std::map<std::string, Bank> banks;
    std::map<std::string, EventInstance> instances;
    std::map<std::string, EventDescription> descriptions;
    std::set<std::string> missingEvents; // paths already reported as not found
    // The sound folder itself is missing: said once at start, then every bank, bus and event
    // of it is left out without a word (they all fail for that one reason).
    bool folderMissing = false;

  private:
    EffectLedger* effects = nullptr;
    // Prints the error line for a failed call; true when the call succeeded.
    static bool check(AudioResult result);
    // The system, or null after printing why there is none.
    AudioSystem* system();
    Bus masterBus();
};

// The volume in whole tenths, 0 to 10, by the nearest tenth: the menus step and show the volume
// in tenths, and a float that stepping left at 0.6999999 is 7, never 6.
int VolumeTenths(float volume);
