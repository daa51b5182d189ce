#pragma once

// Writes whole files so that they are never seen half written: the bytes go to a temporary file
// beside each, every write is checked, the file is flushed to the disk, and only then is it
// renamed over its target in one step. A crash or a full disk during the write leaves the old
// file (or none) and at most the temporary one, whose name no reader of the game looks for.

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

// The temporary name the bytes for path go to first.
std::string TemporaryPathFor(const std::string& path);

// False, with a short reason in error, when the file could not be written whole; the target is
// then as it was. midway, when given, runs once half the bytes are written (tests interrupt the
// write there).
bool WriteFileReplacing(const std::string& path, const std::string& content, std::string& error,
                        const std::function<void()>& midway = {});

struct FileContent {
    std::string path;
    std::string content;
};

// Several files that belong together (a map and its preview), written as one: every file goes to
// its temporary and onto the disk first, and only when all of them are there are they renamed
// over their targets, in the order given. When any write fails, every temporary is removed and
// every target is as it was; error then says which file failed and why. midway, when given,
// runs once half of the first file's bytes are written.
bool WriteFilesReplacing(const std::vector<FileContent>& files, std::string& error,
                         const std::function<void()>& midway = {});

// Tests stand in for write(2) here, to fake a full disk or short writes; null restores it.
using FileWriteCall = ssize_t (*)(int fd, const void* data, size_t size);
void SetFileWriteCall(FileWriteCall call);
