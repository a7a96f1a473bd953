// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A fresh folder for one test, removed with everything in it afterwards. Names go in and
// out as UTF-8 through the program's own path conversion, so a test passes where the
// temporary folder's name is not ASCII (a user named Jürgen on Windows).

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>

#include "core/common/PathRules.h"

class TempDir {
public:
    TempDir()
    {
        static std::atomic<int> counter{0};
        path_ = std::filesystem::temp_directory_path() /
                ("kestrova-test-" + std::to_string(std::random_device{}()) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(path_);
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string Utf8() const { return Utf8FromPath(path_); }
    std::filesystem::path At(const std::string& name) const { return path_ / PathFromUtf8(name); }
    std::string File(const std::string& name) const { return Utf8FromPath(path_ / PathFromUtf8(name)); }

    static void Write(const std::string& file, const std::string& bytes)
    {
        std::ofstream(PathFromUtf8(file), std::ios::binary) << bytes;
    }
    static std::string Read(const std::string& file)
    {
        std::ifstream in(PathFromUtf8(file), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // Everything in the folder, as "name=contents" or "name=<folder>", names relative to it.
    std::set<std::string> Listing() const
    {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(path_))
            names.insert(Utf8FromPath(entry.path().lexically_relative(path_)) + "=" +
                         (entry.is_regular_file() ? Read(Utf8FromPath(entry.path())) : "<folder>"));
        return names;
    }

private:
    std::filesystem::path path_;
};
