#include "BusyPointer.h"

#include <QCursor>
#include <QGuiApplication>

BusyPointer::BusyPointer()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

BusyPointer::~BusyPointer()
{
    QGuiApplication::restoreOverrideCursor();
}

BusyPointer::Pause::Pause()
{
    QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
}

BusyPointer::Pause::~Pause()
{
    QGuiApplication::restoreOverrideCursor();
}
