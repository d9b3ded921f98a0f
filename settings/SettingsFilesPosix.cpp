#include "settings/SettingsFiles.h"

#include <sys/stat.h>

#include <QFile>

#include "paths/ConfigPaths.h"

namespace {

// Whether path names something that is not a regular file. A path that cannot be examined
// (no search permission, a link loop) cannot be opened either: QSettings fails on it by
// itself, without blocking, and reports that failure.
bool NamesSomethingElse(const QString& path, bool followLinks) {
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    const int result = followLinks ? stat(name.constData(), &info) : lstat(name.constData(), &info);
    return result == 0 && !S_ISREG(info.st_mode);
}

}  // namespace

QString SettingsStorePath(const QString& registryKey, const QString& profileName) {
    const QString configHome = QFile::decodeName(QByteArray::fromStdString(ConfigHomeFolder()));
    return configHome + u'/' + registryKey + u'/' + profileName + QStringLiteral(".conf");
}

bool IsOpenableSettingsFile(const QString& path) {
    return !NamesSomethingElse(path, /*followLinks=*/true);
}

bool IsUsableLockFile(const QString& path) {
    // QLockFile makes no links, so a link here is none of its locks, and one that leads
    // nowhere would never go stale.
    return !NamesSomethingElse(path, /*followLinks=*/false);
}
