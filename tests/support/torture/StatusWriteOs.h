// SPDX-License-Identifier: MIT
#pragma once

#include <string>

// The ways sensor software rewrites its status file, one implementation per
// platform. Each call makes one attempt and says whether every operation of
// it succeeded; nothing is retried here, so the caller can count failures.
namespace nortavi::torture {

// Truncates the file and writes the line in one call.
bool RewriteInPlace(const std::string& path, const std::string& bytes);
// Writes a file beside it and renames that over it.
bool ReplaceByRename(const std::string& path, const std::string& bytes);
// Deletes the file and creates it anew.
bool DeleteAndCreate(const std::string& path, const std::string& bytes);
// Truncates the file and writes the line a byte at a time, pausing between
// the bytes, so that a reader can meet every part of it.
bool RewriteInPieces(const std::string& path, const std::string& bytes);
// Opens the file once without sharing it, keeps it open until the program
// ends, and rewrites it through that handle (Windows; false elsewhere,
// which has no sharing modes).
bool RewriteHeldExclusively(const std::string& path, const std::string& bytes);

}  // namespace nortavi::torture
