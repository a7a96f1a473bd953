// SPDX-License-Identifier: GPL-3.0-or-later
// Text files: one text out or in, and a translator's round trip through PO files.

#include "cli/Command.h"
#include "core/gxt/clsGXT.h"
#include "core/io/FileIO.h"
#ifdef KESTROVA_HAVE_PO
#include "core/po/GxtPo.h"
#endif

namespace {

clsGXT Loaded(const std::string& file, Progress& progress)
{
    clsGXT texts;
    texts.ReadGXT(file, progress);
    return texts;
}

int32_t EntryOf(const clsGXT& texts, const Invocation& run)
{
    const QString key = run.arguments.at(1);
    const int32_t entry = texts.FindKey(key.toStdString());
    if (entry == 0)
        throw FileError(run.File(0), "has no key \"" + key.toStdString() + "\"");
    return entry;
}

void Get(Invocation& run)
{
    const clsGXT texts = Loaded(run.File(0), run.progress);
    run.out << QString::fromStdString(texts.GetText(EntryOf(texts, run))) << '\n';
}

void Set(Invocation& run)
{
    clsGXT texts = Loaded(run.File(0), run.progress);
    const int32_t entry = EntryOf(texts, run);
    try {
        texts.SetText(entry, run.arguments.at(2).toStdString());
    } catch (const std::invalid_argument& e) {
        throw UsageError(std::string("the text cannot be stored: ") + e.what());
    }
    texts.SaveGXT(run.File(0), run.progress);
}

#ifdef KESTROVA_HAVE_PO
void ExportPoFile(Invocation& run)
{
    if (!run.Has(QStringLiteral("o")))
        throw UsageError("the PO file to write is missing: -o OUT.po");
    const std::string out = run.Option(QStringLiteral("o")).toStdString();
    const bool hasSource = run.Has(QStringLiteral("source"));
    const std::string sourceFile = run.Option(QStringLiteral("source")).toStdString();
    RefuseToOverwrite(out, run.File(0));
    if (hasSource)
        RefuseToOverwrite(out, sourceFile);
    const clsGXT texts = Loaded(run.File(0), run.progress);
    std::optional<clsGXT> source;
    if (hasSource)
        source = Loaded(sourceFile, run.progress);
    ExportPo(texts, source ? &*source : nullptr, out);
}

void ImportPoFile(Invocation& run)
{
    clsGXT texts = Loaded(run.File(0), run.progress);
    const PoImportResult result = ImportPo(texts, run.File(1));
    for (const std::string& problem : result.problems)
        run.err << run.arguments.at(1) << ": skipped " << QString::fromStdString(problem) << '\n';
    if (result.updated > 0)
        texts.SaveGXT(run.File(0), run.progress);
    run.out << "updated " << result.updated << ", unchanged " << result.unchanged << ", skipped " << result.skipped
            << '\n';
}
#endif

}  // namespace

void AddGxtCommands(std::vector<Command>& commands)
{
    commands.push_back(
        {QStringLiteral("gxt get"), QStringLiteral("FILE KEY"), QStringLiteral("One text, in UTF-8."), 2, {}, Get});
    commands.push_back({QStringLiteral("gxt set"),
                        QStringLiteral("FILE KEY TEXT"),
                        QStringLiteral("Changes one text and saves, keeping the old file as FILE.bak."),
                        3,
                        {},
                        Set});
#ifdef KESTROVA_HAVE_PO
    commands.push_back(
        {QStringLiteral("gxt export-po"),
         QStringLiteral("FILE -o OUT.po"),
         QStringLiteral("Writes the texts as a PO file; msgids come from --source when given."),
         1,
         {QCommandLineOption(QStringLiteral("o"), QStringLiteral("The PO file to write."), QStringLiteral("OUT.po")),
          QCommandLineOption(QStringLiteral("source"), QStringLiteral("The text file of the original language."),
                             QStringLiteral("FILE"))},
         ExportPoFile});
    commands.push_back({QStringLiteral("gxt import-po"),
                        QStringLiteral("FILE IN.po"),
                        QStringLiteral("Applies a translation, saves with a backup and prints the counts."),
                        2,
                        {},
                        ImportPoFile});
#endif
}
