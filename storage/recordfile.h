// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// The record's file on disk, apart from what is in it: where it lives, how it and its folder
// are made (for the player alone), which file a name stands for, and setting a damaged one
// aside. Every failure comes back as a reason in the player's words; none is ignored.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace storage::file {

// games.sqlite in the program's data folder: ~/.local/share/vantorel/, on Windows
// %LOCALAPPDATA%\<application name>\.
QString defaultPath();

// The file and the logs SQLite keeps beside it.
QStringList withLogs(const QString &path);

// Makes the folders missing on the way to the file, each for its owner alone; folders that
// exist keep their modes. Empty, or why not.
QString makeFolder(const QString &path);

// Makes the file for its owner alone unless it exists, and takes from one that exists what
// others may do with it: the logs SQLite makes beside it take its mode. A symbolic link is
// refused, dangling or not. Empty, or why not.
QString makePrivate(const QString &path);

// Whether the name is a symbolic link.
bool isLink(const QString &path);

// Which file a name stands for: the same file under any name, another file once the name has
// been given to a new one.
struct Identity
{
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    friend bool operator==(const Identity &, const Identity &) = default;
};
std::optional<Identity> identify(const QString &path);

// Moves the file and its logs out of the way, under the name with ".damaged-" and the date and
// time, if the name still stands for the file judged damaged. Never replaces a file.
struct SetAside
{
    QString name; // the file's new name, empty if it was not moved
    QString error; // why not
};
SetAside setAside(const QString &path, const Identity &judged);

// Why the file system refused: errno in the player's words.
QString reasonForErrno(int error);

} // namespace storage::file
