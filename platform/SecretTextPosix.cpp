// SPDX-License-Identifier: MIT
// Linux: secrets stay as they are; config.ini holding one is readable by
// its owner only.
#include "SecretText.h"

namespace nortavi::platform {

std::string ProtectSecret(const std::string& secret)
{
    return secret;
}

std::optional<std::string> UnprotectSecret(const std::string& stored)
{
    if (stored.rfind(kProtectedSecretMark, 0) == 0) {
        return std::nullopt;  // protected on Windows: of no use here
    }
    return stored;
}

}  // namespace nortavi::platform
