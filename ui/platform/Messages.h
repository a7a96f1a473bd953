#pragma once
// The icon a message box shows beside its text.

enum class MessageIcon { None, Information, Warning, Critical };
