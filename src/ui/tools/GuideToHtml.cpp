// Turns the user guide (Markdown, GitHub dialect) into one HTML page at
// build time, with the same Markdown reader the program's Help window uses,
// so the page shipped for web browsers says and shows what Help shows.
//
// Usage: varnex-guide-html GUIDE.md OUT.html

#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextDocument>
#include <cstdio>

int main(int argc, char** argv) {
    // No screen is needed to convert text: the build may run without one.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: varnex-guide-html GUIDE.md OUT.html\n");
        return 2;
    }
    QFile in(QString::fromLocal8Bit(argv[1]));
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "varnex-guide-html: cannot read %s\n", argv[1]);
        return 1;
    }
    const QString markdown = QString::fromUtf8(in.readAll());
    QTextDocument document;
    // The page is read in a browser window, not a small help pane.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(11.0);
    document.setDefaultFont(font);
    document.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);
    QString title = QStringLiteral("Varnex user guide");
    const QRegularExpressionMatch heading =
        QRegularExpression(QStringLiteral("^# (.+)$"), QRegularExpression::MultilineOption)
            .match(markdown);
    if (heading.hasMatch()) title = heading.captured(1).trimmed();
    document.setMetaInformation(QTextDocument::DocumentTitle, title);

    // Written whole or not at all: a half-written page must not be shipped.
    QSaveFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly) || out.write(document.toHtml().toUtf8()) < 0 ||
        !out.commit()) {
        std::fprintf(stderr, "varnex-guide-html: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
