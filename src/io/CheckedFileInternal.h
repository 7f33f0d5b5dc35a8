#pragma once

// The steps of the checked write that the writing of a set of files shares with it.

#include <QByteArray>
#include <QString>

#include <sys/stat.h>

namespace CheckedFileInternal {

QString reason(int code);
void fail(QString *error, const QString &what, const QString &path, int code);
bool writeAll(int fd, const QByteArray &bytes);
bool syncFd(int fd);
bool closeFd(int fd);
void syncFolder(const QByteArray &folder);
mode_t newFileMode();
QByteArray folderOf(const QByteArray &path);
QByteArray baseOf(const QByteArray &path);
QByteArray finalTarget(const QByteArray &path);
bool takeIdentity(int fd, const QByteArray &target, const struct stat &was);
QString kindOf(mode_t mode);
// What the target is: missing (true, *exists false), a regular file that may be replaced (true),
// or something that must not be written (false with the reason).
bool inspect(const QString &path, const QByteArray &target, struct stat *st, bool *exists, QString *error);

} // namespace CheckedFileInternal
