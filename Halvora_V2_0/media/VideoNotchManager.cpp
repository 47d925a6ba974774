#include "VideoNotchManager.h"

#include "EsecutorePlayer.h"
#include "PlayerTacca.h"
#include "Processi.h"
#include "TabellaBrowser.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>

using namespace RegoleVideoNotch;

namespace {
// Bounds of one worker call: past them its answer is dropped.
constexpr double kAttesaApertura = 12.0;
constexpr double kAttesaProposta = 8.0;
constexpr double kAttesaComando = 4.0;
constexpr double kAttesaTempo = 1.0;

double finito(double v) { return std::isfinite(v) && v > 0 ? v : 0; }
} // namespace

// What the open worker found.
struct VideoNotchManager::Apertura {
    enum class Esito { pronta, nessunaScheda, nonYouTube, senzaPermesso, permessoNegato };
    Esito esito = Esito::nessunaScheda;
    QString host;
    QString id;
    SchedaBrowser scheda;
    std::optional<SceltaBrowser> scelta;
    // Without a directly driven tab: whether the browser sounded.
    SuonoBrowser suono = SuonoBrowser::nonSo;
    quint64 generazione = 0;
};

VideoNotchManager::VideoNotchManager(Dipendenze d, QObject* parent)
    : QObject(parent), clock_(d.clock), browser_(d.browser), player_(d.player), idProprio_(std::move(d.idProprio)),
      pidProprio_(d.pidProprio), ultimaAppAttiva_(std::move(d.appAttiva)),
      codaScript_(std::make_unique<EsecutorePlayer>(d.clock, nullptr, QStringLiteral("Halvora.VideoNotch.script"))),
      codaComandi_(std::make_unique<EsecutorePlayer>(d.clock, nullptr, QStringLiteral("Halvora.VideoNotch.comandi")))
{
    if (player_)
        connect(player_, &PlayerTacca::messaggio, this, &VideoNotchManager::gestisciMessaggio);
}

VideoNotchManager::~VideoNotchManager()
{
    // The workers end first: nothing they post can reach a half-destroyed manager.
    codaScript_.reset();
    codaComandi_.reset();
}

QString VideoNotchManager::chiaveRifiutata(const Brano& b)
{
    return b.bundleIDApp + QLatin1Char('|') + pulisciTitolo(b.titolo);
}

IstanzaBrowser VideoNotchManager::istanza(const Brano& b)
{
    const TabellaBrowser::Voce* v = TabellaBrowser::voce(b.bundleIDApp);
    return {b.bundleIDApp, b.pid, v ? QString::fromLatin1(v->cartellaDati) : QString()};
}

QString VideoNotchManager::testoErrore(std::optional<int> codice)
{
    if (codice == 100)
        return tr("Questo video non esiste più o è privato.");
    if (codice == 101 || codice == 150)
        return tr("Chi l'ha pubblicato non permette di guardarlo fuori da YouTube.");
    return tr("Questo video non si apre qui.");
}

bool VideoNotchManager::proprio(qint64 pid) const
{
    // Worker side: reads /proc.
    return pidProprio_ > 0 && Processi::discendeDa(pid, pidProprio_);
}

void VideoNotchManager::setStato(Stato s)
{
    if (s == stato_)
        return;
    stato_ = std::move(s);
    emit statoChanged();
}

void VideoNotchManager::setInAttesaDelSilenzio(bool v)
{
    if (v == inAttesaDelSilenzio_)
        return;
    inAttesaDelSilenzio_ = v;
    emit inAttesaDelSilenzioChanged();
}

void VideoNotchManager::valutaSessione(const std::optional<QString>& appID, const std::optional<Brano>& sessione)
{
    if (appID == idProprio_)
        return;
    const std::optional<QString> precedente = ultimaAppAttiva_;
    ultimaAppAttiva_ = appID;
    if (proposta_ && appID == proposta_->sessione.bundleIDApp) {
        ritiraProposta(); // back to the browser: withdrawn, not declined
        return;
    }
    // Only leaving the browser that plays counts.
    if (!sessione || !precedente || *precedente != sessione->bundleIDApp || appID == sessione->bundleIDApp)
        return;
    if (proposta_ || stato_.tipo != Stato::Tipo::chiuso || !sessione->inRiproduzione
        || rifiutate_.contains(chiaveRifiutata(*sessione)) || !TabellaBrowser::contiene(sessione->bundleIDApp))
        return;
    const Brano b = *sessione;
    const IstanzaBrowser ib = istanza(b);
    ControlloBrowser* browser = &browser_;
    codaScript_->esegui<bool>(
        [this, browser, b, ib]() -> std::optional<bool> {
            // A silent browser, ours or one not yet allowed is never offered; the offer never asks.
            if (proprio(ib.pid) || browser->suona(ib) == SuonoBrowser::no
                || browser->permesso(ib, false) != PermessoAutomazione::concesso)
                return false;
            const QList<SchedaBrowser> schede = browser->schede(ib);
            if (const auto scelta = scegliScheda(schede, browser->media(ib), b.titolo))
                return scelta->apribile;
            return schedaPerTitolo(schede, b.titolo).has_value();
        },
        kAttesaProposta,
        [this, b](std::optional<bool> offri) {
            if (offri.value_or(false))
                mostraProposta(b, browser_.nome(b.bundleIDApp));
        });
}

void VideoNotchManager::mostraProposta(const Brano& sessione, const QString& nome)
{
    // The user may have come back or opened a video meanwhile.
    if (proposta_ || stato_.tipo != Stato::Tipo::chiuso || ultimaAppAttiva_ == sessione.bundleIDApp)
        return;
    proposta_ = Proposta{sessione, nome};
    emit propostaChanged();
    // Left unanswered, it counts as declined.
    scadenzaProposta_ = clock_.singleShot(kVitaProposta, [this] { rifiutaProposta(); });
}

void VideoNotchManager::ritiraProposta()
{
    scadenzaProposta_.cancel();
    if (!proposta_)
        return;
    proposta_.reset();
    emit propostaChanged();
}

void VideoNotchManager::accettaProposta(const std::optional<Brano>& attuale)
{
    if (!proposta_)
        return;
    const Brano scelto =
        attuale && attuale->bundleIDApp == proposta_->sessione.bundleIDApp ? *attuale : proposta_->sessione;
    ritiraProposta();
    guardaNellaTacca(scelto);
}

void VideoNotchManager::rifiutaProposta()
{
    if (!proposta_)
        return;
    rifiutate_.insert(chiaveRifiutata(proposta_->sessione));
    ritiraProposta();
}

void VideoNotchManager::guardaNellaTacca(const Brano& sessione)
{
    if (!TabellaBrowser::contiene(sessione.bundleIDApp) || !player_)
        return;
    const QString nome = browser_.nome(sessione.bundleIDApp);
    nomeBrowserOrigine_ = nome;
    reimposta();
    origine_ = sessione;
    setStato({Stato::Tipo::caricamento, {}});
    const quint64 generazione = ++generazione_;
    const IstanzaBrowser ib = istanza(sessione);
    ControlloBrowser* browser = &browser_;
    EsecutorePlayer* coda = codaScript_.get();
    codaScript_->esegui<Apertura>(
        [this, browser, coda, ib, sessione, nome, generazione]() -> std::optional<Apertura> {
            Apertura a;
            a.generazione = generazione;
            if (proprio(ib.pid))
                return a;
            switch (browser->permesso(ib, false)) {
            case PermessoAutomazione::concesso:
                break;
            case PermessoAutomazione::serveConsenso:
                coda->inoltra([this, nome, generazione] {
                    if (generazione == generazione_ && stato_.tipo == Stato::Tipo::caricamento)
                        setStato({Stato::Tipo::attesaPermesso, nome});
                });
                if (browser->permesso(ib, true) != PermessoAutomazione::concesso) {
                    a.esito = Apertura::Esito::senzaPermesso;
                    return a;
                }
                coda->inoltra([this, generazione] {
                    if (generazione == generazione_ && stato_.tipo == Stato::Tipo::attesaPermesso)
                        setStato({Stato::Tipo::caricamento, {}});
                });
                break;
            case PermessoAutomazione::negato:
                a.esito = Apertura::Esito::permessoNegato;
                return a;
            }
            const QList<SchedaBrowser> schede = browser->schede(ib);
            const std::optional<MediaBrowser> media = browser->media(ib);
            a.scelta = scegliScheda(schede, media, sessione.titolo);
            if (a.scelta && !a.scelta->apribile) {
                a.esito = Apertura::Esito::nonYouTube;
                a.host = host(a.scelta->scheda.url);
                return a;
            }
            const auto scheda = a.scelta ? std::optional<SchedaBrowser>(a.scelta->scheda)
                                         : schedaPerTitolo(schede, sessione.titolo);
            if (!scheda)
                return a;
            a.scheda = *scheda;
            a.id = idVideoYouTube(scheda->url).value_or(QString());
            a.esito = Apertura::Esito::pronta;
            // The browser's copy stops: Pause, never a toggle that could start it again.
            if (a.scelta) {
                browser->pausa(ib);
            } else {
                a.suono = browser->suona(ib);
                if (a.suono != SuonoBrowser::no && sessione.inRiproduzione)
                    browser->pausa(ib);
            }
            return a;
        },
        kAttesaApertura,
        [this, nome, generazione](std::optional<Apertura> a) {
            if (generazione != generazione_
                || (stato_.tipo != Stato::Tipo::caricamento && stato_.tipo != Stato::Tipo::attesaPermesso))
                return; // closed or replaced meanwhile
            const auto esito = a ? a->esito : Apertura::Esito::nessunaScheda;
            switch (esito) {
            case Apertura::Esito::pronta:
                avviaNellaTacca(*a);
                return;
            case Apertura::Esito::senzaPermesso:
                setStato({Stato::Tipo::errore, tr("Senza il permesso non posso leggere le schede di %1.").arg(nome)});
                return;
            case Apertura::Esito::permessoNegato:
                setStato({Stato::Tipo::errore,
                          tr("Serve il permesso di leggere le schede di %1: Impostazioni di Sistema › Privacy e "
                             "sicurezza › Automazione.")
                              .arg(nome)});
                return;
            case Apertura::Esito::nonYouTube:
                setStato({Stato::Tipo::errore,
                          tr("Nella tacca si possono guardare solo i video di YouTube: adesso sta suonando %1.")
                              .arg(a->host)});
                return;
            case Apertura::Esito::nessunaScheda:
                setStato({Stato::Tipo::errore, tr("Nessuna scheda di YouTube aperta in %1.").arg(nome)});
                return;
            }
        });
}

void VideoNotchManager::avviaNellaTacca(const Apertura& a)
{
    const Brano& s = *origine_;
    comandoDiretto_ = a.scelta.has_value();
    schedaOrigine_ = std::make_pair(a.scheda.finestra, a.scheda.scheda);
    double inizio = a.scelta ? a.scelta->tempo : finito(s.posizione);
    if (!a.scelta && s.inRiproduzione && s.campionatoIl.isValid())
        inizio += finito(s.campionatoIl.msecsTo(clock_.now()) / 1000.0);
    // A video closed here after the sample's last update resumes where it was closed.
    if (memoria_ && memoria_->id == a.id && (!s.aggiornatoIl || memoria_->quando > *s.aggiornatoIl))
        inizio = finito(memoria_->secondi);
    titoloAperto_ = pulisciTitolo(s.titolo);
    obiettivo_ = Obiettivo{inizio, clock_.monotonic()};
    videoID_ = a.id;
    setInAttesaDelSilenzio(comandoDiretto_ ? !a.scelta->altreFerme : a.suono == SuonoBrowser::si);
    player_->carica(a.id, inizio, inAttesaDelSilenzio_);
    scadenzaCaricamento_ = clock_.singleShot(kScadenzaCaricamento, [this] {
        if (stato_.tipo != Stato::Tipo::caricamento)
            return;
        reimposta();
        setStato({Stato::Tipo::errore, testoErrore(std::nullopt)});
    });
    sorveglianzaAudio_ = clock_.repeating(kPassoSincronia, [this] { passoSincronia(); });
}

void VideoNotchManager::sincronizzaBrowser(bool forza)
{
    if (!comandoDiretto_ || !videoAperto() || !schedaOrigine_ || !origine_)
        return;
    // The paused browser copy follows every second tick.
    if (++contatoreSincronia_ % 2 != 0 && !forza)
        return;
    const IstanzaBrowser ib = istanza(*origine_);
    const double secondi = finito(tempoCorrente_);
    ControlloBrowser* browser = &browser_;
    codaScript_->esegui([browser, ib, secondi] { browser->posiziona(ib, secondi); });
}

void VideoNotchManager::chiudi()
{
    if (videoID_)
        memoria_ = Memoria{*videoID_, tempoCorrente_, clock_.now()};
    sincronizzaBrowser(true);
    reimposta();
    setStato({});
}

void VideoNotchManager::riportaNelBrowser()
{
    if (!videoID_ || !origine_ || !TabellaBrowser::contiene(origine_->bundleIDApp) || !player_)
        return;
    // The page's own time is the latest; a page that does not answer in time leaves the last one.
    auto fatto = std::make_shared<bool>(false);
    auto prosegui = [this, fatto](std::optional<double> t) {
        if (*fatto || !videoID_ || !origine_)
            return;
        *fatto = true;
        if (t && std::isfinite(*t) && *t > 0)
            tempoCorrente_ = *t;
        const QString id = *videoID_;
        const double secondi = finito(tempoCorrente_);
        const bool diretto = comandoDiretto_;
        const IstanzaBrowser ib = istanza(*origine_);
        const QString titolo = titoloAperto_;
        chiudi();
        ControlloBrowser* browser = &browser_;
        codaScript_->esegui([browser, ib, id, secondi, diretto, titolo] {
            // The tab it came from, or a listed tab of the same video, takes it
            // back while the browser's player is still that video's; a new tab
            // only without one.
            const auto m = browser->media(ib);
            bool qui = m && (pulisciTitolo(m->titolo) == titolo || idVideoYouTube(m->url) == id);
            if (qui && !diretto) {
                const QList<SchedaBrowser> schede = browser->schede(ib);
                qui = std::any_of(schede.cbegin(), schede.cend(),
                                  [&](const SchedaBrowser& s) { return idVideoYouTube(s.url) == id; });
            }
            if (!qui || !browser->posiziona(ib, secondi) || !browser->riproduci(ib))
                browser->apri(ib, urlGuarda(id, secondi));
            browser->portaDavanti(ib);
        });
    };
    QPointer<VideoNotchManager> io(this);
    player_->chiediTempo([io, prosegui](std::optional<double> t) {
        if (io)
            prosegui(t);
    });
    attesaTempo_ = clock_.singleShot(kAttesaTempo, [prosegui] { prosegui(std::nullopt); });
}

void VideoNotchManager::reimposta()
{
    scadenzaCaricamento_.cancel();
    sorveglianzaAudio_.cancel();
    attesaTempo_.cancel();
    obiettivo_.reset();
    allineatoDopoAvvio_ = false;
    comandoDiretto_ = false;
    schedaOrigine_.reset();
    contatoreSincronia_ = 0;
    suonoInCorso_ = false;
    setInAttesaDelSilenzio(false);
    if (player_)
        player_->svuota();
    videoID_.reset();
}

void VideoNotchManager::chiediSuono(std::function<void(SuonoBrowser)> risposta)
{
    if (!origine_)
        return;
    const IstanzaBrowser ib = istanza(*origine_);
    ControlloBrowser* browser = &browser_;
    const quint64 generazione = generazione_;
    codaScript_->esegui<SuonoBrowser>([browser, ib]() -> std::optional<SuonoBrowser> { return browser->suona(ib); },
                                      kAttesaComando,
                                      [this, generazione, risposta = std::move(risposta)](std::optional<SuonoBrowser> s) {
                                          if (generazione == generazione_ && videoID_)
                                              risposta(s.value_or(SuonoBrowser::nonSo));
                                      });
}

void VideoNotchManager::passoSincronia()
{
    sincronizzaBrowser(false);
    // The notch is heard only while the browser is not known to sound.
    if (!suonoInCorso_) {
        suonoInCorso_ = true;
        chiediSuono([this](SuonoBrowser s) {
            suonoInCorso_ = false;
            const bool muto = s == SuonoBrowser::si;
            if (muto == inAttesaDelSilenzio_ || !player_)
                return;
            setInAttesaDelSilenzio(muto);
            muto ? player_->muta() : player_->smuta();
        });
    }
    allineaPlayer();
}

void VideoNotchManager::allineaPlayer()
{
    // Only a browser that plays on its own leads: a copy we keep paused (or
    // drive in its tab) would drag the notch back to where it stopped.
    if (comandoDiretto_ || !player_)
        return;
    const std::optional<Brano> s = sessioneCorrente_ ? sessioneCorrente_() : std::nullopt;
    if (!s || !s->inRiproduzione || pulisciTitolo(s->titolo) != titoloAperto_ || !std::isfinite(s->posizione))
        return;
    // The sample is as old as its last look at the bus; the video went on meanwhile.
    double posizione = s->posizione;
    if (s->campionatoIl.isValid())
        posizione += finito(s->campionatoIl.msecsTo(clock_.now()) / 1000.0);
    if (std::abs(posizione - tempoCorrente_) > kScartoAllineamento)
        player_->allinea(finito(posizione));
}

void VideoNotchManager::allineaAObiettivo()
{
    if (!obiettivo_)
        return;
    const Obiettivo o = *obiettivo_;
    // A browser copy that kept playing while the notch loaded is further on.
    chiediSuono([this, o](SuonoBrowser s) {
        const double trascorso = s == SuonoBrowser::si ? finito(clock_.monotonic() - o.istante) : 0;
        if (player_)
            player_->allinea(finito(o.secondi + trascorso));
    });
}

void VideoNotchManager::gestisciMessaggio(const QString& corpo)
{
    const QJsonDocument doc = QJsonDocument::fromJson(corpo.toUtf8());
    if (!doc.isObject())
        return;
    const QJsonObject m = doc.object();
    if (!videoID_)
        return; // a page that is no longer ours
    if (m.value(QLatin1String("t")).isDouble() && std::isfinite(m.value(QLatin1String("t")).toDouble()))
        tempoCorrente_ = m.value(QLatin1String("t")).toDouble();
    const QString tipo = m.value(QLatin1String("tipo")).toString();
    if (tipo == QLatin1String("pronto")) {
        allineaAObiettivo();
        scadenzaCaricamento_.cancel();
        if (stato_.tipo == Stato::Tipo::caricamento)
            setStato({Stato::Tipo::inPausa, {}});
    } else if (tipo == QLatin1String("stato")) {
        const int valore = m.value(QLatin1String("valore")).toInt(-1);
        if (valore == 1) {
            scadenzaCaricamento_.cancel();
            setStato({Stato::Tipo::inRiproduzione, {}});
            if (!allineatoDopoAvvio_)
                chiediSuono([this](SuonoBrowser s) {
                    if (s != SuonoBrowser::si || allineatoDopoAvvio_)
                        return;
                    allineatoDopoAvvio_ = true;
                    allineaAObiettivo();
                });
        } else if (valore == 0 || valore == 2) {
            if (videoAperto())
                setStato({Stato::Tipo::inPausa, {}});
            sincronizzaBrowser(true);
        }
    } else if (tipo == QLatin1String("errore")) {
        const QJsonValue codice = m.value(QLatin1String("codice"));
        reimposta();
        setStato({Stato::Tipo::errore, testoErrore(codice.isDouble() ? std::optional<int>(codice.toInt()) : std::nullopt)});
    }
}

void VideoNotchManager::comandoBrowser(const Brano& sessione, std::function<void(bool)> esito)
{
    const IstanzaBrowser ib = istanza(sessione);
    ControlloBrowser* browser = &browser_;
    codaComandi_->esegui<bool>(
        [this, browser, ib]() -> std::optional<bool> {
            if (proprio(ib.pid) || browser->permesso(ib, false) != PermessoAutomazione::concesso)
                return false;
            // The definite command for the state the browser reports.
            const auto m = browser->media(ib);
            if (!m)
                return false;
            return m->inRiproduzione ? browser->pausa(ib) : browser->riproduci(ib);
        },
        kAttesaComando,
        [esito = std::move(esito)](std::optional<bool> r) {
            if (esito)
                esito(r.value_or(false));
        });
}
