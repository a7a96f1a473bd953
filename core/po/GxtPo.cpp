// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/po/GxtPo.h"

#include <gettext-po.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <set>
#include <unordered_map>
#include <utility>

#include "core/common/Numbers.h"
#include "core/io/FileError.h"
#include "core/io/FileIO.h"

namespace {

// What the library reported while one call ran. Its handlers are plain functions with no
// room for our own data, so they write here.
struct Reports {
    std::string firstError;
    bool failed = false;
};
thread_local Reports* tReports = nullptr;

void Record(int severity, const char* filename, std::size_t lineno, const char* text)
{
    if (severity == PO_SEVERITY_WARNING || tReports == nullptr || tReports->failed)
        return;
    tReports->failed = true;
    if (filename != nullptr && lineno != static_cast<std::size_t>(-1))
        tReports->firstError = "line " + std::to_string(lineno) + ": ";
    tReports->firstError += text != nullptr ? text : "unknown error";
    while (!tReports->firstError.empty() && tReports->firstError.back() == '\n')
        tReports->firstError.pop_back();
}

// A fatal error is to leave the library without returning; we return and judge the call
// a failure instead. Writing checks the file first, so the fatal "cannot create" does not
// arise.
void OnError(int severity, po_message_t, const char* filename, std::size_t lineno, std::size_t, int, const char* text)
{
    Record(severity, filename, lineno, text);
}

// Duplicate definitions arrive here.
void OnError2(int severity, po_message_t, const char* filename, std::size_t lineno, std::size_t, int, const char* text,
              po_message_t, const char*, std::size_t, std::size_t, int, const char*)
{
    Record(severity, filename, lineno, text);
}

const po_xerror_handler kHandler = {OnError, OnError2};

// Collects reports for its lifetime.
class Listening {
public:
    Listening() : previous_(std::exchange(tReports, &reports_)) {}
    ~Listening() { tReports = previous_; }
    Listening(const Listening&) = delete;
    Listening& operator=(const Listening&) = delete;
    const Reports& Heard() const { return reports_; }

private:
    Reports reports_;
    Reports* previous_;
};

struct FileFree {
    void operator()(po_file_t f) const { po_file_free(f); }
};
struct IteratorFree {
    void operator()(po_message_iterator_t i) const { po_message_iterator_free(i); }
};
using PoFile = std::unique_ptr<std::remove_pointer_t<po_file_t>, FileFree>;
using PoIterator = std::unique_ptr<std::remove_pointer_t<po_message_iterator_t>, IteratorFree>;

// "-" is standard input or output to the library, not a file.
std::string LibraryPath(const std::string& file)
{
    return file == "-" ? "./-" : file;
}

const std::string kEot = "\x04";
const std::string kEotMark = "\xEE\x80\x84";    // U+E004
const std::string kBreakMark = "\xEE\x80\x8A";  // U+E00A

void ReplaceAll(std::string& text, const std::string& from, const std::string& to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

std::string ToPo(std::string text)
{
    ReplaceAll(text, kEot, kEotMark);
    std::size_t leading = 0;
    while (leading < text.size() && text[leading] == '\n')
        ++leading;
    std::size_t trailing = 0;
    while (trailing < text.size() - leading && text[text.size() - 1 - trailing] == '\n')
        ++trailing;
    std::string out;
    for (std::size_t i = 0; i < leading; ++i)
        out += kBreakMark;
    out.append(text, leading, text.size() - leading - trailing);
    for (std::size_t i = 0; i < trailing; ++i)
        out += kBreakMark;
    return out;
}

std::string FromPo(std::string text)
{
    ReplaceAll(text, kEotMark, kEot);
    ReplaceAll(text, kBreakMark, "\n");
    return text;
}

std::string KeyOf(const clsGXT& model, int32_t i)
{
    const std::string key = model.GetKey(i);
    return key.substr(0, key.find('\0'));
}

// Fills in, for each key of `first` still without one, the model's first entry of that
// key: one walk over the model, and memory for the keys asked about only.
void FindFirstEntries(const clsGXT& model, std::unordered_map<std::string, int32_t>& first)
{
    for (int32_t i = 1; i <= model.GetEntries(); ++i)
        if (const auto found = first.find(KeyOf(model, i)); found != first.end() && found->second == 0)
            found->second = i;
}

// Counts what the library keeps apart in PO text, however the text is split into pieces:
// each keyword, quoted string and comment word, and any other run of non-blank bytes.
class PoWordCount {
public:
    void Add(std::span<const uint8_t> bytes)
    {
        for (const uint8_t c : bytes)
            Step(c);
    }
    uint64_t Words() const { return words_; }

private:
    enum class In { Blank, Word, String, Escape, Comment, CommentWord };
    static bool IsBlank(uint8_t c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
    void Start(In state)
    {
        ++words_;
        in_ = state;
    }
    void Step(uint8_t c)
    {
        switch (in_) {
            case In::Blank:
            case In::Word:
                if (IsBlank(c))
                    in_ = In::Blank;
                else if (c == '"')
                    Start(In::String);
                else if (c == '#')
                    Start(In::CommentWord);  // to the end of the line, wherever it starts
                else if (in_ == In::Blank)
                    Start(In::Word);
                break;
            case In::String:  // ends at its quote, or (damaged) at the end of the line
                in_ = c == '"' || c == '\n' ? In::Blank : c == '\\' ? In::Escape : In::String;
                break;
            case In::Escape:
                in_ = c == '\n' ? In::Blank : In::String;
                break;
            case In::Comment:
            case In::CommentWord:
                if (c == '\n')
                    in_ = In::Blank;
                else if (IsBlank(c))
                    in_ = In::Comment;
                else if (in_ == In::Comment)
                    Start(In::CommentWord);
                break;
        }
    }

    In in_ = In::Blank;
    uint64_t words_ = 0;
};

const SizeLimit kLargestPo{kLargestPoBytes, "PO file of a game's texts"};

// Reads the open file through once, refusing it when it holds more words than any PO
// file of a game's texts.
void CheckWordCount(SystemFile& file, const std::string& name)
{
    PoWordCount count;
    uint8_t piece[1 << 16];
    for (std::size_t got = 1; got != 0;) {
        if (const std::error_code error = file.ReadSome(piece, sizeof piece, got))
            throw FileError(name, "cannot be read: " + error.message());
        count.Add({piece, got});
        if (count.Words() > kMostPoWords)
            throw FileError(name, "is too large to load: it has more than " + Grouped(kMostPoWords) +
                                      " words and strings, more than any " + kLargestPo.kind);
    }
}

std::string Header(char language)
{
    const char* code = language == 'F'   ? "fr"
                       : language == 'G' ? "de"
                       : language == 'I' ? "it"
                       : language == 'S' ? "es"
                                         : "en";
    char now[64] = "";
    const std::time_t t = std::time(nullptr);
    if (const std::tm* local = std::gmtime(&t))
        std::strftime(now, sizeof now, "%Y-%m-%d %H:%M+0000", local);
    std::string header = "Project-Id-Version: GTA2 texts\n";
    header += std::string("PO-Revision-Date: ") + now + "\n";
    header += "Last-Translator: \nLanguage-Team: \n";
    header += std::string("Language: ") + code + "\n";
    header += "MIME-Version: 1.0\nContent-Type: text/plain; charset=UTF-8\nContent-Transfer-Encoding: 8bit\n";
    return header;
}

po_message_t Message(const char* context, const std::string& id, const std::string& str)
{
    po_message_t m = po_message_create();
    if (context != nullptr)
        po_message_set_msgctxt(m, context);
    po_message_set_msgid(m, id.c_str());
    po_message_set_msgstr(m, str.c_str());
    return m;
}

// The charset the header declares, in upper case; "" when none is.
std::string DeclaredCharset(po_file_t file)
{
    // Though declared const, the header comes back as a copy of its own for us to free.
    const std::unique_ptr<char, decltype(&std::free)> header(const_cast<char*>(po_file_domain_header(file, nullptr)),
                                                             &std::free);
    if (header == nullptr)
        return {};
    char* field = po_header_field(header.get(), "Content-Type");
    if (field == nullptr)
        return {};
    std::string type(field);
    std::free(field);
    for (char& c : type)
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    const std::size_t at = type.find("CHARSET=");
    if (at == std::string::npos)
        return {};
    std::string charset = type.substr(at + 8);
    charset = charset.substr(0, charset.find_first_of("; \t"));
    return charset;
}

// The library keeps a few hundred bytes for every message it holds, so a file is written
// a batch of messages at a time, each batch through a private file. Every batch starts
// with the header, which tells the library the strings' charset; only the first batch's
// is kept, and the batches' texts join as one file's would, a blank line between messages.
class PoBatches {
public:
    PoBatches(const std::string& poFile, const std::string& header, const ByteSink& sink)
        : poFile_(poFile), header_(header), sink_(sink)
    {
        Start();
    }

    void Add(po_message_t message, std::size_t bytes)
    {
        po_message_insert(iterator_.get(), message);
        held_ += bytes;
        if (++count_ == kBatchMessages || held_ >= kBatchBytes)
            Flush();
    }

    void Flush()
    {
        if (count_ == 0 && !first_)  // a file without texts still has its header
            return;
        iterator_.reset();
        {
            Listening listening;
            po_file_write(file_.get(), scratch_.Path().c_str(), &kHandler);
            if (listening.Heard().failed)
                throw FileError(poFile_, "was not written: " + listening.Heard().firstError);
        }
        const std::vector<uint8_t> text = scratch_.Contents();
        static constexpr uint8_t kBlankLine[] = {'\n', '\n'};
        const auto afterHeader = std::search(text.begin(), text.end(), std::begin(kBlankLine), std::end(kBlankLine));
        sink_(std::span(first_ ? text.begin() : std::min(afterHeader + 1, text.end()), text.end()));
        first_ = false;
        Start();
    }

private:
    static constexpr int kBatchMessages = 1024;
    static constexpr std::size_t kBatchBytes = std::size_t{1} << 20;

    void Start()
    {
        file_.reset(po_file_create());
        iterator_.reset(po_message_iterator(file_.get(), nullptr));
        po_message_insert(iterator_.get(), Message(nullptr, "", header_));
        count_ = 0;
        held_ = 0;
    }

    const std::string& poFile_;
    const std::string header_;
    const ByteSink& sink_;
    ScratchFile scratch_;
    PoFile file_;
    PoIterator iterator_;
    int count_ = 0;
    std::size_t held_ = 0;
    bool first_ = true;
};

}  // namespace

std::size_t ExportPo(const clsGXT& translation, const clsGXT* source, const std::string& poFile)
{
    if (translation.GetEntries() > kMostPoEntries)
        throw FileError(poFile, "cannot be written: the text file has " + Grouped(translation.GetEntries()) +
                                    " entries, and a PO file of more than " + Grouped(kMostPoEntries) +
                                    " is not read back");
    // Each key's first entry, in file order, and its entry in the source.
    std::unordered_map<std::string, int32_t> inSource;
    std::vector<int32_t> firsts;
    for (int32_t i = 1; i <= translation.GetEntries(); ++i)
        if (inSource.emplace(KeyOf(translation, i), 0).second)
            firsts.push_back(i);
    if (source != nullptr)
        FindFirstEntries(*source, inSource);

    ReplaceWholeFileFrom(poFile, [&](const ByteSink& sink) {
        // What is written must be a file the import takes.
        PoWordCount words;
        uint64_t size = 0;
        const ByteSink counted = [&](std::span<const uint8_t> piece) {
            words.Add(piece);
            if ((size += piece.size()) > kLargestPoBytes || words.Words() > kMostPoWords)
                throw FileError(poFile, "cannot be written: it would be larger than any PO file read back (" +
                                            Grouped(kLargestPoBytes >> 20) + " MB or " + Grouped(kMostPoWords) +
                                            " words and strings)");
            sink(piece);
        };
        PoBatches batches(poFile, Header(translation.Language()), counted);
        for (const int32_t i : firsts) {
            const std::string key = KeyOf(translation, i);
            const std::string text = ToPo(translation.GetText(i));
            const int32_t original = inSource.at(key);
            const std::string id = original != 0 ? ToPo(source->GetText(original)) : text;
            batches.Add(Message(key.c_str(), id, text), id.size() + text.size());
        }
        batches.Flush();
    });
    return firsts.size();
}

PoImportResult ImportPo(clsGXT& target, const std::string& poFile)
{
    // Checked on the file that is open, which the library reads again by its path under
    // /proc where there is one: so what it reads is what was checked.
    uint64_t size = 0;
    SystemFile opened = OpenFileToRead(poFile, kLargestPo, size);
    CheckWordCount(opened, poFile);
    std::string path = opened.PathForLibraries();
    if (path.empty())
        path = LibraryPath(poFile);
    PoFile file;
    {
        Listening listening;
        file.reset(po_file_read(path.c_str(), &kHandler));
        // The library hands back a file even after reporting errors in it.
        if (listening.Heard().failed)
            throw FileError(poFile, listening.Heard().firstError);
        if (!file)
            throw FileError(poFile, "cannot be read");
    }
    const std::string charset = DeclaredCharset(file.get());
    if (!charset.empty() && charset != "UTF-8" && charset != "UTF8" && charset != "ASCII" && charset != "US-ASCII" &&
        charset != "CHARSET")
        throw FileError(poFile, "its texts are in " + charset +
                                    "; only UTF-8 PO files are read (msgconv --to-code=UTF-8 converts one)");

    // The keys the file names, each found once in the target.
    std::unordered_map<std::string, int32_t> entries;
    for (const char* const* domain = po_file_domains(file.get()); *domain != nullptr; ++domain) {
        PoIterator it(po_message_iterator(file.get(), *domain));
        while (po_message_t m = po_next_message(it.get()))
            if (const char* context = po_message_msgctxt(m))
                entries.emplace(context, 0);
    }
    FindFirstEntries(target, entries);

    PoImportResult result;
    std::vector<std::pair<int32_t, std::string>> changes;
    std::set<std::string> seen;
    const auto skip = [&](const std::string& what, const std::string& why) {
        ++result.skipped;
        result.problems.push_back(what + ": " + why);
    };
    for (const char* const* domain = po_file_domains(file.get()); *domain != nullptr; ++domain) {
        PoIterator it(po_message_iterator(file.get(), *domain));
        while (po_message_t m = po_next_message(it.get())) {
            const char* context = po_message_msgctxt(m);
            const std::string id = po_message_msgid(m);
            if (po_message_is_obsolete(m) || (context == nullptr && id.empty()))
                continue;  // the header, or an entry the translator retired
            if (context == nullptr) {
                skip("msgid \"" + id.substr(0, 40) + "\"", "has no msgctxt naming its key");
                continue;
            }
            const std::string key = context;
            const std::string what = "key \"" + key + "\"";
            if (po_message_is_fuzzy(m)) {
                skip(what, "is marked fuzzy");
            } else if (!seen.insert(key).second) {
                skip(what, "is in the PO file more than once; its first entry was taken");
            } else if (po_message_msgid_plural(m) != nullptr) {
                skip(what, "has plural forms");
            } else if (const auto entry = entries.find(key); entry == entries.end() || entry->second == 0) {
                skip(what, "is not in the GXT file");
            } else if (const std::string text = po_message_msgstr(m); text.empty()) {
                ++result.unchanged;
            } else {
                std::string bytes;
                try {
                    bytes = EncodeGxtText(FromPo(text), target.Charset());
                } catch (const std::invalid_argument& e) {
                    skip(what, e.what());
                    continue;
                }
                if (bytes == target.GetValue(entry->second))
                    ++result.unchanged;
                else
                    changes.emplace_back(entry->second, std::move(bytes));
            }
        }
    }
    // The library's copy of every text goes before the model takes in its own, and each
    // change as it is taken.
    file.reset();
    entries.clear();
    for (auto& [index, bytes] : changes) {
        target.SetValue(index, bytes);
        std::string().swap(bytes);
    }
    result.updated = static_cast<int>(changes.size());
    return result;
}
