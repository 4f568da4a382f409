#pragma once
#include "profiles/profile_record.h"
#include "core/shared_state.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace profiles {

// The Celsius working copies of the three temperatures, input of the profile curve.
struct SetPoints {
    std::int16_t X1SetPointC = 0;
    std::int16_t X2SetPointC = 0;
    std::int16_t X3SetPointC = 0;
    friend bool operator==(const SetPoints&, const SetPoints&) = default;
};

// The outcome of a temperature check: a failure to show, or the refreshed working copies,
// or neither (a box was empty: nothing changes and nothing is said).
struct SetPointCheck {
    std::optional<Verdict> failure;
    std::optional<SetPoints> setPoints;
};

// Field checks. Each judges one box as the operator left it and returns the first failure
// (titled "Data Error", naming the box to put the focus in) or nothing.

// Digits only: "Invalid character in Xn Value". n is 1, 2 or 3.
std::optional<Verdict> checkTemperatureCharacters(int n, const QString& text);
// X1 at least 30 in Celsius display, at least 86 in Fahrenheit display.
std::optional<Verdict> checkX1LowerBound(const QString& text, DisplayUnit unit);
// The three temperatures together: ranges, then order; on success the working copies.
SetPointCheck CheckSetPoints(const ProfileRecord& record, DisplayUnit unit);
// One temperature box on its own: characters, then its range (X1 both bounds, X2 and X3
// the upper one). An empty box passes.
std::optional<Verdict> checkOwnTemperature(int n, const QString& text, DisplayUnit unit);
// What a temperature box runs when it loses the focus for a box outside the three
// temperatures: its own check, then CheckSetPoints. An empty box is left alone.
SetPointCheck checkTemperatureBox(int n, const ProfileRecord& record, DisplayUnit unit);
// Length and characters of a message box (Text2, Text4, Text6).
std::optional<Verdict> checkMessage(int n, const QString& text);
// Length and characters of the name box (Text7).
std::optional<Verdict> checkName(const QString& text);

// The working copies of boxes that hold whole numbers in range (as after a successful
// CheckSetPoints or a file read): Celsius display the value, Fahrenheit display its
// ToCelsius. Nothing when a value does not convert.
std::optional<SetPoints> setPointsOf(const ProfileRecord& record, DisplayUnit unit);
void storeSetPoints(core::SharedState& state, const SetPoints& points);

}  // namespace profiles
