#pragma once

// Writes a whole file so that it is never seen half written: the bytes go to a temporary file
// beside it, which is flushed to the disk and then renamed over the target in one step. A crash
// or a full disk during the write leaves the old file (or none) and at most the temporary one,
// whose name no reader of the game looks for.

#include <functional>
#include <string>

// The temporary name the bytes for path go to first.
std::string TemporaryPathFor(const std::string& path);

// False, with a short reason in error, when the file could not be written whole; the target is
// then as it was. midway, when given, runs once half the bytes are written (tests interrupt the
// write there).
bool WriteFileReplacing(const std::string& path, const std::string& content, std::string& error,
                        const std::function<void()>& midway = {});
