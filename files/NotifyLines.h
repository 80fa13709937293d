// SPDX-License-Identifier: MIT
#pragma once

// The notification settings' lines of config.ini: "key,value", read by key
// (they are many and each may be left out), after the network lines.

#include "Settings.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace nortavi {

// How config.ini holds the values that work as secrets: tokens, keys, and
// the addresses a stranger could use (a ntfy topic, a webhook's own id).
// The pure functions keep them as they are; ConfigFile protects them.
class SecretForm {
public:
    virtual ~SecretForm() = default;
    virtual std::string Stored(std::string_view key, const std::string& secret) = 0;
    // nullopt when the stored form cannot be read here.
    virtual std::optional<std::string> Secret(std::string_view key, const std::string& stored) = 0;
};

// Secrets as they are.
SecretForm& PlainSecrets();

// Takes the value of a notification line; false when the key is none of
// theirs. A value that cannot be used keeps the setting as it was.
bool ReadNotifyLine(std::string_view key, const std::string& value, NotifySettings& settings,
                    SecretForm& secrets);

// Whether the line takes the value as it is written (for a file read
// strictly, where a value it would ignore is an error).
bool NotifyValueReads(std::string_view key, const std::string& value);

// Each line as key and value, in the file's order; those Nortavi adds to
// the usual ones only when they differ from their defaults.
void WriteNotifyLines(
    const NotifySettings& settings, SecretForm& secrets,
    const std::function<void(std::string_view key, const std::string& value)>& line);

// Whether any value that works as a secret is set.
bool HoldsSecret(const NotifySettings& settings);

// An http:// or https:// address with a host and nothing a URL cannot hold
// (blanks, quotes, line ends, non-ASCII).
bool IsWebAddress(std::string_view text);

// A ntfy topic: 1 to 64 letters, digits, '-' and '_'.
bool IsNtfyTopic(std::string_view text);

// The topic's address on its server, and back; nullopt for an address
// that is not a server's followed by a topic.
std::string NtfyTopicUrl(std::string_view server, std::string_view topic);
std::optional<std::pair<std::string, std::string>> SplitNtfyTopicUrl(std::string_view url);

}  // namespace nortavi
