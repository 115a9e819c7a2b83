#include "MainWindowFixture.h"

#include <QTabBar>
#include <QTest>

void MainWindowFixture::load()
{
    shared = folder.MakeShared();
    main = std::make_unique<frmMain>(*shared);
    main->Form_Load();
}

QStringList MainWindowFixture::titles() const
{
    QStringList result;
    const QAbstractItemModel *model = main->UltraGrid->model();
    for (int row = 0; row < model->rowCount(); ++row)
        result << model->index(row, 1).data().toString();
    return result;
}

void MainWindowFixture::clickTab(int index)
{
    const QPoint centre = main->Detail()->MultiTabStrip->tabRect(index).center();
    QTest::mouseClick(main->Detail()->MultiTabStrip, Qt::LeftButton, {}, centre);
}
