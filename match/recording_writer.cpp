#include "match/recording_writer.hpp"

#include "platform/clock.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <utility>

namespace {

RecordingWriteCall writeCall = &::write;

// A held frame waits at most this long before it is written out.
constexpr uint32_t kWriteEveryMilliseconds = 1000;

std::string errorText(int error) {
    return std::strerror(error);
}

// A path as a line shows it: one that runs to thousands of characters is cut short.
std::string shown(const std::string& path) {
    constexpr size_t kLongest = 160;
    return path.size() <= kLongest
               ? path
               : path.substr(0, kLongest) + "... (" + std::to_string(path.size()) + " characters)";
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Whether a file starts as every recording does (any version).
bool startsAsRecording(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    char start[kRecordingMagic.size()];
    const ssize_t n = read(fd, start, sizeof start);
    close(fd);
    return n == static_cast<ssize_t>(sizeof start) &&
           std::string_view(start, sizeof start) == kRecordingMagic;
}

} // namespace

RecordingWriter::RecordingWriter(std::string target)
    : targetPath(std::move(target)), partPath(targetPath + ".part") {}

RecordingWriter::~RecordingWriter() {
    if (fd >= 0) {
        writeHeld();
    }
    if (fd >= 0) {
        close(fd);
    }
}

bool RecordingWriter::begin(uint32_t seed, const std::map<std::string, std::string>& settings,
                            uint32_t pace) {
    // Only a regular file of the game's own: a link or a FIFO in the way is refused, not followed
    // (non-blocking, so a FIFO fails at once rather than waiting for a reader).
    fd = open(partPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) {
        fail(errorText(errno));
        return false;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        fd = -1;
        fail(partPath + " is not a regular file");
        return false;
    }
    held = RecordingStartText(seed, settings, pace);
    return writeHeld();
}

void RecordingWriter::add(const RecordedFrame& frame) {
    if (fd < 0) {
        return;
    }
    held += RecordedFrameText(frame);
    if (GetTickCount() - lastWrite >= kWriteEveryMilliseconds) {
        writeHeld();
    }
}

bool RecordingWriter::finish(const std::vector<int32_t>& result) {
    return closeWith(RecordingEndText(result));
}

bool RecordingWriter::closeWith(const std::string& last) {
    if (fd < 0) {
        return false;
    }
    held += last;
    if (!writeHeld()) {
        return false;
    }
    // On the disk before it takes the target's place, so a machine going down right after the
    // rename cannot leave the target empty.
    if (fsync(fd) != 0) {
        fail(errorText(errno));
        return false;
    }
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0) {
        fail(errorText(errno));
        return false;
    }
    if (rename(partPath.c_str(), targetPath.c_str()) != 0) {
        fail(errorText(errno));
        return false;
    }
    return true;
}

bool RecordingWriter::writeHeld() {
    size_t done = 0;
    while (done < held.size()) {
        const ssize_t n = writeCall(fd, held.data() + done, held.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            held.erase(0, done);
            fail(errorText(n < 0 ? errno : EIO));
            return false;
        }
        done += static_cast<size_t>(n);
        written += static_cast<size_t>(n);
    }
    held.clear();
    lastWrite = GetTickCount();
    return true;
}

void RecordingWriter::fail(const std::string& why) {
    if (broken) {
        return;
    }
    broken = true;
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
        if (written == 0) {
            unlink(partPath.c_str());
        }
    }
    std::cout << "Recording " << shown(targetPath) << " not written: " << why << " (" << shown(targetPath)
              << " is left as it was"
              << (written > 0 ? "; what was recorded is in " + shown(partPath) : std::string()) << ")"
              << std::endl;
}

bool WriteRecording(const Recording& recording, const std::string& path) {
    if (std::string problem = RecordingProblem(recording); !problem.empty()) {
        std::cout << "Recording " << shown(path) << " not written: " << problem << std::endl;
        return false;
    }
    RecordingWriter writer(path);
    if (!writer.begin(recording.seed, recording.settings, recording.pace)) {
        return false;
    }
    for (const RecordedFrame& frame : recording.frames) {
        writer.held += RecordedFrameText(frame);
    }
    return writer.closeWith(recording.unfinished ? std::string() : RecordingEndText(recording.result));
}

bool CheckRecordingTarget(const std::string& path) {
    auto refuse = [&](const std::string& why) {
        std::cout << "Cannot record to " << shown(path) << ": " << why << std::endl;
        return false;
    };
    if (path.empty()) {
        return refuse("no file name given");
    }
    // The .part is made in the target's folder, so that folder must take new files.
    const std::string folder = folderOf(path);
    struct stat info {};
    if (stat(folder.c_str(), &info) != 0) {
        return refuse(errno == ENOENT ? "the folder " + shown(folder) + " does not exist"
                                      : "its folder: " + errorText(errno));
    }
    if (!S_ISDIR(info.st_mode)) {
        return refuse(shown(folder) + " is not a folder");
    }
    bool replacing = false;
    if (stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            return refuse("it is a folder");
        }
        if (!S_ISREG(info.st_mode)) {
            return refuse("it is not a regular file (a device, a FIFO or a socket)");
        }
        if (access(path.c_str(), W_OK) != 0) {
            return refuse("it cannot be written (" + errorText(errno) + ")");
        }
        if (info.st_size > 0 && !startsAsRecording(path)) {
            return refuse("it holds something other than a recording, which recording would destroy");
        }
        replacing = info.st_size > 0;
    } else if (errno != ENOENT) {
        return refuse(errorText(errno));
    }
    if (access(folder.c_str(), W_OK | X_OK) != 0) {
        return refuse("its folder cannot be written (" + errorText(errno) + ")");
    }
    const std::string part = path + ".part";
    bool partLeft = false;
    if (lstat(part.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode)) {
            return refuse(shown(part) + " is in the way (not a regular file)");
        }
        partLeft = true;
    } else if (errno != ENOENT) {
        return refuse(shown(part) + ": " + errorText(errno));
    }
    if (replacing || partLeft) {
        std::cout << "Recording to " << shown(path) << " replaces "
                  << (replacing ? "the recording there" : "") << (replacing && partLeft ? " and " : "")
                  << (partLeft ? "the unfinished " + shown(part) + " an earlier run left" : "") << std::endl;
    }
    return true;
}

void SetRecordingWriteCall(RecordingWriteCall call) {
    writeCall = call != nullptr ? call : &::write;
}
