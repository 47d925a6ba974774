// halvora-nowplaying: asks the session bus for the current MPRIS player
// every interval and writes what it plays to standard error as marked
// blocks, for a bounded number of looks; then it ends and is started again.
#include "BloccoNowPlaying.h"
#include "DesktopEntries.h"
#include "Processi.h"
#include "X11Client.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QStringList>
#include <chrono>
#include <cstdio>
#include <thread>
#include <unistd.h>

namespace {
constexpr int kAttesaMs = 400; // one slow player must not stall the next look

// The desktop id of a player's process, found as the front application's
// is (its window's WM_CLASS, then its executable): every Chromium-family
// browser calls its player "chromium", whatever the brand.
class IdentitaPlayer {
public:
    QString desktop(const StatoMpris& s)
    {
        if (s.pid == 0)
            return s.desktop;
        const QString eseguibile = Processi::eseguibile(s.pid);
        const QString chiave = QString::number(s.pid) + QLatin1Char('|') + eseguibile;
        if (auto it = noti_.constFind(chiave); it != noti_.constEnd())
            return *it;
        const QString nomeEseguibile = QFileInfo(eseguibile).fileName();
        const QList<FinestraX11> finestre = x11_.finestre(s.pid);
        std::optional<DesktopEntry> voce;
        for (const FinestraX11& f : finestre)
            if ((voce = voci_.perFinestra(f.istanza, f.classe, nomeEseguibile)))
                break;
        if (!voce && !nomeEseguibile.isEmpty())
            voce = voci_.perFinestra({}, {}, nomeEseguibile);
        if (!voce)
            return s.desktop; // perhaps no window yet: asked again next time
        noti_.insert(chiave, voce->id);
        return voce->id;
    }

private:
    DesktopEntries voci_ = DesktopEntries::daSistema();
    X11Client x11_;
    QHash<QString, QString> noti_;
};
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    auto valore = [&](const QString& nome, const QString& predefinito) {
        const int i = a.indexOf(nome);
        return i >= 0 && i + 1 < a.size() ? a.at(i + 1) : predefinito;
    };
    bool letto = false;
    double intervallo = valore(QStringLiteral("--intervallo"), QStringLiteral("1.5")).toDouble(&letto);
    if (!letto || !(intervallo >= 0.1) || intervallo > 3600)
        intervallo = 1.5;
    int iterazioni = valore(QStringLiteral("--iterazioni"), QStringLiteral("2400")).toInt(&letto);
    if (!letto || iterazioni <= 0)
        iterazioni = 2400;
    const uint genitore = uint(getppid());

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::fputs("MPRIS non disponibile\n", stderr);
        return 1;
    }
    // "--escludi-figli": the reader's other children (its own video player) are its own too.
    SceltaPlayer scelta(valore(QStringLiteral("--escludi"), QString()), genitore,
                        a.contains(QStringLiteral("--escludi-figli")));
    IdentitaPlayer identita;
    for (int i = 0; i < iterazioni; ++i) {
        // The reader is gone: nobody wants the blocks any more.
        if (uint(getppid()) != genitore)
            return 0;
        QList<StatoMpris> stati;
        for (const QString& nome : ClientMpris::player(bus, kAttesaMs))
            if (auto s = ClientMpris::leggi(bus, nome, kAttesaMs)) {
                s->desktop = identita.desktop(*s);
                stati << *s;
            }
        const QByteArray b = BloccoNowPlaying::blocco(scelta.osserva(stati), QDateTime::currentDateTimeUtc()).toUtf8();
        if (std::fwrite(b.constData(), 1, size_t(b.size()), stderr) != size_t(b.size()) || std::fflush(stderr) != 0)
            return 0;
        std::this_thread::sleep_for(std::chrono::duration<double>(intervallo));
    }
    return 0;
}
