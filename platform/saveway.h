#pragma once

#include <cstdint>

// What a save knows of an existing file before it writes it.
struct FileFacts
{
    std::uint64_t links = 1;
    std::uint32_t owner = 0;
    std::uint32_t group = 0;
    // The saving process's effective user.
    std::uint32_t user = 0;
    // The process may give a file to any owner and group (root).
    bool mayChown = false;
    // The process belongs to the file's group, so a new file may be given that group.
    bool inGroup = false;
    // A new entry may be made in the file's folder.
    bool folderWritable = true;
};

enum class SaveWay {
    // A new file beside the old one takes its name: the old one is whole until the rename.
    Replace,
    // The file itself is rewritten, after a synced copy of it, because a new file could not be what
    // the old one was (its other links, its owner or group) or cannot be made in its folder.
    InPlace,
};

// How a save must write an existing file so that it keeps its links, owner and group.
SaveWay chooseSaveWay(const FileFacts &facts);
