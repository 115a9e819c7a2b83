#pragma once

#include <QString>

// The one way the program ends on a failure it cannot answer (a catalogue that can no
// longer be read, a lock the user chose not to wait out).
namespace ProgramEnd {

// Prints "Reelvane: <text>" on stderr and, when `show`, in a critical message box.
void Report(const QString &text, bool show = true);
// Report, then end the process with status 1. Returns only while a test has set a stand-in.
void Fail(const QString &text, bool show = true);

// Test seam: what Fail calls instead of ending the process (nullptr: end it).
void SetStandInForTesting(void (*standIn)());

} // namespace ProgramEnd
