#include "RegistrazioneSchermo.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QThread>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

RegistrazioneSchermo::RegistrazioneSchermo(QRect area, int fps) : area_(area), fps_(fps)
{
    static int n = 0;
    const QString base = QStringLiteral("/dev/shm/halvora-registrazione-%1-%2").arg(getpid()).arg(++n);
    file_ = base + QStringLiteral(".raw");
    registro_ = base + QStringLiteral(".log");
}

RegistrazioneSchermo::~RegistrazioneSchermo()
{
    if (ffmpeg_.state() != QProcess::NotRunning) {
        ffmpeg_.kill();
        ffmpeg_.waitForFinished(2000);
    }
    libera();
    QFile::remove(file_);
    QFile::remove(registro_);
}

void RegistrazioneSchermo::libera()
{
    if (mappa_)
        munmap(mappa_, size_t(lunghezza_));
    mappa_ = nullptr;
    lunghezza_ = 0;
    tempi_.clear();
}

bool RegistrazioneSchermo::avvia()
{
    libera();
    QFile::remove(file_);
    // Frames kept as grabbed, none dropped or doubled to fit a rate, each
    // with the wall-clock time x11grab took it at.
    const QString sorgente = QStringLiteral("%1+%2,%3").arg(qEnvironmentVariable("DISPLAY")).arg(area_.x()).arg(area_.y());
    ffmpeg_.setStandardErrorFile(registro_);
    ffmpeg_.start(QStringLiteral("ffmpeg"),
                  {QStringLiteral("-hide_banner"), QStringLiteral("-nostats"), QStringLiteral("-copyts"),
                   QStringLiteral("-f"), QStringLiteral("x11grab"), QStringLiteral("-framerate"), QString::number(fps_),
                   QStringLiteral("-video_size"), QStringLiteral("%1x%2").arg(area_.width()).arg(area_.height()),
                   QStringLiteral("-draw_mouse"), QStringLiteral("0"), QStringLiteral("-i"), sorgente,
                   QStringLiteral("-vf"), QStringLiteral("showinfo=checksum=0"), QStringLiteral("-fps_mode"),
                   QStringLiteral("passthrough"), QStringLiteral("-f"), QStringLiteral("rawvideo"),
                   QStringLiteral("-pix_fmt"), QStringLiteral("bgr0"), QStringLiteral("-y"), file_});
    if (!ffmpeg_.waitForStarted(5000))
        return false;
    // Running once the first frame has been written.
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 10000) {
        struct stat s {};
        if (::stat(file_.toLocal8Bit().constData(), &s) == 0 && s.st_size >= qint64(passo()) * altezza())
            return true;
        if (ffmpeg_.state() == QProcess::NotRunning)
            return false;
        QThread::msleep(5);
    }
    return false;
}

bool RegistrazioneSchermo::ferma()
{
    ffmpeg_.write("q");
    ffmpeg_.closeWriteChannel();
    if (!ffmpeg_.waitForFinished(10000)) {
        ffmpeg_.kill();
        ffmpeg_.waitForFinished(2000);
    }
    QFile registro(registro_);
    if (!registro.open(QIODevice::ReadOnly))
        return false;
    static const QRegularExpression riga(QStringLiteral("\\bn:\\s*(\\d+)\\s+pts:\\s*(\\d+)"));
    for (const QByteArray& r : registro.readAll().split('\n')) {
        const auto m = riga.match(QString::fromLatin1(r));
        if (m.hasMatch() && m.captured(1).toInt() == tempi_.size())
            tempi_ << m.captured(2).toLongLong();
    }
    const int fd = ::open(file_.toLocal8Bit().constData(), O_RDONLY);
    if (fd < 0)
        return false;
    struct stat s {};
    fstat(fd, &s);
    lunghezza_ = s.st_size;
    const qsizetype fotogrammi = lunghezza_ / (qsizetype(passo()) * altezza());
    if (fotogrammi < tempi_.size())
        tempi_.resize(fotogrammi);
    if (lunghezza_ > 0) {
        void* m = mmap(nullptr, size_t(lunghezza_), PROT_READ, MAP_PRIVATE, fd, 0);
        mappa_ = m == MAP_FAILED ? nullptr : static_cast<uchar*>(m);
    }
    ::close(fd);
    if (!mappa_)
        tempi_.clear();
    return !tempi_.isEmpty();
}

const uchar* RegistrazioneSchermo::fotogramma(int i) const
{
    return mappa_ + qsizetype(i) * passo() * altezza();
}
