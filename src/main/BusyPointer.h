#pragma once

#include <QtGlobal>

// The busy pointer for as long as one lives (they nest); a Pause puts it aside while a
// message or question is up.
class BusyPointer
{
public:
    BusyPointer();
    ~BusyPointer();
    Q_DISABLE_COPY(BusyPointer)

    class Pause
    {
    public:
        Pause();
        ~Pause();
        Q_DISABLE_COPY(Pause)
    };
};
