#pragma once

#include <QString>
#include <QStringList>

// Folder of the running executable, links resolved, ending with '/'.
QString ExecutableFolder();

// Start-up trace for end-to-end tests: when ORVANE_STARTUP_LOG names a file, each step the user
// could see (a notice, an error box, the window shown) is appended to it as a line.
void TraceStartup(const QString& line);

// Shows an error the way unhandled errors of event handlers are shown: a standard error box with
// the error's text.
void ShowErrorBox(const QString& text);

// For the start-up benchmark: when ORVANE_EXIT_WHEN_SHOWN names a file, the moment the window is
// shown (microseconds of the system clock) is appended to it and the program ends.
void ReportShownForBenchmark();
