#pragma once
// The program block of mirel: one running copy, the main window with the text
// tool and backup windows, the message loop.

namespace mirel::app {

// Runs the desktop application; returns its exit code. A second copy started
// while one runs says "软件已经运行!" and returns 1 without touching anything.
int runApplication(int argc, char** argv);

} // namespace mirel::app
