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
#include <algorithm>
#include <cmath>

namespace {
constexpr int kAttesaBusMs = 1000;
constexpr int kAttesaSuonoMs = 500;
QDBusConnection bus() { return QDBusConnection::sessionBus(); }

// The same page's title, one perhaps followed by more after " - " (a
// window adds the browser's name, a tab the site's).
bool stessoTitolo(const QString& a, const QString& b)
{
    return !a.isEmpty() && !b.isEmpty()
           && (a == b || a.startsWith(b + QLatin1String(" - ")) || b.startsWith(a + QLatin1String(" - ")));
}
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

void ControlloBrowserLinux::segnaAttive(QList<SchedaBrowser>& schede, const QStringList& titoliFinestre,
                                        const QString& titoloPlayer)
{
    QList<bool> spiegata(titoliFinestre.size(), false);
    QList<SchedaBrowser*> senzaTitolo, attiveSenzaTitolo;
    for (SchedaBrowser& s : schede) {
        if (s.titolo.isEmpty()) {
            senzaTitolo << &s;
            if (s.attiva)
                attiveSenzaTitolo << &s;
            continue;
        }
        if (titoliFinestre.isEmpty())
            continue;
        s.attiva = false;
        for (qsizetype i = 0; i < titoliFinestre.size(); ++i)
            if (titoliFinestre.at(i) == s.titolo || titoliFinestre.at(i).startsWith(s.titolo + QLatin1String(" - ")))
                s.attiva = spiegata[i] = true;
    }
    QStringList libere;
    for (qsizetype i = 0; i < titoliFinestre.size(); ++i)
        if (!spiegata.at(i)) {
            const QString& t = titoliFinestre.at(i);
            const qsizetype marca = t.lastIndexOf(QLatin1String(" - "));
            libere << (marca > 0 ? t.left(marca) : t);
        }
    auto nomina = [&](SchedaBrowser* s, const QString& titolo) {
        s->titolo = titolo;
        senzaTitolo.removeOne(s);
    };
    if (attiveSenzaTitolo.size() == 1) {
        const auto mostra = std::find_if(libere.cbegin(), libere.cend(),
                                         [&](const QString& t) { return stessoTitolo(t, titoloPlayer); });
        if (libere.size() == 1)
            nomina(attiveSenzaTitolo.first(), libere.first());
        else if (mostra != libere.cend())
            nomina(attiveSenzaTitolo.first(), *mostra);
    }
    const bool suonaNominata = std::any_of(schede.cbegin(), schede.cend(),
                                           [&](const SchedaBrowser& s) { return stessoTitolo(s.titolo, titoloPlayer); });
    if (!titoloPlayer.isEmpty() && !suonaNominata && senzaTitolo.size() == 1)
        nomina(senzaTitolo.first(), titoloPlayer);
}

QList<SchedaBrowser> ControlloBrowserLinux::schede(const IstanzaBrowser& b)
{
    QList<SchedaBrowser> r;
    // A player that names its address is the one tab known for sure.
    const auto m = media(b);
    if (m && (m->url.startsWith(QLatin1String("http://")) || m->url.startsWith(QLatin1String("https://"))))
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
    segnaAttive(r, titoli, m ? m->titolo : QString());
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
