#pragma once
// One GTA2 car-information file (.gci) in memory: a header comment we do not keep,
// then one block of lines per car, blocks separated by empty lines. Lines stay text,
// byte for byte; only SetVal changes them. Cars and properties are numbered from 0.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class clsGCI {
public:
    clsGCI() = default;

    // Replaces the whole content with the cars of sFile. A file that cannot be read
    // throws FileError naming it, and so do one that is no text (it holds a zero byte or
    // a control character other than tab, CR and LF) and one with more than 32,767 cars;
    // either way the model keeps what it had.
    void LoadCars(const std::string& sFile);
    // The same from bytes in memory; sFile names them in messages.
    void ParseCars(std::span<const uint8_t> bytes, const std::string& sFile);

    // Writes a banner of our own and every car, keeping the previous file as
    // sFileName + ".bak". Throws FileError when that cannot be done, with the previous
    // file untouched. A model with no cars writes nothing.
    void SaveCars(const std::string& sFileName);

    // Rebuilds line iValIdx of the car from sNewVal and the line's own label. The name
    // (0) and the model number (1) are never rewritten.
    void SetVal(int iCarIdx, int iValIdx, const std::string& sNewVal);

    // The value held by line iValIdx of the car; the empty string when the line is empty.
    // std::out_of_range for a car that does not exist, a property index outside 0 to 21
    // or a line the car does not have.
    std::string GetVal(int iCarIdx, int iValIdx) const;

    int16_t GetNumOfCars() const { return iNumOfCars; }
    // How many lines the car has: GetVal and SetVal take line indices below this (and
    // below 22). std::out_of_range for a car that does not exist.
    int GetNumOfLines(int iCarIdx) const;

private:
    // Where one line lies in Text.
    struct LineSpan {
        std::size_t at = 0;
        std::size_t size = 0;
    };

    // Parses the file's bytes, which it keeps, and swaps them in only when all is read.
    void Take(std::vector<uint8_t> read, const std::string& sFile);
    std::string_view Line(int iCarIdx, int iValIdx) const;
    std::string_view TextOf(const LineSpan& line) const
    {
        return std::string_view(reinterpret_cast<const char*>(Text.data()), Text.size()).substr(line.at, line.size);
    }

    int16_t iNumOfCars = 0;
    // The loaded text, followed by every line SetVal has written since, and where each
    // car's lines lie in it: the lines of car c are Lines[FirstLine[c]] up to
    // Lines[FirstLine[c + 1]]. A load thus makes three allocations, not one per line.
    std::vector<uint8_t> Text;
    std::vector<LineSpan> Lines;
    std::vector<std::size_t> FirstLine{0};
};
