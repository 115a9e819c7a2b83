#include "FileDialogAnswers.h"

#include <QStringList>

namespace {
QStringList g_answers;
int g_requests = 0;
} // namespace

void FileDialogAnswers::SetNext(const QString &path)
{
    g_answers << path;
}

std::optional<QString> FileDialogAnswers::TakeNext()
{
    ++g_requests;
    if (g_answers.isEmpty())
        return std::nullopt;
    return g_answers.takeFirst();
}

int FileDialogAnswers::Requests()
{
    return g_requests;
}

void FileDialogAnswers::Reset()
{
    g_answers.clear();
    g_requests = 0;
}
