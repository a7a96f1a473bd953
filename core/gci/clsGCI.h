// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One GTA2 car-information file (.gci) in memory: an opening comment we do not keep,
// then one block of lines per car, blocks separated by empty lines. Lines stay text,
// byte for byte, until an edit rewrites one. Cars and properties are numbered from 0.

#include <cstdint>
#include <ctime>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/Progress.h"

class clsGCI {
public:
    // The local date and time the banner of a save shows.
    using Clock = std::function<std::tm()>;

    clsGCI();

    // Replaces the whole content with the cars of sFile. The file must be text holding at
    // least one car block: a name line followed by value lines, each with its {label}.
    // Whatever stands before the first car block is the opening comment; from there on
    // every block that holds text is a car. A file that cannot be read, is not a car
    // file (empty, not text, no car block) or holds more than 32,767 cars throws
    // FileError naming it, and the model keeps what it had.
    void LoadCars(const std::string& sFile, Progress& progress = NoProgress());
    // The same from bytes in memory; sFile names them in messages.
    void ParseCars(std::span<const uint8_t> bytes, const std::string& sFile, Progress& progress = NoProgress());

    // The bytes a save writes: a banner of our own, then every car's lines, each line
    // ended by CR LF and each car by an empty line. Nothing for a model with no cars.
    std::vector<uint8_t> Serialize(Progress& progress = NoProgress()) const;
    // Writes Serialize() to sFileName, keeping the previous file as sFileName + ".bak".
    // Throws FileError when that cannot be done or the file would be larger than a car
    // file may be, with the previous file untouched. A model with no cars writes nothing.
    void SaveCars(const std::string& sFileName, Progress& progress = NoProgress());

    // Rewrites line iValIdx of the car with the value sNewVal stands for, in the form the
    // game reads (CarValueText), followed by the line's own {label}, or ours when it has
    // none. std::invalid_argument for a value the property does not take, and for the
    // name (0) and the model number (1), which are never rewritten; nothing changes then.
    void SetVal(int iCarIdx, int iValIdx, const std::string& sNewVal);
    // The line SetVal would write, without writing it.
    std::string ValueLine(int iCarIdx, int iValIdx, const std::string& sNewVal) const;

    // Line iValIdx of the car exactly as held, and putting one back as it was (an undone
    // edit). PutLine refuses an empty line and a line feed with std::invalid_argument.
    std::string GetLine(int iCarIdx, int iValIdx) const;
    void PutLine(int iCarIdx, int iValIdx, std::string_view line);

    // The value held by line iValIdx of the car; the empty string when the line is empty.
    // std::out_of_range for a car that does not exist, a property index outside 0 to 21
    // or a line the car does not have.
    std::string GetVal(int iCarIdx, int iValIdx) const;

    int16_t GetNumOfCars() const { return iNumOfCars; }
    // How many lines the car has: GetVal and SetVal take line indices below this (and
    // below 22). std::out_of_range for a car that does not exist.
    int GetNumOfLines(int iCarIdx) const;

    // Where the banner's date and time come from; the local time by default.
    void SetClock(Clock clock) { Now = std::move(clock); }

private:
    // Parses the file's bytes, which it keeps, and swaps them in only when all is read.
    void Take(std::vector<uint8_t> read, const std::string& sFile, Progress& progress);
    // Where the line's start is kept in LineStarts; std::out_of_range when the car has no such line.
    std::size_t LineIndex(int iCarIdx, int iValIdx) const;
    std::string_view Line(int iCarIdx, int iValIdx) const;
    std::string_view LineAt(std::size_t index) const;
    std::size_t CarsSize() const;
    std::vector<uint8_t> Written(const std::string& banner, Progress& progress) const;

    int16_t iNumOfCars = 0;
    // The loaded bytes (the first LoadedSize of Text), followed by every line written
    // since, each ended by CR LF. Lines of car c start at Text[LineStarts[k]] for k from
    // FirstLine[c] up to FirstLine[c + 1] and run to their line break. Four bytes per
    // line keep a file of many short lines within a few times its size.
    std::vector<uint8_t> Text;
    std::size_t LoadedSize = 0;
    std::vector<uint32_t> LineStarts;
    std::vector<uint32_t> FirstLine{0};
    Clock Now;
};
