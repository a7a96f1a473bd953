// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a text file so that what was not edited stays as it was read: the texts keep
// their order and places in the text block, an edited one is written where it stood
// and those after it move along, and new entries' texts follow the others. The key table
// is written sorted, whatever the entries' order in the model.

#include <algorithm>
#include <cstring>
#include <numeric>

#include "core/gxt/GxtTextBytes.h"
#include "core/gxt/clsGXT.h"
#include "core/io/LittleEndian.h"

namespace {

constexpr std::size_t kRecordSize = 12;
constexpr std::size_t kTableAt = 14;

}  // namespace

GxtTooLarge::GxtTooLarge(uint64_t bytes)
    : std::runtime_error("the texts would make a text file of " + std::to_string(bytes) +
                         " bytes, more than the 64 MB a text file may have")
{
}

bool clsGXT::SaveGXT(const std::string& sFile, Progress& progress)
{
    std::vector<uint8_t> bytes;
    try {
        bytes = Serialize(progress);
    } catch (const GxtTooLarge& tooLarge) {
        throw FileError(sFile, tooLarge.what());
    }
    SaveWithBackup(sFile, bytes);
    return true;
}

std::vector<uint8_t> clsGXT::Serialize(Progress& progress) const
{
    const std::size_t count = entries_.size();
    const std::size_t blockAt = kTableAt + count * kRecordSize + 8;
    std::vector<uint8_t> out;
    out.reserve(blockAt + blockSize_ + 2 * edits_.size() + Tail().size());
    out.resize(blockAt);  // the header and the key table, filled in once the texts are laid out
    std::vector<uint32_t> at(count);
    LayOutTexts(out, at);
    const std::size_t blockSize = out.size() - blockAt;
    out.insert(out.end(), Tail().begin(), Tail().end());
    if (out.size() > kLargestTextFile.bytes)
        throw GxtTooLarge(out.size());

    uint8_t* const head = out.data();
    std::memcpy(head, "GBL", 3);
    head[3] = static_cast<uint8_t>(language_);
    head[4] = 'd';
    head[5] = version_;
    std::memcpy(head + 6, "TKEY", 4);
    StoreLE32(head + 10, static_cast<uint32_t>(count * kRecordSize));
    std::vector<uint32_t> order(count);
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(),
                     [this](uint32_t a, uint32_t b) { return KeyBefore(entries_[a].key, entries_[b].key); });
    {
        ProgressScope saving(progress, 1, static_cast<double>(count), "Saving...");
        for (std::size_t n = 0; n < count; ++n) {
            saving.Update(static_cast<double>(n + 1));
            uint8_t* const record = head + kTableAt + n * kRecordSize;
            StoreLE32(record, at[order[n]]);
            std::memcpy(record + 4, entries_[order[n]].key.data(), entries_[order[n]].key.size());
        }
    }
    std::memcpy(head + blockAt - 8, "TDAT", 4);
    StoreLE32(head + blockAt - 4, static_cast<uint32_t>(blockSize));
    return out;
}

void clsGXT::LayOutTexts(std::vector<uint8_t>& out, std::vector<uint32_t>& at) const
{
    const std::span<const uint8_t> block = Block();
    const std::size_t base = out.size();
    // Bytes of the block read before `copied` are in `out` (or were replaced).
    std::size_t copied = 0;
    const auto copyTo = [&](std::size_t end) {
        out.insert(out.end(), block.begin() + static_cast<std::ptrdiff_t>(copied),
                   block.begin() + static_cast<std::ptrdiff_t>(end));
    };
    const auto write = [&](uint32_t k) {
        at[k] = static_cast<uint32_t>(out.size() - base);
        const std::string_view value = std::string_view(edits_).substr(entries_[k].at, entries_[k].size);
        gxt_bytes::AppendText(out, value, PrefixAsBytes(entries_[k], value));
    };
    const auto edited = [this](uint32_t k) { return entries_[k].edited; };

    std::vector<uint32_t> order;
    for (uint32_t k = 0; k < entries_.size(); ++k)
        if (entries_[k].original != kNoText)
            order.push_back(k);
    std::sort(order.begin(), order.end(), [this](uint32_t a, uint32_t b) {
        return entries_[a].original != entries_[b].original ? entries_[a].original < entries_[b].original : a < b;
    });
    // Texts that overlap in the block (one key's text, or a tail of it, shared by others)
    // form a run, kept whole while any of its keys keeps its text.
    for (std::size_t i = 0, j = 0; i < order.size(); i = j) {
        const std::size_t start = entries_[order[i]].original;
        std::size_t textEnd = gxt_bytes::TextEnd(block, start);
        std::size_t end = gxt_bytes::CellEnd(block, start, textEnd);
        for (j = i + 1; j < order.size() && entries_[order[j]].original < end; ++j) {
            const std::size_t from = entries_[order[j]].original;
            if (from + 2 > textEnd) {  // begins on the run's last zero bytes, and reads past them
                textEnd = gxt_bytes::TextEnd(block, from);
                end = gxt_bytes::CellEnd(block, from, textEnd);
            }
        }
        const std::span<const uint32_t> run(order.data() + i, j - i);
        if (std::all_of(run.begin(), run.end(), edited)) {
            copyTo(start);
            copied = end;
            std::for_each(run.begin(), run.end(), write);
            continue;
        }
        for (const uint32_t k : run)
            if (!edited(k))
                at[k] = static_cast<uint32_t>(out.size() - base + (entries_[k].original - copied));
        if (std::any_of(run.begin(), run.end(), edited)) {
            copyTo(end);
            copied = end;
            for (const uint32_t k : run)
                if (edited(k))
                    write(k);
        }
    }
    copyTo(block.size());
    for (uint32_t k = 0; k < entries_.size(); ++k)
        if (entries_[k].original == kNoText)
            write(k);
}

bool clsGXT::PrefixAsBytes(const Entry& e, std::string_view value) const
{
    // A text that still begins as it did when read keeps how those characters were stored.
    if (e.original != kNoText && value.size() >= 2 &&
        gxt_bytes::TextStart(Block(), e.original, 2) == value.substr(0, 2))
        return gxt_bytes::PrefixBytesAt(Block(), e.original);
    return gxt_bytes::BeginsWithMarkup(value);
}
