#pragma once

#include <sys/stat.h>

// Gives the new file at fd what decides who may use the old one: its group (its owner too as root),
// its extended attributes (the POSIX access list among them; ones the new file got from the folder
// and the old one lacks are removed) and its mode. False, with errno set, where any of it could not
// be kept.
bool CopyAccess(int oldFd, const struct stat& old, int newFd);

// Whether we can give a new file the owner and group of old at all: only root may give away a
// file, and a group can be set only by the owner who belongs to it.
bool CanKeepOwnership(const struct stat& old);
