#pragma once

#include <QString>
#include <QStringList>

// Peak resident memory (VmHWM) of a process that does one thing and exits: a bare Qt
// window, or the main window loaded on a catalogue. Run as children of the benchmark so
// each starts from nothing.
class PeakMemory
{
public:
    // This process's peak resident size so far, in MB.
    static double OwnPeakMb();

    // Parent side: runs this program with "--memory-child" + arguments; the child's peak.
    static double ChildPeakMb(const QStringList &arguments);

    // Child side: "bare", or "main <program folder>". Prints the peak and returns 0.
    static int RunChild(const QStringList &arguments);
};
