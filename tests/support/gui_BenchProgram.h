// Start-up shared by the window benchmarks (tests/bench/gui_*_bench.cpp).
//
//     int main(int argc, char** argv) {
//         ...parse the benchmark's own options...
//         return RunWindowBenchmark(argc, argv, [&] {
//             ConnectedProgram program;              // settings directory, pty, simulator
//             if (!program.Connect(5000)) return 1;  // the real main window, connected
//             ...measure with program.Panel() and program.Frame()...
//             return met ? 0 : 1;
//         });
//     }
#pragma once

#include <functional>

// Opens the display (1 with a message when it cannot), sends the log to stderr at warning level
// and runs body inside an active event loop; body's result is returned after the wx clean-up.
// The benchmark's wxApp lives in this module's object file, so only programs calling this get it.
int RunWindowBenchmark(int argc, char** argv, const std::function<int()>& body);

// Runs an event loop of its own for the given time, as the program's main loop runs: it sleeps
// until an event comes, so what the time costs is the program's work alone (a polling wait such
// as RunLoopFor wakes every few milliseconds and adds its own cost).
void RunEventLoopFor(int milliseconds);
