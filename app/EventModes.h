// The process-wide event settings of the program, set once before any window is made. The
// program itself, its window tests and its benchmarks all call this, so they measure and test the
// same settings.
#pragma once

// The toolkit sends idle and update-UI events to every window at every wake-up of the event
// loop, which costs more than a pushed report itself: only windows that ask get them. The main
// window asks for idle events; no window of the program handles update-UI events.
void SetProgramEventModes();
