#include "core/po/GxtPo.h"

#include <gettext-po.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <memory>
#include <set>
#include <unordered_map>
#include <utility>

#include "core/common/PathRules.h"
#include "core/io/FileError.h"

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

// Each key's first entry: one lookup per PO entry instead of a walk over the file.
std::unordered_map<std::string, int32_t> FirstEntries(const clsGXT& model)
{
    std::unordered_map<std::string, int32_t> first;
    first.reserve(static_cast<std::size_t>(model.GetEntries()));
    for (int32_t i = 1; i <= model.GetEntries(); ++i)
        first.emplace(KeyOf(model, i), i);
    return first;
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

}  // namespace

void ExportPo(const clsGXT& translation, const clsGXT* source, const std::string& poFile)
{
    // The library cannot be told "stop" when the file cannot be created: find out first.
    if (!std::ofstream(PathFromUtf8(poFile), std::ios::binary))
        throw FileError(poFile, "cannot be created");
    PoFile file(po_file_create());
    {
        PoIterator it(po_message_iterator(file.get(), nullptr));
        // The header first: it declares UTF-8 for every later string.
        po_message_insert(it.get(), Message(nullptr, "", Header(translation.Language())));
        std::set<std::string> written;
        const auto inSource = source != nullptr ? FirstEntries(*source) : std::unordered_map<std::string, int32_t>();
        for (int32_t i = 1; i <= translation.GetEntries(); ++i) {
            const std::string key = KeyOf(translation, i);
            if (!written.insert(key).second)
                continue;
            const std::string text = ToPo(translation.GetText(i));
            const auto original = inSource.find(key);
            const std::string id = original != inSource.end() ? ToPo(source->GetText(original->second)) : text;
            po_message_insert(it.get(), Message(key.c_str(), id, text));
        }
    }
    Listening listening;
    po_file_write(file.get(), LibraryPath(poFile).c_str(), &kHandler);
    if (listening.Heard().failed)
        throw FileError(poFile, "was not written: " + listening.Heard().firstError);
}

PoImportResult ImportPo(clsGXT& target, const std::string& poFile)
{
    PoFile file;
    {
        Listening listening;
        file.reset(po_file_read(LibraryPath(poFile).c_str(), &kHandler));
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

    PoImportResult result;
    std::vector<std::pair<int32_t, std::string>> changes;
    std::set<std::string> seen;
    const auto entries = FirstEntries(target);
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
            } else if (const auto entry = entries.find(key); entry == entries.end()) {
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
    for (const auto& [index, bytes] : changes)
        target.SetValue(index, bytes);
    result.updated = static_cast<int>(changes.size());
    return result;
}
