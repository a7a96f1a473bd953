// SPDX-License-Identifier: GPL-3.0-or-later
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

#include "cli/Command.h"

QCommandLineOption JsonOption()
{
    return QCommandLineOption(QStringLiteral("json"), QStringLiteral("Print one JSON document."));
}

void PrintTable(QTextStream& out, const QStringList& header, const QList<QStringList>& rows)
{
    QList<qsizetype> widths(header.size(), 0);
    for (const QStringList& row : QList<QStringList>{header} + rows)
        for (qsizetype c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], row[c].size());
    for (const QStringList& row : QList<QStringList>{header} + rows) {
        QString line;
        for (qsizetype c = 0; c < row.size(); ++c)
            line += c + 1 < row.size() ? row[c].leftJustified(widths[c] + 2) : row[c];
        out << line << '\n';
    }
}

void PrintJson(QTextStream& out, const QJsonValue& document)
{
    const QJsonDocument json =
        document.isArray() ? QJsonDocument(document.toArray()) : QJsonDocument(document.toObject());
    out << json.toJson(QJsonDocument::Indented);
}

QString FromLatin1(const std::string& bytes)
{
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
