#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace kelo::app {

// The libraries speak UTF-8, Qt speaks UTF-16; every crossing goes through here.
inline QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string toStdString(const QString& text) {
    return text.toStdString();
}

} // namespace kelo::app
