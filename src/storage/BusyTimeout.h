#pragma once

// How long a new connection waits for a catalogue that another process holds locked.
// Tests that meet locks shorten it, so that each lock costs them a second, not five.
namespace BusyTimeout {

int Milliseconds();
// 0 gives the program's own (Connection::BusyTimeoutMs) back.
void SetForTesting(int ms);

} // namespace BusyTimeout
