// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command line's commands: what each takes, and what runs it. Each format's file adds
// its own commands to the table; Cli.cpp reads the arguments and picks one.

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QJsonValue>
#include <QStringList>
#include <QTextStream>

#include "core/common/Progress.h"

#include <functional>
#include <stdexcept>
#include <vector>

// Wrong arguments: the program answers with the command's usage and exit status 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A negative number is a value, not an option ("gci set nyc.gci TAXI Pad -1"), but the
// parser would take it for one: it goes through the parser as a stand-in (AsParsed) and
// is given back to the command as typed (AsTyped).
QString AsParsed(const QString& argument);
QString AsTyped(const QString& argument);

// What one run of a command has to work with.
struct Invocation {
    const QCommandLineParser& options;
    QStringList arguments;  // the positional ones, after the command's own words
    QTextStream& out;
    QTextStream& err;
    // The progress line on a terminal, for every core call that reports progress.
    Progress& progress;

    QString Option(const QString& name) const { return AsTyped(options.value(name)); }
    bool Has(const QString& name) const { return options.isSet(name); }
    // The file argument as the core names files.
    std::string File(int n) const { return arguments.at(n).toStdString(); }
    bool Json() const { return Has(QStringLiteral("json")); }
};

struct Command {
    QString words;      // "gci get"
    QString arguments;  // "FILE CAR PROPERTY", for the usage
    QString summary;
    int required = 0;  // positional arguments after the words, all required
    QList<QCommandLineOption> options;
    std::function<void(Invocation&)> run;
};

QCommandLineOption JsonOption();

void AddInfoCommand(std::vector<Command>& commands);
void AddGciCommands(std::vector<Command>& commands);
void AddGxtCommands(std::vector<Command>& commands);
void AddStyCommands(std::vector<Command>& commands);
void AddGmpCommands(std::vector<Command>& commands);
void AddFontCommands(std::vector<Command>& commands);
void AddTextDiffCommand(std::vector<Command>& commands);
void AddZoneCommands(std::vector<Command>& commands);

// Output both ways: aligned columns, or one JSON document.
void PrintTable(QTextStream& out, const QStringList& header, const QList<QStringList>& rows);
void PrintJson(QTextStream& out, const QJsonValue& document);
// Car files hold Latin-1; the terminal and JSON want Unicode.
QString FromLatin1(const std::string& bytes);
