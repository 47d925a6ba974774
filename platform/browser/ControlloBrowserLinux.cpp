#include "ControlloBrowserLinux.h"

#include "ClientMpris.h"
#include "DesktopEntries.h"
#include "Processi.h"
#include "SessioneChromium.h"
#include "SuonoPulse.h"
#include "X11Client.h"

#include <QDBusConnection>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <cmath>

namespace {
constexpr int kAttesaBusMs = 1000;
constexpr int kAttesaSuonoMs = 500;
QDBusConnection bus() { return QDBusConnection::sessionBus(); }
} // namespace

ControlloBrowserLinux::ControlloBrowserLinux(const DesktopEntries& applicazioni) : applicazioni_(applicazioni) {}

ControlloBrowserLinux::~ControlloBrowserLinux() = default;

X11Client& ControlloBrowserLinux::x11()
{
    std::call_once(x11Aperto_, [this] { x11_ = std::make_unique<X11Client>(); });
    return *x11_;
}

QString ControlloBrowserLinux::nomeBus(const IstanzaBrowser& b)
{
    return ClientMpris::perPid(bus(), b.pid, kAttesaBusMs);
}

PermessoAutomazione ControlloBrowserLinux::permesso(const IstanzaBrowser&, bool)
{
    return PermessoAutomazione::concesso;
}

std::optional<MediaBrowser> ControlloBrowserLinux::media(const IstanzaBrowser& b)
{
    const QString nome = nomeBus(b);
    if (nome.isEmpty())
        return std::nullopt;
    const auto s = ClientMpris::leggi(bus(), nome, kAttesaBusMs);
    if (!s)
        return std::nullopt;
    return MediaBrowser{s->titolo, s->url, s->posizioneUs / 1.0e6, s->inRiproduzione()};
}

void ControlloBrowserLinux::segnaAttive(QList<SchedaBrowser>& schede, const QStringList& titoliFinestre)
{
    if (titoliFinestre.isEmpty())
        return;
    for (SchedaBrowser& s : schede) {
        s.attiva = false;
        if (s.titolo.isEmpty())
            continue;
        for (const QString& t : titoliFinestre)
            if (t == s.titolo || t.startsWith(s.titolo + QLatin1String(" - ")))
                s.attiva = true;
    }
}

QList<SchedaBrowser> ControlloBrowserLinux::schede(const IstanzaBrowser& b)
{
    QList<SchedaBrowser> r;
    // A player that names its address is the one tab known for sure.
    if (const auto m = media(b); m && (m->url.startsWith(QLatin1String("http://")) || m->url.startsWith(QLatin1String("https://"))))
        r << SchedaBrowser{1, 1, false, m->url, m->titolo};
    if (!b.cartellaDati.isEmpty()) {
        auto [dati, profilo] = SessioneChromium::cartelleDaArgomenti(Processi::argomenti(b.pid));
        if (dati.isEmpty())
            dati = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)).filePath(b.cartellaDati);
        if (auto sessione = SessioneChromium::leggi(SessioneChromium::fileCorrente(dati, profilo)))
            for (const SchedaBrowser& s : *sessione)
                if (r.isEmpty() || s.url != r.first().url)
                    r << s;
    }
    QStringList titoli;
    for (const FinestraX11& f : x11().finestre(b.pid))
        if (!f.nome.isEmpty())
            titoli << f.nome;
    segnaAttive(r, titoli);
    return r;
}

bool ControlloBrowserLinux::pausa(const IstanzaBrowser& b)
{
    const QString nome = nomeBus(b);
    return !nome.isEmpty() && ClientMpris::invia(bus(), nome, ClientMpris::Comando::pausa, kAttesaBusMs);
}

bool ControlloBrowserLinux::riproduci(const IstanzaBrowser& b)
{
    const QString nome = nomeBus(b);
    return !nome.isEmpty() && ClientMpris::invia(bus(), nome, ClientMpris::Comando::riproduci, kAttesaBusMs);
}

bool ControlloBrowserLinux::posiziona(const IstanzaBrowser& b, double secondi)
{
    if (!std::isfinite(secondi) || secondi < 0)
        return false;
    const QString nome = nomeBus(b);
    return !nome.isEmpty() && ClientMpris::posiziona(bus(), nome, secondi, kAttesaBusMs);
}

SuonoBrowser ControlloBrowserLinux::suona(const IstanzaBrowser& b)
{
    const auto m = media(b);
    const auto flussi = SuonoPulse::flussi(kAttesaSuonoMs);
    const auto r = SuonoPulse::suona(flussi, m && m->inRiproduzione,
                                     [&b](qint64 pid) { return Processi::discendeDa(pid, b.pid); });
    return !r ? SuonoBrowser::nonSo : *r ? SuonoBrowser::si : SuonoBrowser::no;
}

bool ControlloBrowserLinux::portaDavanti(const IstanzaBrowser& b)
{
    const QList<FinestraX11> finestre = x11().finestre(b.pid);
    return !finestre.isEmpty() && x11().attiva(finestre.first().id);
}

bool ControlloBrowserLinux::apri(const IstanzaBrowser& b, const QUrl& url)
{
    const QString indirizzo = url.toString(QUrl::FullyEncoded);
    if (!url.isValid() || (url.scheme() != QLatin1String("https") && url.scheme() != QLatin1String("http")))
        return false;
    // The browser's own command, which hands the address to the running copy; no shell in between.
    if (const auto voce = applicazioni_.perId(b.desktopId)) {
        const QStringList comando = DesktopEntries::comandoPerUrl(*voce, indirizzo);
        if (!comando.isEmpty() && QProcess::startDetached(comando.first(), comando.mid(1)))
            return true;
    }
    return QProcess::startDetached(QStringLiteral("xdg-open"), {indirizzo});
}

QString ControlloBrowserLinux::nome(const QString& desktopId) const
{
    const auto voce = applicazioni_.perId(desktopId);
    return voce && !voce->nome.isEmpty() ? voce->nome : desktopId;
}
