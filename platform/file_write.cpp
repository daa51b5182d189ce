#include "platform/file_write.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

bool writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

} // namespace

std::string TemporaryPathFor(const std::string& path) {
    return path + ".partial";
}

bool WriteFileReplacing(const std::string& path, const std::string& content, std::string& error,
                        const std::function<void()>& midway) {
    const std::string temporary = TemporaryPathFor(path);
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    const size_t half = content.size() / 2;
    bool ok = writeAll(fd, content.data(), half);
    if (ok && midway) {
        midway();
    }
    ok = ok && writeAll(fd, content.data() + half, content.size() - half);
    // On the disk before the rename, so a power cut cannot leave a renamed but empty file.
    ok = ok && fsync(fd) == 0;
    if (!ok) {
        error = std::strerror(errno);
    }
    if (close(fd) != 0 && ok) {
        error = std::strerror(errno);
        ok = false;
    }
    if (ok && std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = std::strerror(errno);
        ok = false;
    }
    if (!ok) {
        std::remove(temporary.c_str());
    }
    return ok;
}
