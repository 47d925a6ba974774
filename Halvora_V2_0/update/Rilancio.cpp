#include "Rilancio.h"

#include "InfoBundle.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

struct Rilancio::Tentativo {
    std::function<void(bool)> reazione;
    qint64 pid = 0;
    bool finito = false;
    TimerHandle sonda;
    TimerHandle scadenza;
};

Rilancio::Rilancio(Dipendenze d, QObject* parent) : QObject(parent), d_(std::move(d)) {}

Rilancio::~Rilancio() = default;

void Rilancio::relaunchFrom(const QString& bundle, std::function<void(bool)> reazione)
{
    tentativi_.push_back(std::make_unique<Tentativo>());
    Tentativo& t = *tentativi_.back();
    t.reazione = std::move(reazione);
    const auto info = InfoBundle::daBundle(bundle);
    const QString programma = QDir(bundle).filePath(info ? info->eseguibile : QStringLiteral("halvora"));
    if (d_.rilascia)
        d_.rilascia();
    if (!QProcess::startDetached(programma, {}, QString(), &t.pid)) {
        QMetaObject::invokeMethod(this, [this, &t] { finisci(t, false); }, Qt::QueuedConnection);
        return;
    }
    t.sonda = d_.clock.singleShot(kIntervallo, [this, &t] { sonda(t, 0); });
    t.scadenza = d_.clock.singleShot(kLimite, [this, &t] { finisci(t, false); });
}

void Rilancio::sonda(Tentativo& t, int contatore)
{
    const int tentativo = contatore + 1;
    if (t.finito)
        return;
    // Only the process just started counts: a copy that listened before, or
    // any other, is not the new instance.
    if (pidInAscolto(d_.socketIstanza) == t.pid) {
        finisci(t, true);
        return;
    }
    if (tentativo * kIntervallo < kLimite)
        t.sonda = d_.clock.singleShot(kIntervallo, [this, &t, tentativo] { sonda(t, tentativo); });
}

void Rilancio::finisci(Tentativo& t, bool riuscito)
{
    if (t.finito)
        return;
    t.finito = true;
    t.sonda.cancel();
    t.scadenza.cancel();
    if (!riuscito && d_.riprendi)
        d_.riprendi();
    if (t.reazione)
        t.reazione(riuscito);
    if (riuscito && d_.esci)
        d_.esci();
}

std::optional<qint64> Rilancio::pidInAscolto(const QString& socket)
{
    const QByteArray percorso = QFile::encodeName(socket);
    sockaddr_un indirizzo{};
    indirizzo.sun_family = AF_UNIX;
    if (percorso.isEmpty() || percorso.size() >= static_cast<qsizetype>(sizeof indirizzo.sun_path))
        return std::nullopt;
    std::memcpy(indirizzo.sun_path, percorso.constData(), percorso.size());
    const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (s < 0)
        return std::nullopt;
    std::optional<qint64> pid;
    ucred pari{};
    socklen_t l = sizeof pari;
    // A Unix socket connects at once or not at all, so this never waits.
    if (::connect(s, reinterpret_cast<const sockaddr*>(&indirizzo), sizeof indirizzo) == 0 &&
        ::getsockopt(s, SOL_SOCKET, SO_PEERCRED, &pari, &l) == 0 && pari.pid > 0)
        pid = pari.pid;
    ::close(s);
    return pid;
}
