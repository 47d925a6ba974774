#include "DiscoProva.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

bool scriviFile(const char* percorso, const QByteArray& testo)
{
    QFile f(QString::fromLatin1(percorso));
    return f.open(QIODevice::WriteOnly) && f.write(testo) == testo.size();
}

} // namespace

bool DiscoProva::preparaProcesso()
{
    const uid_t uid = ::geteuid();
    const gid_t gid = ::getegid();
    if (uid == 0) {
        if (::unshare(CLONE_NEWNS) != 0)
            return false;
    } else {
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return false;
        scriviFile("/proc/self/setgroups", "deny");
        if (!scriviFile("/proc/self/uid_map", QByteArray("0 ") + QByteArray::number(uid) + " 1")
            || !scriviFile("/proc/self/gid_map", QByteArray("0 ") + QByteArray::number(gid) + " 1"))
            return false;
    }
    // Nothing mounted here reaches the rest of the system.
    return ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

DiscoProva::DiscoProva(qint64 byte)
{
    QTemporaryDir cartella;
    cartella.setAutoRemove(false);
    percorso_ = cartella.path();
    const QByteArray opzioni = "size=" + QByteArray::number(byte) + ",mode=0755";
    if (::mount("tmpfs", QFile::encodeName(percorso_).constData(), "tmpfs", 0, opzioni.constData()) != 0) {
        errore_ = QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    montato_ = true;
}

DiscoProva::~DiscoProva()
{
    if (montato_)
        ::umount2(QFile::encodeName(percorso_).constData(), MNT_DETACH);
    QDir().rmdir(percorso_);
}

void DiscoProva::riempi()
{
    const int fd = ::open(QFile::encodeName(filePath(QStringLiteral(".riempimento"))).constData(),
                          O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    const QByteArray blocco(4096, 'x');
    while (::write(fd, blocco.constData(), blocco.size()) > 0) {
    }
    // The last partial page, byte by byte.
    while (::write(fd, "x", 1) > 0) {
    }
    ::close(fd);
}

void DiscoProva::libera() { QFile::remove(filePath(QStringLiteral(".riempimento"))); }

bool DiscoProva::soloLettura(bool si)
{
    const unsigned long flag = MS_REMOUNT | (si ? MS_RDONLY : 0);
    return ::mount("tmpfs", QFile::encodeName(percorso_).constData(), "tmpfs", flag, nullptr) == 0;
}
