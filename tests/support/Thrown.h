// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The message of the E a call throws, or "<nothing thrown>", so that a test states the
// refusal it expects in one line. Any other exception escapes and fails the test.

#include <string>

template <typename E, typename F>
std::string Thrown(F&& call)
{
    try {
        call();
    } catch (const E& e) {
        return e.what();
    }
    return "<nothing thrown>";
}

// Whether `text` holds `part`, for messages checked by a fragment.
inline bool Holds(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}
