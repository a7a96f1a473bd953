// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// kestrova-cli as a script runs it: on a machine without a display (no platform plugin
// named, DISPLAY empty), in a folder of the test's own holding one file of each kind.

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include "tests/support/GCISampleFile.h"
#include "tests/support/GxtTestFile.h"
#include "tests/support/MapBuilder.h"
#include "tests/support/StyBuilder.h"
#include "tests/support/TempDir.h"

namespace {

using gxt_test::Cells;

struct Result {
    int status = -1;
    QString out, err;
};

class Cli : public ::testing::Test {
protected:
    void SetUp() override
    {
        TempDir::Write(File("cars.gci"), gci_sample::File(3));
        TempDir::Write(File("texts.gxt"), gxt_test::FileOf({{"HELLO", Cells("Hi")}, {"BYE", Cells("n!Go")}}));
        TempDir::Write(File("style.sty"), sty_test::SmallStyle().Build());
        TempDir::Write(File("map.gmp"), map_test::Town() + map_test::Chunk("ANIM", map_test::AnimRecords(3)));
        TempDir::Write(File("damaged.gxt"), std::string("GBLEd\0TKEY", 10) + "cut");
    }

    std::string File(const std::string& name) const { return dir.File(name); }
    std::string Read(const std::string& name) const { return TempDir::Read(dir.File(name)); }
    bool Exists(const std::string& name) const { return std::filesystem::exists(dir.At(name)); }

    // Runs the program in the test's folder with the words of `command` as its arguments.
    Result Run(const QString& command) const
    {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("QT_QPA_PLATFORM");
        environment.remove("WAYLAND_DISPLAY");
        environment.insert("DISPLAY", QString());
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(QString::fromStdString(dir.Utf8()));
        program.start(KESTROVA_CLI, command.split(' ', Qt::SkipEmptyParts));
        if (!program.waitForFinished(60000) || program.exitStatus() != QProcess::NormalExit)
            return {};
        return {program.exitCode(), program.readAllStandardOutput(), program.readAllStandardError()};
    }

    // What `command` prints, or its status and standard error when it fails.
    std::string Out(const QString& command) const
    {
        const Result r = Run(command);
        return r.status ? "status " + std::to_string(r.status) + ": " + r.err.toStdString() : r.out.toStdString();
    }

    // Runs `command`, expecting it refused with `status` and `message` on standard error.
    void ExpectRefused(const QString& command, int status, const std::string& message) const
    {
        const Result r = Run(command);
        EXPECT_TRUE(r.status == status && r.err.contains(QString::fromStdString(message)))
            << command.toStdString() << ": status " << r.status << ", " << r.err.toStdString();
    }

    QJsonObject Json(const QString& command) const
    {
        const Result r = Run(command + " --json");
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        return QJsonDocument::fromJson(r.out.toUtf8()).object();
    }

    TempDir dir;
};

}  // namespace
