#pragma once

#include <QDialog>

class QTextBrowser;

namespace varnex::ui {

// The user guide, shipped beside the program as Markdown and shown in a
// window of the program's own, so help works without any viewer installed.
class HelpWindow : public QDialog {
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // False when the guide cannot be read.
    bool ShowGuide(const QString& path);

private:
    QTextBrowser* browser_;
};

} // namespace varnex::ui
