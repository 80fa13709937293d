// SPDX-License-Identifier: MIT
// Windows: secrets protected with DPAPI for the current user, so that a
// copy of config.ini (a backup, a shared USB stick) does not give them away.
#include "SecretText.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// After windows.h, which they build on.
#include <dpapi.h>
#include <wincrypt.h>

#include <cstring>
#include <string_view>

namespace nortavi::platform {

namespace {

// Ties the protected bytes to this use, so another program of the same
// user that unprotects blobs blindly does not read them by chance.
DATA_BLOB Entropy()
{
    static char purpose[] = "Nortavi config.ini";
    return {static_cast<DWORD>(std::strlen(purpose)), reinterpret_cast<BYTE*>(purpose)};
}

std::string Base64(const BYTE* bytes, DWORD size)
{
    DWORD length = 0;
    const DWORD flags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF;
    if (!CryptBinaryToStringA(bytes, size, flags, nullptr, &length)) {
        return {};
    }
    std::string text(length, '\0');
    if (!CryptBinaryToStringA(bytes, size, flags, text.data(), &length)) {
        return {};
    }
    text.resize(length);
    return text;
}

std::optional<std::string> FromBase64(std::string_view text)
{
    DWORD size = 0;
    if (!CryptStringToBinaryA(text.data(), static_cast<DWORD>(text.size()), CRYPT_STRING_BASE64,
                              nullptr, &size, nullptr, nullptr)) {
        return std::nullopt;
    }
    std::string bytes(size, '\0');
    if (!CryptStringToBinaryA(text.data(), static_cast<DWORD>(text.size()), CRYPT_STRING_BASE64,
                              reinterpret_cast<BYTE*>(bytes.data()), &size, nullptr, nullptr)) {
        return std::nullopt;
    }
    bytes.resize(size);
    return bytes;
}

}  // namespace

std::string ProtectSecret(const std::string& secret)
{
    if (secret.empty()) {
        return {};
    }
    DATA_BLOB in{static_cast<DWORD>(secret.size()),
                 reinterpret_cast<BYTE*>(const_cast<char*>(secret.data()))};
    DATA_BLOB entropy = Entropy();
    DATA_BLOB out{};
    if (!CryptProtectData(&in, L"Nortavi", &entropy, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN,
                          &out)) {
        return {};  // never in clear: the secret is then not kept
    }
    std::string stored = kProtectedSecretMark + Base64(out.pbData, out.cbData);
    LocalFree(out.pbData);
    return stored;
}

std::optional<std::string> UnprotectSecret(const std::string& stored)
{
    if (stored.rfind(kProtectedSecretMark, 0) != 0) {
        return stored;
    }
    auto bytes = FromBase64(std::string_view(stored).substr(std::strlen(kProtectedSecretMark)));
    if (!bytes) {
        return std::nullopt;
    }
    DATA_BLOB in{static_cast<DWORD>(bytes->size()), reinterpret_cast<BYTE*>(bytes->data())};
    DATA_BLOB entropy = Entropy();
    DATA_BLOB out{};
    if (!CryptUnprotectData(&in, nullptr, &entropy, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN,
                            &out)) {
        return std::nullopt;
    }
    std::string secret(reinterpret_cast<const char*>(out.pbData), out.cbData);
    SecureZeroMemory(out.pbData, out.cbData);
    LocalFree(out.pbData);
    return secret;
}

}  // namespace nortavi::platform
