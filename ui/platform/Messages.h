// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The icon a message box shows beside its text.

enum class MessageIcon { None, Information, Warning, Critical };
