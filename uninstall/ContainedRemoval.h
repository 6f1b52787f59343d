// Deleting files and empty folders that lie in a given folder, and nowhere
// else: never through a junction, symbolic link or mount point (see the .cpp
// for how).
#pragma once

#include "platform/FileIdentity.h"
#include "platform/Text.h"

// What became of one item.
enum class ItemRemoval {
    Removed,
    Absent,    // nothing of that name (or not of that kind) was there
    NotEmpty,  // a folder that still holds something
    Link,      // the item or a level above it is a link, or lies elsewhere: left alone
    Failed,    // in use, or denied
};

// A folder the removal works in: its path (ending in a backslash) and, where
// known, the identity it must still have. A root that may be a link is
// opened through it (the folder it names was found before, by identity);
// otherwise a root that is a link is left alone.
struct RemovalRoot {
    const wchar_t* path;
    const FileIdentity* identity;  // may be null
    bool mayBeLink = false;        // only with an identity
};

// Deletes the file root\relative (relative: levels separated by backslashes),
// read-only or not. linkPath (when given, kLongPathChars): the path of
// the level found to be a link, for a result of Link.
ItemRemoval RemoveContainedFile(const RemovalRoot& root, const wchar_t* relative, wchar_t* linkPath = nullptr);

// Deletes the folder root\relative when it is empty; "" is the root itself.
ItemRemoval RemoveContainedFolder(const RemovalRoot& root, const wchar_t* relative, wchar_t* linkPath = nullptr);
