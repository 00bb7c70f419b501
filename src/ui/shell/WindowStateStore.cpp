#include "ui/shell/WindowStateStore.h"

#include <QMainWindow>
#include <string>

#include "base/Exception.h"
#include "settings/Preferences.h"
#include "ui/common/QtText.h"

namespace varnex::ui {

namespace {

const std::string stateKey = "VarnexDockState8";
// Well below the store's limit for one string.
constexpr qsizetype partLength = 900;
// More parts than any window state needs; a count beyond this is damage.
constexpr std::uint32_t maximumParts = 64;
// Raised when the window's layout changes incompatibly, so that an older
// stored state is ignored rather than misapplied.
constexpr int stateVersion = 1;

std::string PartName(const QString& name, std::uint32_t part) {
    return ToStdString(name) + " " + std::to_string(part);
}

} // namespace

void WindowStateStore::SaveBlob(const QString& name, const QByteArray& blob) {
    const QByteArray text = qCompress(blob).toBase64();
    const std::uint32_t parts =
        static_cast<std::uint32_t>((text.size() + partLength - 1) / partLength);
    try {
        // The count last: a state half written (a failure part-way) is
        // then read with the old count, fails its checksum and is ignored.
        for (std::uint32_t part = 0; part < parts; ++part)
            SetStringPreference(
                stateKey, PartName(name, part),
                text.mid(static_cast<qsizetype>(part) * partLength, partLength).toStdString());
        SetDWordPreference(stateKey, ToStdString(name) + " Parts", parts);
    } catch (const Exception&) {
        // Not being able to keep the layout costs the user nothing but the
        // layout.
    }
}

QByteArray WindowStateStore::LoadBlob(const QString& name) {
    try {
        const std::uint32_t parts = GetDWordPreference(stateKey, ToStdString(name) + " Parts");
        if (parts == 0 || parts > maximumParts) return QByteArray();
        QByteArray text;
        for (std::uint32_t part = 0; part < parts; ++part)
            text += QByteArray::fromStdString(GetStringPreference(stateKey, PartName(name, part)));
        const auto decoded =
            QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded) return QByteArray();
        // qUncompress checks the length it stored and returns nothing for
        // damaged data.
        return qUncompress(*decoded);
    } catch (const Exception&) {
        return QByteArray();
    }
}

void WindowStateStore::Save(const QMainWindow& window) {
    SaveBlob(QStringLiteral("Geometry"), window.saveGeometry());
    SaveBlob(QStringLiteral("State"), window.saveState(stateVersion));
}

bool WindowStateStore::Restore(QMainWindow& window) {
    const QByteArray geometry = LoadBlob(QStringLiteral("Geometry"));
    if (!geometry.isEmpty()) window.restoreGeometry(geometry);
    const QByteArray state = LoadBlob(QStringLiteral("State"));
    return !state.isEmpty() && window.restoreState(state, stateVersion);
}

} // namespace varnex::ui
