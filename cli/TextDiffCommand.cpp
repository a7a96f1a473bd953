// SPDX-License-Identifier: GPL-3.0-or-later
// Two text files side by side by key: what a translation lacks, adds, and has left as
// the original.

#include <QJsonArray>
#include <QJsonObject>

#include "cli/Command.h"
#include "core/gxt/clsGXT.h"
#include "core/translation/TextCheck.h"

namespace {

clsGXT Loaded(const std::string& file)
{
    clsGXT texts;
    texts.ReadGXT(file);
    return texts;
}

QStringList Keys(const clsGXT& texts, const std::vector<int32_t>& entries)
{
    QStringList keys;
    for (int32_t e : entries)
        keys << FromLatin1(KeyName(texts, e));
    return keys;
}

void Diff(Invocation& run)
{
    const clsGXT a = Loaded(run.File(0)), b = Loaded(run.File(1));
    const TextComparison compared = CompareTexts(a, b);
    const std::pair<QString, QStringList> groups[] = {{QStringLiteral("onlyInA"), Keys(a, compared.onlyHere)},
                                                      {QStringLiteral("onlyInB"), Keys(b, compared.onlyReference)},
                                                      {QStringLiteral("same"), Keys(a, compared.same)},
                                                      {QStringLiteral("different"), Keys(a, compared.different)}};
    if (run.Json()) {
        QJsonObject json;
        for (const auto& [name, keys] : groups)
            json[name] = QJsonArray::fromStringList(keys);
        return PrintJson(run.out, json);
    }
    const QString titles[] = {"only in " + run.arguments.at(0), "only in " + run.arguments.at(1),
                              QStringLiteral("the same text"), QStringLiteral("different texts")};
    for (std::size_t g = 0; g < std::size(groups); ++g)
        run.out << titles[g] << " (" << groups[g].second.size() << "): " << groups[g].second.join(' ') << '\n';
}

}  // namespace

void AddTextDiffCommand(std::vector<Command>& commands)
{
    commands.push_back({QStringLiteral("gxt diff"),
                        QStringLiteral("A B"),
                        QStringLiteral("Keys only in A, only in B, and those whose texts are the same and differ."),
                        2,
                        {JsonOption()},
                        Diff});
}
