// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What both programs answer to --version: the version, the copyright and the licence,
// in the form help2man turns into the man pages' COPYRIGHT section.

#include <QString>

inline QString VersionText(const QString& program)
{
    return QStringLiteral(
               "%1 %2\n"
               "Copyright (C) 2026 The Kestrova team\n"
               "License GPL-3.0-or-later: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.\n"
               "This is free software: you are free to change and redistribute it.\n"
               "There is NO WARRANTY, to the extent permitted by law.\n")
        .arg(program, QStringLiteral(KESTROVA_VERSION));
}
