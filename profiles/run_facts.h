#pragma once
#include "profiles/profile_record.h"

#include <QDateTime>
#include <QString>

namespace profiles {

// What the editor tells about a run when it starts and when it ends: the profile as the
// controls held it at the start, who ran it on which board, and the record's files. The
// app hands it on to the run history.
struct RunFacts {
    ProfileRecord profile;
    std::array<int, 3> pointsC{};  // the set points in Celsius
    QDateTime started;
    QString board, operatorName, paste;
    QString csvPath;  // the run record
    QString txtPath, pngPath;  // at the end, when they were written
    bool ended = false;
};

}  // namespace profiles
