// SPDX-License-Identifier: GPL-3.0-or-later
// Car files: list every car, read one value, change one.

#include <QJsonArray>
#include <QJsonObject>

#include "cli/Command.h"
#include "core/gci/GCIProperties.h"
#include "core/gci/clsGCI.h"
#include "core/io/FileError.h"

namespace {

clsGCI Loaded(const Invocation& run)
{
    clsGCI cars;
    cars.LoadCars(run.File(0), run.progress);
    return cars;
}

// A value as the file holds it; "" where the car has no such line.
QString ValueOf(const clsGCI& cars, int car, int property)
{
    return property < cars.GetNumOfLines(car) ? FromLatin1(cars.GetVal(car, property)) : QString();
}

// CAR is a car's name (as the file spells it, else in any case), or its number from 1.
int CarNamed(const clsGCI& cars, const Invocation& run, const QString& car)
{
    for (const Qt::CaseSensitivity sensitivity : {Qt::CaseSensitive, Qt::CaseInsensitive})
        for (int c = 0; c < cars.GetNumOfCars(); ++c)
            if (FromLatin1(cars.GetVal(c, 0)).compare(car, sensitivity) == 0)
                return c;
    bool number = false;
    const int n = car.toInt(&number);
    if (number && n >= 1 && n <= cars.GetNumOfCars())
        return n - 1;
    throw FileError(run.File(0), "has no car named or numbered \"" + car.toStdString() + "\" (it holds " +
                                     std::to_string(cars.GetNumOfCars()) + " cars)");
}

// PROPERTY as GCIProperties takes it: a name as `gci list` prints it, or a line's label.
int PropertyOf(const QString& property)
{
    try {
        return PropertyNamed(property.toStdString());
    } catch (const std::invalid_argument& e) {
        throw UsageError(e.what());
    }
}

void List(Invocation& run)
{
    const clsGCI cars = Loaded(run);
    QStringList names;
    for (int i = 0; i < kNumOfProperties; ++i)
        names << QString::fromStdString(PropertyName(i));
    QList<QStringList> rows;
    for (int c = 0; c < cars.GetNumOfCars(); ++c) {
        QStringList row{QString::number(c + 1)};
        for (int i = 0; i < kNumOfProperties; ++i)
            row << ValueOf(cars, c, i);
        rows << row;
    }
    if (!run.Json())
        return PrintTable(run.out, QStringList{QStringLiteral("#")} + names, rows);
    QJsonArray list;
    for (const QStringList& row : rows)
        list.append(QJsonObject{{QStringLiteral("number"), row.first().toInt()},
                                {QStringLiteral("values"), QJsonArray::fromStringList(row.mid(1))}});
    PrintJson(run.out, QJsonObject{{QStringLiteral("file"), run.arguments.at(0)},
                                   {QStringLiteral("properties"), QJsonArray::fromStringList(names)},
                                   {QStringLiteral("cars"), list}});
}

// The line CAR and PROPERTY name: the car's number and the property's.
std::pair<int, int> LineNamed(const clsGCI& cars, const Invocation& run)
{
    const int property = PropertyOf(run.arguments.at(2));
    const int car = CarNamed(cars, run, run.arguments.at(1));
    if (property >= cars.GetNumOfLines(car))
        throw FileError(run.File(0), "the car \"" + run.arguments.at(1).toStdString() + "\" has no " +
                                         PropertyName(property) + " line");
    return {car, property};
}

void Get(Invocation& run)
{
    const clsGCI cars = Loaded(run);
    const auto [car, property] = LineNamed(cars, run);
    run.out << FromLatin1(cars.GetVal(car, property)) << '\n';
}

// The same rules as the car editor: the name and the model stay, a value must be one the
// game reads, and is written in its form.
void Set(Invocation& run)
{
    clsGCI cars = Loaded(run);
    const auto [car, property] = LineNamed(cars, run);
    try {
        cars.SetVal(car, property, run.arguments.at(3).toLatin1().toStdString());
    } catch (const std::invalid_argument& e) {
        throw UsageError(e.what());
    }
    cars.SaveCars(run.File(0), run.progress);
}

}  // namespace

void AddGciCommands(std::vector<Command>& commands)
{
    commands.push_back({QStringLiteral("gci list"),
                        QStringLiteral("FILE"),
                        QStringLiteral("The cars in file order with their 22 values."),
                        1,
                        {JsonOption()},
                        List});
    commands.push_back({QStringLiteral("gci get"),
                        QStringLiteral("FILE CAR PROPERTY"),
                        QStringLiteral("One value. CAR: a name or a number from 1; PROPERTY: a name as \"gci list\" "
                                       "prints it, or a line's label, in any case."),
                        3,
                        {},
                        Get});
    commands.push_back({QStringLiteral("gci set"),
                        QStringLiteral("FILE CAR PROPERTY VALUE"),
                        QStringLiteral("Changes one value and saves, keeping the old file as FILE.bak. VALUE: a whole "
                                       "number (Turbo, Value, Pad) or one of at most three decimals, within the "
                                       "property's range."),
                        4,
                        {},
                        Set});
}
