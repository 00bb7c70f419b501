#pragma once

#include <QString>
#include <string>

namespace varnex::ui {

// The engine speaks UTF-8 std::string, Qt speaks QString; every text
// crosses here so that non-ASCII names and translations survive both ways.
inline QString ToQString(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string ToStdString(const QString& text) { return text.toUtf8().toStdString(); }

} // namespace varnex::ui
