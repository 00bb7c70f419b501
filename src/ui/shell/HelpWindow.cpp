#include "ui/shell/HelpWindow.h"

#include <QFile>
#include <QFileInfo>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "settings/Translate.h"
#include "ui/common/QtText.h"

namespace varnex::ui {

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent), browser_(new QTextBrowser(this)) {
    setWindowTitle(ToQString(Translate("Help Topics")));
    browser_->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(760, 640);
}

bool HelpWindow::ShowGuide(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    // The guide's figures are named relative to it (images/...).
    browser_->setSearchPaths({QFileInfo(path).absolutePath()});
    browser_->setMarkdown(QString::fromUtf8(file.readAll()));
    show();
    raise();
    activateWindow();
    return true;
}

} // namespace varnex::ui
