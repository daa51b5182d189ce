#pragma once

// Result codes of the sound layer. Every call returns one; 0 is success, anything else is a
// failure the caller reports with its number. The numbers are part of what a player may paste
// into a bug report, so they never change meaning.
enum AudioResult : int {
    kAudioOk = 0,
    kAudioErrNotInitialized = 1, // the system was never initialised, or has been released
    kAudioErrInvalidHandle = 2,  // a handle that is empty, or whose object has been freed
    kAudioErrInvalidParam = 3,   // a value out of range (a negative or NaN volume, ...)
    kAudioErrFileNotFound = 10,  // a bank file that does not exist or cannot be read
    kAudioErrFileBad = 11,       // a bank file that is truncated, corrupt or inconsistent
    kAudioErrVersion = 12,       // a bank written in a format version this build does not read
    kAudioErrBankLoaded = 13,    // the same bank, or one of its events, is already loaded
    kAudioErrEventNotFound = 20, // no loaded bank defines the event path
    kAudioErrBusNotFound = 21,   // no loaded bank defines the bus path
    kAudioErrNoVoice = 30,       // every voice is taken by held instances
    kAudioErrOutput = 31,        // the output back end could not make the sound
};

// A short English text for a result, for developer views.
constexpr const char* audioResultText(AudioResult result) {
    switch (result) {
    case kAudioOk:
        return "ok";
    case kAudioErrNotInitialized:
        return "sound system not initialised";
    case kAudioErrInvalidHandle:
        return "invalid handle";
    case kAudioErrInvalidParam:
        return "invalid parameter";
    case kAudioErrFileNotFound:
        return "bank file not found";
    case kAudioErrFileBad:
        return "bank file malformed";
    case kAudioErrVersion:
        return "bank format version not supported";
    case kAudioErrBankLoaded:
        return "bank already loaded";
    case kAudioErrEventNotFound:
        return "event not found";
    case kAudioErrBusNotFound:
        return "bus not found";
    case kAudioErrNoVoice:
        return "no free voice";
    case kAudioErrOutput:
        return "sound output failed";
    }
    return "unknown result";
}
