#pragma once
// One GTA2 car-information file (.gci) in memory: a header comment we do not keep,
// then one block of lines per car, blocks separated by empty lines. Lines stay text,
// byte for byte; only SetVal changes them. Cars and properties are numbered from 0.

#include <cstdint>
#include <string>
#include <vector>

class clsGCI {
public:
    clsGCI() = default;

    // Replaces the whole content with the cars of sFile. A file that cannot be read
    // throws FileError naming it, and so does one with more than 32,767 cars; either
    // way the model keeps what it had.
    void LoadCars(const std::string& sFile);

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

private:
    const std::string& Line(int iCarIdx, int iValIdx) const;

    int16_t iNumOfCars = 0;
    std::vector<std::vector<std::string>> CarLines;
};
