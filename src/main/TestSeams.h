#pragma once

// Every process-wide test seam below the application (queued answers, recorded message
// texts, armed faults) back to nothing armed: the test support calls it after each test.
// What a test program sets once for all its tests (the busy timeout, the stand-in for
// ending the program) stays.
namespace TestSeams {

void ResetAll();

} // namespace TestSeams
