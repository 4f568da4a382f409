#include "platform/program_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform {

QString installedShareFolder(const QString& programFolder) {
    return QDir::cleanPath(QDir(programFolder).filePath("../share/kr9300"));
}

bool isInstalledProgramFolder(const QString& programFolder) {
    return QFileInfo(installedShareFolder(programFolder)).isDir();
}

bool programFolderWritable(const QString& programFolder) {
    const QFileInfo folder(programFolder);
    return !isInstalledProgramFolder(programFolder) && folder.isDir() && folder.isWritable();
}

QString picturePath(const QString& programFolder, const QString& fileName) {
    const QString own = QDir(programFolder).filePath(fileName);
    if (QFileInfo::exists(own)) return own;
    const QString shared = QDir(installedShareFolder(programFolder)).filePath(fileName);
    return QFileInfo::exists(shared) ? shared : own;
}

QString documentsFolder(const QString& programFolder) {
    if (programFolderWritable(programFolder)) return programFolder;
    const QString profiles =
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath("Profiles");
    QDir().mkpath(profiles);
    return profiles;
}

}  // namespace platform
