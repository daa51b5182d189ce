#pragma once

// The game's sound banks and the event paths they provide. The asset generator writes exactly
// these; the game plays them by path through the SoundManager.

#include <array>
#include <string_view>

inline constexpr std::string_view kMasterBankFile = "Master Bank.bank";
inline constexpr std::string_view kMasterStringsBankFile = "Master Bank.strings.bank";
inline constexpr std::string_view kSfxBankFile = "SFX_Bank.bank";
inline constexpr std::string_view kBgmBankFile = "BGM_Bank.bank";
inline constexpr std::string_view kMasterBusPath = "Bus:/";

inline constexpr std::string_view kEventMenuMusic = "event:/BGM/MenuState";
inline constexpr std::string_view kEventMatchMusic = "event:/BGM/PlayState_3";
inline constexpr std::string_view kEventVictoryMusic = "event:/BGM/VictoryScreen_2";
inline constexpr std::string_view kEventGo = "event:/Misc/Go";
inline constexpr std::string_view kEventDeath = "event:/Misc/Death";
inline constexpr std::string_view kEventCrowdCheer = "event:/Misc/CrowdCheer";
inline constexpr std::string_view kEventRespawn = "event:/Misc/Respawn";
inline constexpr std::string_view kEventShot = "event:/Bullet/SmallExplosion";
inline constexpr std::string_view kEventImpact = "event:/Bullet/SmallExplosion_2";
inline constexpr std::string_view kEventBigExplosion = "event:/Bullet/BigExplosion";
inline constexpr std::string_view kEventBlackHole = "event:/Bullet/Special Bullet/BlackHole_2";
inline constexpr std::string_view kEventPulse = "event:/Bullet/Special Bullet/Pulse";

struct SoundEventInfo {
    std::string_view path;
    std::string_view bank; // the bank file that holds it
    bool held;             // played as a held instance (music, loops, the "Go" chime)
};

inline constexpr std::array<SoundEventInfo, 12> kSoundEvents = {{
    {kEventMenuMusic, kBgmBankFile, true},
    {kEventMatchMusic, kBgmBankFile, true},
    {kEventVictoryMusic, kBgmBankFile, true},
    {kEventGo, kSfxBankFile, true},
    {kEventDeath, kSfxBankFile, false},
    {kEventCrowdCheer, kSfxBankFile, false},
    {kEventRespawn, kSfxBankFile, false},
    {kEventShot, kSfxBankFile, false},
    {kEventImpact, kSfxBankFile, false},
    {kEventBigExplosion, kSfxBankFile, false},
    {kEventBlackHole, kSfxBankFile, true},
    {kEventPulse, kSfxBankFile, false},
}};
