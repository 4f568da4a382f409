#pragma once
#include <QString>

namespace platform {

// Where the program finds its own files and keeps the operator's. The program folder is the
// executable's. Installed from the package, the executable sits in bin/ with its pictures
// in share/kr9300/ beside it; such a program folder belongs to the system and is never
// written, not even when the program runs as root.

// <program folder>/../share/kr9300
QString installedShareFolder(const QString& programFolder);
// True when the program runs from an installed layout (its share folder exists).
bool isInstalledProgramFolder(const QString& programFolder);
// True when files may be written in the program folder: not installed, and writable.
bool programFolderWritable(const QString& programFolder);
// A picture of the program: from the program folder when it is there, else from the
// installed share folder; the program folder's path when it is in neither.
QString picturePath(const QString& programFolder, const QString& fileName);
// Where the file dialogs start: the program folder when it can be written, else a folder
// "Profiles" in the per-user data folder (made when missing).
QString documentsFolder(const QString& programFolder);

}  // namespace platform
