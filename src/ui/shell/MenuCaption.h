#pragma once

#include <QKeySequence>
#include <QString>
#include <string>

namespace varnex::ui {

// A menu caption in the program's own notation: "&" marks the mnemonic and
// a tab separates the shortcut text ("&New\tCtrl+N"). The whole caption is
// translated, so a language can move the mnemonic; the key itself is always
// taken from the English caption, because translated key names ("Strg+N")
// mean nothing to the key handling.
class MenuCaption {
public:
    MenuCaption(const std::string& englishCaption, const std::string& translatedCaption);

    // The menu text without the shortcut part, mnemonic kept.
    QString Text() const { return text_; }
    // The text without mnemonic, ellipsis and shortcut: for tool tips.
    QString PlainText() const;
    // Empty when the caption names no shortcut.
    QKeySequence Shortcut() const { return shortcut_; }

private:
    QString text_;
    QKeySequence shortcut_;
};

} // namespace varnex::ui
