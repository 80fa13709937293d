// SPDX-License-Identifier: MIT
#pragma once

// Tokens and keys as config.ini keeps them. On Windows they are protected
// for the current user with DPAPI and stored as "dpapi:" and base64; on
// other systems they are stored as they are, in a file only its owner may
// read.

#include <optional>
#include <string>

namespace nortavi::platform {

// The stored form of a secret; empty stays empty.
std::string ProtectSecret(const std::string& secret);

// The secret a stored form holds; a value without the mark is taken as it
// is (typed into config.ini by hand). nullopt when it cannot be read here:
// protected by another user, on another computer, or on Windows.
std::optional<std::string> UnprotectSecret(const std::string& stored);

// The mark that begins a protected value.
inline constexpr const char* kProtectedSecretMark = "dpapi:";

}  // namespace nortavi::platform
