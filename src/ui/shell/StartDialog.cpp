#include "ui/shell/StartDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "archive/FileVersion.h"
#include "base/TextFormat.h"
#include "settings/Translate.h"
#include "ui/common/DialogPrompts.h"
#include "ui/common/QtText.h"
#include "ui/shell/RecentFileList.h"

namespace varnex::ui {

namespace {

constexpr int pathRole = Qt::UserRole;

} // namespace

StartDialog::StartDialog(RecentFileList& recentFiles, QWidget* parent)
    : QDialog(parent), recentFiles_(&recentFiles), recentList_(new QListWidget(this)) {
    Build();
}

StartDialog::StartDialog(QWidget* parent)
    : QDialog(parent), ownList_(std::make_unique<RecentFileList>()), recentFiles_(ownList_.get()),
      recentList_(new QListWidget(this)) {
    ownList_->Load();
    Build();
}

StartDialog::~StartDialog() = default;

void StartDialog::Build() {
    setWindowTitle(QStringLiteral("Varnex"));

    auto* title = new QLabel(
        QStringLiteral("Varnex %1.%2").arg(ProgramVersion().major).arg(ProgramVersion().minor),
        this);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    title->setFont(titleFont);
    auto* subtitle = new QLabel(
        ToQString(Translate("Probabilistic assessment of contaminants reaching groundwater")),
        this);

    auto* recentLabel = new QLabel(ToQString(Translate("&Recent projects:")), this);
    recentLabel->setBuddy(recentList_);
    recentList_->setObjectName(QStringLiteral("recentProjects"));
    recentList_->setMinimumSize(520, 120);
    recentList_->setIconSize(QSize(20, 20));
    // Double-click and Enter both open the project under the cursor.
    connect(recentList_, &QListWidget::itemActivated, this, &StartDialog::OnRecentActivated);
    recentList_->installEventFilter(this);

    auto* openButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogOpenButton),
                                       ToQString(Translate("Open")), this);
    auto* newButton = new QPushButton(style()->standardIcon(QStyle::SP_FileIcon),
                                      ToQString(Translate("New")), this);
    auto* exitButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton),
                                       ToQString(Translate("Exit")), this);
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
    layout->addWidget(recentLabel);
    layout->addWidget(recentList_);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    FillRecentList();
    // With projects to offer, the keys start in the list: arrows choose,
    // Enter opens.
    if (!recentFiles_->Files().isEmpty()) recentList_->setFocus();
}

void StartDialog::FillRecentList() {
    recentList_->clear();
    const QIcon projectIcon = style()->standardIcon(QStyle::SP_FileIcon);
    for (const QString& path : recentFiles_->Files()) {
        const QFileInfo file(path);
        QString text = file.fileName() + QStringLiteral("  \u2013  ") +
                       QDir::toNativeSeparators(file.absolutePath());
        auto* item = new QListWidgetItem(projectIcon, text, recentList_);
        item->setData(pathRole, path);
        item->setToolTip(QDir::toNativeSeparators(path));
        // Kept in the list, so the user sees which project went missing
        // rather than wondering where it went.
        if (!file.exists()) {
            item->setText(text + QStringLiteral("  (") + ToQString(Translate("missing")) +
                          QLatin1Char(')'));
            item->setForeground(palette().brush(QPalette::Disabled, QPalette::Text));
        }
    }
    if (recentList_->count() > 0) {
        recentList_->setCurrentRow(0);
        return;
    }
    auto* placeholder =
        new QListWidgetItem(ToQString(Translate("No projects opened yet")), recentList_);
    placeholder->setFlags(Qt::NoItemFlags);
}

void StartDialog::OnRecentActivated(QListWidgetItem* item) {
    if (!item) return;
    const QString path = item->data(pathRole).toString();
    if (path.isEmpty()) return;
    if (!QFileInfo(path).isFile()) {
        const QString message = ToQString(FormatText(
            TranslateFormat(
                "The project %s no longer exists; it is taken off the list of recent projects."),
            {ToStdString(QDir::toNativeSeparators(path))}));
        if (prompts_) {
            prompts_->ShowError(message);
        } else {
            DialogPrompts prompts(this);
            prompts.ShowError(message);
        }
        recentFiles_->Remove(path);
        FillRecentList();
        return;
    }
    chosenFile_ = path;
    choice_ = Choice::openRecent;
    accept();
}

bool StartDialog::eventFilter(QObject* watched, QEvent* event) {
    // Enter in the list belongs to the list: passed on, it would also press
    // the default "Open" button, which asks for another file.
    if (watched == recentList_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OnRecentActivated(recentList_->currentItem());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

StartDialog::Choice StartDialog::Ask() {
    choice_ = Choice::exit;
    return exec() == QDialog::Accepted ? choice_ : Choice::exit;
}

} // namespace varnex::ui
