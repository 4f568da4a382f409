#pragma once
#include "profiles/profile_record.h"

#include <QByteArray>
#include <QStringList>

namespace profilesamples {

// The lines of a complete profile file, without their line ends.
inline QStringList exampleLines() {
    return {"[ZENTProfile]",          "ProfileName=LEADED BGA", "X1PointTemperature=150", "X2PointTemperature=183",
            "X3PointTemperature=225", "X1LHMode=8",             "X2LHMode=10",            "X3LHMode=10",
            "X1UHMode=1",             "X2UHMode=2",             "X3UHMode=3",             "X1PointMessage=PREHEAT",
            "X2PointMessage=SOAK",    "X3PointMessage=REFLOW",  "0-0-1-1-0-0"};
}

inline QByteArray joined(const QStringList& lines, const char* end = "\r\n") {
    QByteArray data;
    for (const QString& l : lines) data += l.toLatin1() + end;
    return data;
}

// The record the example file holds, shown in Celsius.
inline profiles::ProfileRecord exampleRecord() {
    profiles::ProfileRecord r;
    r.ProfileName = "LEADED BGA";
    r.X1 = {"150", "PREHEAT", 1, 0, false, 1};
    r.X2 = {"183", "SOAK", 2, 1, false, 0};
    r.X3 = {"225", "REFLOW", 2, 2, true, 0};
    return r;
}

}  // namespace profilesamples
