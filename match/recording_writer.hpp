#pragma once

// Writing a recording so that no way of ending a match loses what was played, and a write that
// fails never harms the file already at the target. The recording goes into "<target>.part"
// beside the target as the match is played, written out at least once a second; when the match
// ends, or is left (the close button, Ctrl+C, SIGTERM, SIGHUP), the closing line is added and the
// finished file renamed over the target in one step. A game that is killed leaves the .part,
// which plays back to its last whole frame; a disk that fills up leaves the target as it was.

#include "match/recording.hpp"

#include <sys/types.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class RecordingWriter {
  public:
    explicit RecordingWriter(std::string target);
    // A writer never finished leaves its .part as it stands.
    ~RecordingWriter();
    RecordingWriter(const RecordingWriter&) = delete;
    RecordingWriter& operator=(const RecordingWriter&) = delete;

    // Creates the .part with the seed, pace and settings. False, with one line, when it cannot.
    bool begin(uint32_t seed, const std::map<std::string, std::string>& settings, uint32_t pace = 0);
    // Holds a frame line; what is held goes to the file once a second has passed since the last
    // write (by the game's millisecond clock).
    void add(const RecordedFrame& frame);
    // The closing line, then the .part renamed over the target. False, with one line saying what
    // became of the target and of the .part, when anything of it failed.
    bool finish(const std::vector<int32_t>& result);

    bool failed() const { return broken; }
    const std::string& target() const { return targetPath; }
    const std::string& part() const { return partPath; }

  private:
    friend bool WriteRecording(const Recording& recording, const std::string& path);
    // Writes what is held and the last text, then puts the .part in the target's place.
    bool closeWith(const std::string& last);
    bool writeHeld();
    void fail(const std::string& why);

    std::string targetPath;
    std::string partPath;
    std::string held;
    int fd = -1;
    size_t written = 0;
    uint32_t lastWrite = 0;
    bool broken = false;
};

// Writes a whole recording the same way: beside the path, then renamed over it. Refuses, with one
// line, a recording the reader would refuse and a path that cannot be written.
bool WriteRecording(const Recording& recording, const std::string& path);

// Said before any window opens, so a player learns at once rather than at the podium: false,
// with one line, when a recording cannot go to path (no name, a folder that does not exist or
// cannot be written, a folder, a device or FIFO, a file that cannot be written, a name too long)
// or would destroy a file that is not a recording. An existing recording is replaced, and one
// line says so.
bool CheckRecordingTarget(const std::string& path);

// Every write of a recording goes through this call, so a test can make writes fail as a full
// disk does. Null puts write(2) back.
using RecordingWriteCall = ssize_t (*)(int fd, const void* data, size_t size);
void SetRecordingWriteCall(RecordingWriteCall call);
