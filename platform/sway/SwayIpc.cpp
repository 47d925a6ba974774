#include "SwayIpc.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalSocket>

#include <cstring>

namespace {
constexpr char kMagia[] = {'i', '3', '-', 'i', 'p', 'c'};
constexpr qsizetype kTesta = sizeof kMagia + 8;
// A payload past this is no answer of sway's.
constexpr uint32_t kMassimo = 64u << 20;
} // namespace

QString SwayIpc::socket()
{
    const QString s = qEnvironmentVariable("SWAYSOCK");
    return !s.isEmpty() && QFileInfo(s).exists() ? s : QString();
}

QByteArray SwayIpc::messaggio(uint32_t tipo, const QByteArray& corpo)
{
    QByteArray m(kMagia, sizeof kMagia);
    const uint32_t lunghezza = uint32_t(corpo.size());
    m.append(reinterpret_cast<const char*>(&lunghezza), 4);
    m.append(reinterpret_cast<const char*>(&tipo), 4);
    return m + corpo;
}

std::optional<std::pair<uint32_t, QByteArray>> SwayIpc::estrai(QByteArray& buffer)
{
    if (buffer.size() < kTesta)
        return std::nullopt;
    uint32_t lunghezza, tipo;
    std::memcpy(&lunghezza, buffer.constData() + sizeof kMagia, 4);
    std::memcpy(&tipo, buffer.constData() + sizeof kMagia + 4, 4);
    if (!buffer.startsWith(QByteArray::fromRawData(kMagia, sizeof kMagia)) || lunghezza > kMassimo) {
        // Not sway speaking: nothing more can be read from this stream.
        buffer.clear();
        return std::nullopt;
    }
    if (buffer.size() < kTesta + qsizetype(lunghezza))
        return std::nullopt;
    std::pair<uint32_t, QByteArray> m{tipo, buffer.mid(kTesta, lunghezza)};
    buffer.remove(0, kTesta + lunghezza);
    return m;
}

std::optional<QJsonDocument> SwayIpc::chiedi(const QString& percorso, uint32_t tipo, const QByteArray& corpo, int ms)
{
    QElapsedTimer t;
    t.start();
    QLocalSocket s;
    s.connectToServer(percorso);
    if (!s.waitForConnected(ms))
        return std::nullopt;
    s.write(messaggio(tipo, corpo));
    QByteArray buffer;
    while (t.elapsed() < ms) {
        if (!s.waitForReadyRead(int(ms - t.elapsed())))
            break;
        buffer += s.readAll();
        while (auto m = estrai(buffer))
            if (m->first == tipo)
                return QJsonDocument::fromJson(m->second);
    }
    return std::nullopt;
}
