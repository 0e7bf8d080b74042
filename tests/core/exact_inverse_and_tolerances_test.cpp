// The exact inverse and the tolerance classes, directly: the 9-decimal result of the exact
// inverse, its ranges and rejections; every class of every type at both ends of what it
// covers (the ends included, as the standards state them), just beyond them, and its value
// there, from IEC 60584-1 and IEC 60751:2008.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

#include "core/exact_inverse.h"
#include "core/sensors.h"
#include "core/tolerances.h"

namespace its90 {
namespace {

TEST(ExactInverse, GivesTheTemperatureToNineDecimals) {
    struct Case {
        Thermocouple type;
        double temperature;  // with 9 decimals, so the result must come back digit for digit
    };
    const Case cases[] = {
        {Thermocouple::K, 100.123456789}, {Thermocouple::K, -250.000000001},
        {Thermocouple::S, 1768.1},        {Thermocouple::R, 1768.1},
        {Thermocouple::S, -50},           {Thermocouple::B, 1234.567891234},
        {Thermocouple::N, 0.000000001},   {Thermocouple::J, 1199.999999999},
        {Thermocouple::E, -123.456789012}, {Thermocouple::T, 399.987654321},
    };
    for (const Case& c : cases) {
        const Outcome<double> t = exact_temperature(c.type, emf_unrounded(c.type, c.temperature).value());
        ASSERT_TRUE(t.ok()) << letter(c.type) << " " << c.temperature;
        EXPECT_EQ(*t, c.temperature) << letter(c.type);
    }
    EXPECT_EQ(*exact_pt100_temperature(138.5055), 100.0);
    EXPECT_EQ(*exact_pt100_temperature(100), 0.0);  // not -1.4E-14
    EXPECT_EQ(*exact_pt100_temperature(R_Pt100_unrounded(-123.456789012).value()), -123.456789012);
}

TEST(ExactInverse, RangesAndRejections) {
    // Its EMFs run from the function's lowest to its highest published temperature.
    for (Thermocouple type : kAllThermocouples) {
        const Range emfs = exact_emf_range(type);
        const Range t = record_of(type).emf.range();
        EXPECT_EQ(*exact_temperature(type, emfs.highest), t.highest) << letter(type);
        const Outcome<double> above = exact_temperature(type, emfs.highest + 1e-6);
        ASSERT_FALSE(above.ok()) << letter(type);
        EXPECT_EQ(above.rejection(), Rejection::out_of_range(Quantity::Emf, emfs.lowest, emfs.highest));
        if (type != Thermocouple::B) {
            EXPECT_EQ(*exact_temperature(type, emfs.lowest), t.lowest);
        }
    }
    EXPECT_EQ(exact_emf_range(Thermocouple::S).highest, emf_unrounded(Thermocouple::S, 1768.1).value());
    // Type B from its dip to 0 mV: two temperatures, between 0 and 42.13 degC.
    for (double emf : {0.0, -0.001, exact_emf_range(Thermocouple::B).lowest}) {
        const Outcome<double> t = exact_temperature(Thermocouple::B, emf);
        ASSERT_FALSE(t.ok()) << emf;
        EXPECT_EQ(t.rejection().cause, Rejection::Cause::TwoTemperatures);
        EXPECT_EQ(t.rejection().highest, 42.13);
    }
    const Outcome<double> below = exact_pt100_temperature(18.52);
    ASSERT_FALSE(below.ok());
    EXPECT_EQ(below.rejection().quantity, Quantity::Resistance);
    EXPECT_EQ(below.rejection().lowest, R_Pt100_unrounded(-200).value());
}

struct ClassCase {
    std::optional<Thermocouple> type;  // nothing: the Pt100
    const char* name;
    double lowest, highest;           // what the class covers, both included
    double at_lowest, at_highest;     // its tolerance there, degC
};

const ClassCase kClassCases[] = {
    {Thermocouple::K, "1", -40, 1000, 1.5, 4.0},   {Thermocouple::K, "2", -40, 1200, 2.5, 9.0},
    {Thermocouple::K, "3", -200, 40, 3.0, 2.5},    {Thermocouple::N, "1", -40, 1000, 1.5, 4.0},
    {Thermocouple::N, "2", -40, 1200, 2.5, 9.0},   {Thermocouple::N, "3", -200, 40, 3.0, 2.5},
    {Thermocouple::J, "1", -40, 750, 1.5, 3.0},    {Thermocouple::J, "2", -40, 750, 2.5, 5.625},
    {Thermocouple::E, "1", -40, 800, 1.5, 3.2},    {Thermocouple::E, "2", -40, 900, 2.5, 6.75},
    {Thermocouple::E, "3", -200, 40, 3.0, 2.5},    {Thermocouple::T, "1", -40, 350, 0.5, 1.4},
    {Thermocouple::T, "2", -40, 350, 1.0, 2.625},  {Thermocouple::T, "3", -200, 40, 3.0, 1.0},
    {Thermocouple::S, "1", 0, 1600, 1.0, 2.5},     {Thermocouple::S, "2", 0, 1600, 1.5, 4.0},
    {Thermocouple::R, "1", 0, 1600, 1.0, 2.5},     {Thermocouple::R, "2", 0, 1600, 1.5, 4.0},
    {Thermocouple::B, "2", 600, 1700, 1.5, 4.25},  {Thermocouple::B, "3", 600, 1700, 4.0, 8.5},
    {std::nullopt, "AA", -50, 250, 0.185, 0.525},  {std::nullopt, "A", -100, 450, 0.35, 1.05},
    {std::nullopt, "B", -196, 600, 1.28, 3.3},     {std::nullopt, "C", -196, 600, 2.56, 6.6},
};

const ToleranceClass& class_named(std::optional<Thermocouple> type, const char* name) {
    for (const ToleranceClass& c : type ? tolerance_classes(*type) : pt100_tolerance_classes()) {
        if (std::string(c.name) == name) return c;
    }
    throw std::logic_error(name);
}

TEST(ToleranceClasses, EveryClassAtAndJustBeyondItsEnds) {
    for (const ClassCase& c : kClassCases) {
        const std::string what = (c.type ? std::string(1, letter(*c.type)) : "Pt100") + " class " + c.name;
        const ToleranceClass& k = class_named(c.type, c.name);
        ASSERT_TRUE(k.at(c.lowest)) << what;
        ASSERT_TRUE(k.at(c.highest)) << what;
        EXPECT_DOUBLE_EQ(*k.at(c.lowest), c.at_lowest) << what;
        EXPECT_DOUBLE_EQ(*k.at(c.highest), c.at_highest) << what;
        EXPECT_FALSE(k.at(std::nextafter(c.lowest, -1e9))) << what;
        EXPECT_FALSE(k.at(std::nextafter(c.highest, 1e9))) << what;
        // A deviation equal to the tolerance meets the class at either end.
        for (double t : {c.lowest, c.highest}) {
            const auto classes = c.type ? tolerance_classes(*c.type) : pt100_tolerance_classes();
            const ToleranceClass* met = tightest_class(classes, t, *k.at(t));
            ASSERT_NE(met, nullptr) << what << " at " << t;
            EXPECT_LE(*met->at(t), *k.at(t)) << what;
        }
    }
}

TEST(ToleranceClasses, ClassesATypeDoesNotHaveCoverNothing) {
    for (auto [type, name] : {std::pair{Thermocouple::J, "3"}, {Thermocouple::S, "3"},
                              {Thermocouple::R, "3"}, {Thermocouple::B, "1"}}) {
        const ToleranceClass& k = class_named(type, name);
        for (double t : {-200.0, 0.0, 700.0, 1600.0}) EXPECT_FALSE(k.at(t)) << letter(type) << name;
    }
    // The noble-metal class 1 bends at 1100 degC; type B's class 3 at 800 degC.
    EXPECT_DOUBLE_EQ(*class_named(Thermocouple::S, "1").at(1100), 1.0);
    EXPECT_DOUBLE_EQ(*class_named(Thermocouple::S, "1").at(1200), 1.3);
    EXPECT_DOUBLE_EQ(*class_named(Thermocouple::B, "3").at(800), 4.0);
    EXPECT_DOUBLE_EQ(*class_named(Thermocouple::B, "3").at(1000), 5.0);
    EXPECT_EQ(tightest_class(tolerance_classes(Thermocouple::K), 100, 2.6), nullptr);
    EXPECT_STREQ(tightest_class(tolerance_classes(Thermocouple::K), 100, -2.5)->name, "2");
}

}  // namespace
}  // namespace its90
