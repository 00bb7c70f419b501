// varnex: the desktop program. Start-up follows the order the program has
// always had: version, preferences, language and the distribution messages,
// help, the start choice, then the maximised main window.

#include <QApplication>
#include <QIcon>

#include "archive/FileVersion.h"
#include "settings/UserInterfaceSettings.h"
#include "stochastic/DistributionMessages.h"
#include "ui/common/QtText.h"
#include "ui/common/ToolIcons.h"
#include "ui/forms/DistributionEdit.h"
#include "ui/reports/HeadlessRender.h"
#include "ui/shell/CMainFrame.h"
#include "ui/shell/StartDialog.h"

int main(int argc, char** argv) {
    // The headless options draw for scripts: no window, and no display
    // needed, so the offscreen platform is taken unless another is named.
    const bool headless = varnex::ui::HeadlessRender::Requested(argc, argv);
    if (headless && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Varnex"));
    QApplication::setOrganizationName(QStringLiteral("Kestrane"));
    QApplication::setWindowIcon(varnex::ui::ToolIcons::Source());

    // The version is compiled in; project files carry it.
    const varnex::FileVersion version = varnex::ProgramVersion();
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3.%4")
                                            .arg(version.major)
                                            .arg(version.minor)
                                            .arg(version.build)
                                            .arg(version.revision));

    if (headless) {
        // Texts in English, as the command-line tool prints them.
        varnex::BuildDistributionMessageTable();
        return varnex::ui::HeadlessRender::Run(QApplication::arguments());
    }

    // Preferences and language, then the distribution messages, which are
    // translated texts.
    varnex::UserInterfaceSettings settings;
    settings.StartUp();
    varnex::BuildDistributionMessageTable();
    // Every distribution field completes and colours as these settings say.
    varnex::ui::DistributionEdit::UseSettings(&settings);

    varnex::ui::CMainFrame frame(settings);
    frame.RestoreWindowState();

    // A project named on the command line opens directly; otherwise the
    // user chooses how to begin.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) {
        frame.showMaximized();
        const QString path = arguments.at(1);
        if (path.endsWith(QStringLiteral(".json"), Qt::CaseInsensitive))
            frame.ImportJsonFile(path);
        else
            frame.OpenDocumentFile(path);
    } else {
        varnex::ui::StartDialog start(frame.RecentFiles());
        const varnex::ui::StartDialog::Choice choice = start.Ask();
        if (choice == varnex::ui::StartDialog::Choice::exit) return 0;
        frame.showMaximized();
        frame.ExecuteStartChoice(choice, start.ChosenFile());
    }
    return QApplication::exec();
}
