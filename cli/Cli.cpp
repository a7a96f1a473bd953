// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Cli.h"

#include <QRegularExpression>
#include <exception>

#include "app/Version.h"
#include "cli/Command.h"
#include "cli/Progress.h"

namespace {

const QString kProgram = QStringLiteral("kestrova-cli");
// U+2212, the minus sign, which no option starts with.
const QChar kStandIn(0x2212);

std::vector<Command> AllCommands()
{
    std::vector<Command> commands;
    AddInfoCommand(commands);
    AddGciCommands(commands);
    AddGxtCommands(commands);
    AddStyCommands(commands);
    AddGmpCommands(commands);
    AddFontCommands(commands);
    AddTextDiffCommand(commands);
    AddZoneCommands(commands);
    return commands;
}

QString Overview(const std::vector<Command>& commands)
{
    QString text = QStringLiteral(
                       "Usage: %1 COMMAND [options] ARGUMENTS\n"
                       "GTA2's car, text, style and map files from the command line.\n\nCommands:\n")
                       .arg(kProgram);
    for (const Command& c : commands)
        text += QStringLiteral("  %1 %2\n      %3\n").arg(c.words, c.arguments, c.summary);
    return text + QStringLiteral("\n%1 COMMAND --help tells more of one command.\n").arg(kProgram);
}

QString Usage(const Command& command, const QCommandLineParser& parser)
{
    QString text = QStringLiteral("Usage: %1 %2 [options] %3\n%4\n")
                       .arg(kProgram, command.words, command.arguments, command.summary);
    const QString help = parser.helpText();
    const qsizetype options = help.indexOf(QStringLiteral("Options:"));
    return options < 0 ? text : text + '\n' + help.mid(options);
}

int Run(const Command& command, const QStringList& rest, QTextStream& out, QTextStream& err)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Shows this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Shows the program's version."));
    parser.addOptions({help, version});
    parser.addOptions(command.options);
    const auto usageError = [&](const QString& problem) {
        err << kProgram << ": " << problem << "\n\n" << Usage(command, parser);
        return 2;
    };
    QStringList words{kProgram};
    for (const QString& word : rest)
        words << AsParsed(word);
    if (!parser.parse(words))
        return usageError(parser.errorText());
    if (parser.isSet(help)) {
        out << Usage(command, parser);
        return 0;
    }
    if (parser.isSet(version)) {
        out << VersionText(kProgram);
        return 0;
    }
    QStringList arguments;
    for (const QString& argument : parser.positionalArguments())
        arguments << AsTyped(argument);
    TerminalProgress progress(err);
    Invocation invocation{parser, arguments, out, err, progress};
    if (invocation.arguments.size() != command.required)
        return usageError(QStringLiteral("%1 takes %2 arguments (%3), not %4")
                              .arg(command.words)
                              .arg(command.required)
                              .arg(command.arguments)
                              .arg(invocation.arguments.size()));
    try {
        command.run(invocation);
        return 0;
    } catch (const UsageError& e) {
        return usageError(QString::fromStdString(e.what()));
    } catch (const std::exception& e) {
        out.flush();
        err << kProgram << ": " << QString::fromStdString(e.what()) << '\n';
        return 1;
    }
}

}  // namespace

QString AsParsed(const QString& argument)
{
    static const QRegularExpression negative(QStringLiteral("^-[0-9.]"));
    return negative.match(argument).hasMatch() ? kStandIn + argument.mid(1) : argument;
}

QString AsTyped(const QString& argument)
{
    return argument.startsWith(kStandIn) ? QLatin1Char('-') + argument.mid(1) : argument;
}

int RunCli(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    const std::vector<Command> commands = AllCommands();
    const QStringList words = arguments.mid(1);
    if (words.isEmpty()) {
        err << Overview(commands);
        return 2;
    }
    if (words.first() == QStringLiteral("--help") || words.first() == QStringLiteral("-h")) {
        out << Overview(commands);
        return 0;
    }
    if (words.first() == QStringLiteral("--version")) {
        out << VersionText(kProgram);
        return 0;
    }
    for (const Command& command : commands) {
        const QStringList own = command.words.split(' ');
        if (words.mid(0, own.size()) == own)
            return Run(command, words.mid(own.size()), out, err);
    }
    err << kProgram << ": \"" << words.mid(0, 2).join(' ') << "\" is not a command\n\n" << Overview(commands);
    return 2;
}
