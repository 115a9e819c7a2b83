#include "PeakMemory.h"

#include "Application.h"
#include "BrowsePanel.h"
#include "FindBox.h"
#include "frmMain.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMainWindow>
#include <QTreeView>
#include <QProcess>
#include <cstdio>

double PeakMemory::OwnPeakMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return 0;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

double PeakMemory::ChildPeakMb(const QStringList &arguments)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                QStringList{QStringLiteral("--memory-child")} + arguments);
    if (!child.waitForFinished(300000) || child.exitCode() != 0)
        qFatal("memory child %s failed", qPrintable(arguments.join(QLatin1Char(' '))));
    return child.readAllStandardOutput().trimmed().toDouble();
}

namespace {
void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}
} // namespace

int PeakMemory::RunChild(const QStringList &arguments)
{
    const QString mode = arguments.value(0);
    if (mode == QLatin1String("bare")) {
        QMainWindow window;
        window.resize(1180, 720);
        window.show();
        settle();
        std::printf("%.2f\n", OwnPeakMb());
    } else if ((mode == QLatin1String("main") || mode == QLatin1String("browse"))
               && arguments.size() == 2) {
        Application application(arguments.at(1));
        application.Start();
        settle();
        // With the find box used once, its index is part of what the window keeps.
        application.MainWindow().Find->txtFind->setText(QStringLiteral("kurosawa"));
        application.MainWindow().Find->ApplyNow();
        settle();
        if (mode == QLatin1String("browse")) {
            application.MainWindow().mnuBrowsePanel->trigger();
            // Every branch opened, Actors too: all the counts held.
            QTreeView &tree = *application.MainWindow().Browse->Tree();
            for (int branch = 0; branch < tree.model()->rowCount(); ++branch)
                tree.expand(tree.model()->index(branch, 0));
            settle();
        }
        std::printf("%.2f\n", OwnPeakMb());
    } else {
        std::fprintf(stderr, "usage: --memory-child bare | main | browse <program folder>\n");
        return 2;
    }
    return 0;
}
