#include "platform/file_read.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

FileRead ReadRegularFile(const std::string& path, size_t maxBytes, std::string& out) {
    out.clear();
    // Non-blocking, so opening a FIFO with no writer returns at once instead of waiting.
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return FileRead::Missing;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return FileRead::NotRegular;
    }
    // The size can change under us: read at most one byte past the cap to tell "too large",
    // starting from the size the file says it has so a small file costs a small buffer.
    const size_t limit = maxBytes + 1;
    const auto stated = static_cast<size_t>(info.st_size > 0 ? info.st_size : 0);
    out.resize(std::min(limit, stated + 1));
    size_t got = 0;
    for (;;) {
        if (got == out.size()) {
            if (out.size() == limit) {
                break;
            }
            out.resize(std::min(limit, out.size() * 2));
        }
        ssize_t n = read(fd, out.data() + got, out.size() - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            close(fd);
            out.clear();
            return FileRead::Unreadable;
        }
        if (n == 0) {
            break;
        }
        got += static_cast<size_t>(n);
    }
    close(fd);
    if (got > maxBytes) {
        out.clear();
        return FileRead::TooLarge;
    }
    out.resize(got);
    return FileRead::Ok;
}

const char* DescribeFileRead(FileRead result) {
    switch (result) {
    case FileRead::Ok:
        return "read";
    case FileRead::Missing:
        return "missing";
    case FileRead::NotRegular:
        return "not a regular file";
    case FileRead::TooLarge:
        return "too large";
    default:
        return "unreadable";
    }
}
