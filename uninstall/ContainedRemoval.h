// Deleting files and empty folders that lie in a given folder, and nowhere
// else: never through a junction, symbolic link or mount point (see the .cpp
// for how).
#pragma once

#include "platform/FileIdentity.h"

// What became of one item.
enum class ItemRemoval {
    Removed,
    Absent,    // nothing of that name (or not of that kind) was there
    NotEmpty,  // a folder that still holds something
    Link,      // the item or a level above it is a link, or lies elsewhere: left alone
    Failed,    // in use, or denied
};

// A folder the removal works in: its path (ending in a backslash) and, where
// known, the identity it must still have.
struct RemovalRoot {
    const wchar_t* path;
    const FileIdentity* identity;  // may be null
};

// The longest path these functions work with.
constexpr size_t kContainedPathChars = 520;

// Deletes the file root\relative (relative: levels separated by backslashes),
// read-only or not. linkPath (when given, kContainedPathChars): the path of
// the level found to be a link, for a result of Link.
ItemRemoval RemoveContainedFile(const RemovalRoot& root, const wchar_t* relative, wchar_t* linkPath = nullptr);

// Deletes the folder root\relative when it is empty; "" is the root itself.
ItemRemoval RemoveContainedFolder(const RemovalRoot& root, const wchar_t* relative, wchar_t* linkPath = nullptr);
