// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <stdexcept>
#include <string>

// A file could not be read, written or understood. The message names the file.
class FileError : public std::runtime_error {
public:
    FileError(const std::string& file, const std::string& problem)
        : std::runtime_error(file + ": " + problem), file_(file), problem_(problem)
    {
    }

    const std::string& File() const { return file_; }
    const std::string& Problem() const { return problem_; }

private:
    std::string file_;
    std::string problem_;
};
