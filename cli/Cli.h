// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// kestrova-cli: the formats' work from a shell, for scripts and machines without a display.

#include <QStringList>
#include <QTextStream>

// Runs the command the arguments name (the program's own name first) and returns the exit
// status: 0 done, 1 the work failed (nothing on disk changed), 2 the arguments were wrong.
int RunCli(const QStringList& arguments, QTextStream& out, QTextStream& err);
