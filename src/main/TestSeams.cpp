#include "TestSeams.h"

#include "AtomicFile.h"
#include "FileDialogAnswers.h"
#include "MessageBox.h"

namespace TestSeams {

void ResetAll()
{
    AtomicFile::ResetForTesting();
    FileDialogAnswers::Reset();
    MessageBox::Reset();
}

} // namespace TestSeams
