#include "platform/file_write.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

FileWriteCall writeCall = &::write;

// Every byte written, or false with the reason: a disk may take a write in pieces, and a write
// that takes nothing at all is a disk that has no room left.
bool writeAll(int fd, const char* data, size_t size, std::string& reason) {
    while (size > 0) {
        ssize_t n = writeCall(fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            reason = std::strerror(errno);
            return false;
        }
        if (n == 0) {
            reason = "the disk took no more bytes";
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// The bytes into the temporary beside path, flushed to the disk; false with the reason.
bool writeTemporary(const FileContent& file, std::string& reason, const std::function<void()>& midway) {
    const std::string temporary = TemporaryPathFor(file.path);
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        reason = std::strerror(errno);
        return false;
    }
    const size_t half = file.content.size() / 2;
    bool ok = writeAll(fd, file.content.data(), half, reason);
    if (ok && midway) {
        midway();
    }
    ok = ok && writeAll(fd, file.content.data() + half, file.content.size() - half, reason);
    // On the disk before the rename, so a power cut cannot leave a renamed but empty file.
    if (ok && fsync(fd) != 0) {
        reason = std::strerror(errno);
        ok = false;
    }
    if (close(fd) != 0 && ok) {
        reason = std::strerror(errno);
        ok = false;
    }
    if (!ok) {
        std::remove(temporary.c_str());
    }
    return ok;
}

// The renames themselves on the disk too; a folder that cannot be flushed is no reason to fail.
void flushFolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

} // namespace

std::string TemporaryPathFor(const std::string& path) {
    return path + ".partial";
}

void SetFileWriteCall(FileWriteCall call) {
    writeCall = call != nullptr ? call : &::write;
}

bool WriteFileReplacing(const std::string& path, const std::string& content, std::string& error,
                        const std::function<void()>& midway) {
    if (!writeTemporary({path, content}, error, midway)) {
        return false;
    }
    if (std::rename(TemporaryPathFor(path).c_str(), path.c_str()) != 0) {
        error = std::strerror(errno);
        std::remove(TemporaryPathFor(path).c_str());
        return false;
    }
    flushFolderOf(path);
    return true;
}

bool WriteFilesReplacing(const std::vector<FileContent>& files, std::string& error,
                         const std::function<void()>& midway) {
    size_t written = 0;
    std::string reason;
    for (; written < files.size(); ++written) {
        if (!writeTemporary(files[written], reason, written == 0 ? midway : std::function<void()>())) {
            break;
        }
    }
    if (written < files.size()) {
        for (size_t i = 0; i < written; ++i) {
            std::remove(TemporaryPathFor(files[i].path).c_str());
        }
        error = "cannot write " + files[written].path + ": " + reason;
        return false;
    }
    for (size_t i = 0; i < files.size(); ++i) {
        if (std::rename(TemporaryPathFor(files[i].path).c_str(), files[i].path.c_str()) != 0) {
            error = "cannot put " + files[i].path + " in place: " + std::strerror(errno);
            for (size_t j = 0; j < i; ++j) {
                error += (j == 0 ? " (already replaced: " : ", ") + files[j].path + (j + 1 == i ? ")" : "");
            }
            for (size_t j = i; j < files.size(); ++j) {
                std::remove(TemporaryPathFor(files[j].path).c_str());
            }
            return false;
        }
    }
    for (const FileContent& file : files) {
        flushFolderOf(file.path);
    }
    return true;
}
