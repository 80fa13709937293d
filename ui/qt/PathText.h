// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <optional>
#include <string>

namespace nortavi::ui {

// Paths are kept as 8-bit text, in the encoding the system uses for file
// names: UTF-8 on Linux, the ANSI code page on Windows. These two are the
// only places where a path crosses into or out of a Qt control.

inline QString PathToText(const std::string& path)
{
#ifdef Q_OS_WIN
    return QString::fromLocal8Bit(path.data(), static_cast<qsizetype>(path.size()));
#else
    return QString::fromStdString(path);
#endif
}

// nullopt when the 8-bit encoding cannot hold the text (a character outside
// the code page, a lone surrogate): storing it would silently change it.
inline std::optional<std::string> PathFromText(const QString& text)
{
#ifdef Q_OS_WIN
    const QByteArray bytes = text.toLocal8Bit();
    std::string path(bytes.constData(), static_cast<std::size_t>(bytes.size()));
#else
    std::string path = text.toStdString();
#endif
    if (PathToText(path) != text) {
        return std::nullopt;
    }
    return path;
}

}  // namespace nortavi::ui
