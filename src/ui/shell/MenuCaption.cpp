#include "ui/shell/MenuCaption.h"

#include "ui/common/QtText.h"

namespace varnex::ui {

MenuCaption::MenuCaption(const std::string& englishCaption, const std::string& translatedCaption) {
    const QString translated = ToQString(translatedCaption);
    text_ = translated.section(QLatin1Char('\t'), 0, 0);
    const QString english = ToQString(englishCaption);
    if (english.contains(QLatin1Char('\t')))
        shortcut_ = QKeySequence::fromString(english.section(QLatin1Char('\t'), 1),
                                             QKeySequence::PortableText);
}

QString MenuCaption::PlainText() const {
    QString plain = text_;
    // "&&" stands for a literal ampersand and must survive.
    plain.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    plain.remove(QLatin1Char('&'));
    plain.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    if (plain.endsWith(QStringLiteral("..."))) plain.chop(3);
    return plain.trimmed();
}

} // namespace varnex::ui
