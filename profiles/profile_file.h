#pragma once
#include "profiles/profile_record.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace profiles {

// The .znt profile file: 14 or 15 CR LF lines of single-byte characters. Line 1 the
// header, lines 2 to 14 "Key=value" (name, three temperatures in Celsius, three L.H.
// codes, three U.H. codes, three messages), line 15 the fan and park flags
// ("0-0-1-1-0-0": X1 to X3 fan, then X1 to X3 park).
inline const QString kProfileHeader = "[ZENTProfile]";
inline const QString kProfileFilter = "ZENT Profiles (*.znt)|*.znt";

// The bytes of the file for a record shown in the given unit, or the first reason not to
// write it: an empty box ("Data Error"), or ("Profile Error") a text holding a character
// a line of the file cannot carry, a Fahrenheit value that has no 16-bit Celsius value,
// a heater list without a valid entry. Name, messages and Celsius temperatures are
// stored as they stand, trailing blanks included.
struct EncodedProfile {
    QByteArray bytes;
    std::optional<Verdict> refusal;
};
EncodedProfile encodeProfile(const ProfileRecord& record, DisplayUnit unit);

// The record a file holds, shown in the given unit, or the failure text of the first
// check it fails ("File is not a standard ZENT Profile", "File Corrupted 001" ...).
// The returned record has the alloy of a new profile: the file does not carry it.
struct DecodedProfile {
    std::optional<ProfileRecord> record;
    QString failure;
};
DecodedProfile decodeProfile(const QByteArray& bytes, DisplayUnit unit);

}  // namespace profiles
