#include "ProgramEnd.h"

#include "MessageBox.h"

#include <cstdio>
#include <cstdlib>

namespace {
void (*g_standIn)() = nullptr;
} // namespace

namespace ProgramEnd {

void Report(const QString &text, bool show)
{
    std::fprintf(stderr, "Reelvane: %s\n", qPrintable(text));
    std::fflush(stderr);
    if (show)
        MessageBox::Show(nullptr, text, MessageBox::ApplicationTitle(), QMessageBox::Ok,
                         QMessageBox::Critical);
}

void Fail(const QString &text, bool show)
{
    Report(text, show);
    if (g_standIn) {
        g_standIn();
        return;
    }
    // Every change to the catalogue is a transaction, so ending here loses nothing stored.
    std::exit(1);
}

void SetStandInForTesting(void (*standIn)())
{
    g_standIn = standIn;
}

} // namespace ProgramEnd
