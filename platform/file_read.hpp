#pragma once

// Reads a whole data file, safely: only a regular file is opened (a link to a device or a FIFO
// would otherwise be read for ever or block), and never more than a cap, so a hostile file can
// neither hang the game nor run it out of memory.

#include <cstddef>
#include <string>

enum class FileRead {
    Ok,
    Missing,    // nothing there, or no permission to open it
    NotRegular, // a directory, device, FIFO or socket
    TooLarge,   // more than the cap
    Unreadable, // opened, but reading failed
};

FileRead ReadRegularFile(const std::string& path, size_t maxBytes, std::string& out);

// A short phrase for a failure, for the one line that reports it.
const char* DescribeFileRead(FileRead result);
