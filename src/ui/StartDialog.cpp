#include "ui/StartDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "archive/FileVersion.h"
#include "settings/Translate.h"
#include "ui/QtText.h"

namespace varnex::ui {

StartDialog::StartDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Varnex"));

    auto* title = new QLabel(QStringLiteral("Varnex %1.%2").arg(ProgramVersion().major).arg(ProgramVersion().minor),
                             this);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    title->setFont(titleFont);
    auto* subtitle =
        new QLabel(ToQString(Translate("Probabilistic assessment of contaminants reaching groundwater")), this);

    auto* openButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogOpenButton),
                                       ToQString(Translate("Open")), this);
    auto* newButton = new QPushButton(style()->standardIcon(QStyle::SP_FileIcon), ToQString(Translate("New")), this);
    auto* exitButton =
        new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), ToQString(Translate("Exit")), this);
    openButton->setDefault(true);
    connect(openButton, &QPushButton::clicked, this, [this] {
        choice_ = Choice::open;
        accept();
    });
    connect(newButton, &QPushButton::clicked, this, [this] {
        choice_ = Choice::newProject;
        accept();
    });
    connect(exitButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(openButton);
    buttons->addWidget(newButton);
    buttons->addStretch(1);
    buttons->addWidget(exitButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 16);
    layout->addWidget(title);
    layout->addWidget(subtitle);
    layout->addSpacing(16);
    layout->addLayout(buttons);
}

StartDialog::Choice StartDialog::Ask() {
    choice_ = Choice::exit;
    return exec() == QDialog::Accepted ? choice_ : Choice::exit;
}

} // namespace varnex::ui
