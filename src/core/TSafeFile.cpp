// SPDX-License-Identifier: GPL-3.0-or-later
#include "TSafeFile.h"

#include "TErrors.h"
#include "TFileErrorText.h"

#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void Fail(const QString& path, int error) {
    throw EFileError(QCoreApplication::translate("TSafeFile", "Не удалось сохранить файл «%1»: %2")
                         .arg(path, TFileErrorText::Of(error)));
}

bool WriteFile(const QString& path, const QByteArray& data, int& error);

bool WriteAll(int fd, const char* data, qint64 size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, std::size_t(std::min<qint64>(size, 1 << 20)));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

} // namespace

void TSafeFile::Write(const QString& path, const QByteArray& data) {
    int error = 0;
    if (!WriteFile(path, data, error))
        Fail(path, error);
}

bool TSafeFile::TryWrite(const QString& path, const QByteArray& data, QString* reason) {
    int error = 0;
    if (WriteFile(path, data, error))
        return true;
    if (reason != nullptr)
        *reason = TFileErrorText::Of(error);
    return false;
}

namespace {

// The file a path names through any chain of symbolic links (relative ones are taken from the
// folder of the link); a dangling link names the file it would point to. False with ELOOP for a
// chain that does not end.
bool ResolveLinks(QByteArray& name, int& error) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(name.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return true;
        QByteArray target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(name.constData(), target.data(), std::size_t(target.size()));
        if (n < 0) {
            error = errno;
            return false;
        }
        target.truncate(n);
        if (!target.startsWith('/'))
            target.prepend(name.left(name.lastIndexOf('/') + 1));
        name = target;
    }
    error = ELOOP;
    return false;
}

bool WriteFile(const QString& path, const QByteArray& data, int& error) {
    // Links are followed, so the file they point to is replaced and every link stays a link.
    QByteArray targetName = QFile::encodeName(path);
    if (!ResolveLinks(targetName, error))
        return false;

    int fd = -1;
    QByteArray tempName;
    for (int attempt = 0; fd < 0; ++attempt) {
        tempName =
            targetName + ".tmp-" + QByteArray::number(QRandomGenerator::global()->generate(), 16);
        fd = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && (errno != EEXIST || attempt > 16)) {
            error = errno;
            return false;
        }
    }
    struct stat old {};
    if (::stat(targetName.constData(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777); // keep the permissions the file had
    error = 0;
    if (!WriteAll(fd, data.constData(), data.size()) || ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(tempName.constData(), targetName.constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(tempName.constData());
        return false;
    }
    return true;
}

} // namespace
