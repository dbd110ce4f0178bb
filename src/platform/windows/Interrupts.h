#pragma once
// The Windows side of the stops, for the console window and the tests.

namespace interrupt {

// The event that is set from the moment a stop is recorded (a HANDLE);
// null before install().
void* wakeEvent();

// What Windows calls on a thread of its own for a console control event
// (CTRL_C_EVENT and the others); true when the event was handled. Closing
// the window, log-off and shut-down end the process as soon as it returns:
// it waits until the game has saved and ended, or until reset().
bool onConsoleControl(unsigned long event);

}  // namespace interrupt
