#pragma once
// mirel-cli: the label jobs without a window.

#include <QStringList>

namespace mirel::cli {

// Exit codes shared by every subcommand.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;   // the job failed (bad input, I/O, encoder error)
inline constexpr int kExitUsage = 2;     // the command line itself is wrong

// Runs mirel-cli with its arguments (without the program name) and returns the
// exit code. Needs a QGuiApplication (offscreen is fine).
int runCli(const QStringList& args);

} // namespace mirel::cli
