#include "MediaManager.h"

#include "Processi.h"

#include "CercaCopertina.h"
#include "ClientMpris.h"
#include "ColoreCopertina.h"
#include "EsecutorePlayer.h"
#include "TabellaBrowser.h"
#include "UserDefaults.h"

#include <QDBusConnection>
#include <cmath>

namespace {

// Each D-Bus answer may take this long before the call gives up; the poll
// itself stops waiting after kAttesaScript.
constexpr int kAttesaDBusMs = 2000;

enum Comando { kPlayPause, kSuccessivo, kPrecedente, kPosiziona };

QDBusConnection bus() { return QDBusConnection::sessionBus(); }

bool eseguiComando(const QString& nome, int comando, const QString& posizione)
{
    switch (comando) {
    case kPlayPause: return ClientMpris::invia(bus(), nome, ClientMpris::Comando::playPause, kAttesaDBusMs);
    case kSuccessivo: return ClientMpris::invia(bus(), nome, ClientMpris::Comando::successivo, kAttesaDBusMs);
    case kPrecedente: return ClientMpris::invia(bus(), nome, ClientMpris::Comando::precedente, kAttesaDBusMs);
    default: return ClientMpris::posiziona(bus(), nome, posizione.toDouble(), kAttesaDBusMs);
    }
}

double numeroDaTesto(QString testo)
{
    testo.replace(QLatin1Char(','), QLatin1Char('.'));
    return SorgenteSistema::tempoDaTesto(testo);
}

} // namespace

ConfigurazioneMedia ConfigurazioneMedia::daImpostazioni(const UserDefaults& impostazioni)
{
    ConfigurazioneMedia c;
    const QString player = impostazioni.value(QStringLiteral("media.playerMpris")).toString().trimmed();
    if (!player.isEmpty())
        c.playerConfigurato = player.startsWith(ClientMpris::kPrefisso) ? player : ClientMpris::kPrefisso + player;
    return c;
}

MediaManager::MediaManager(Clock& clock, Configurazione configurazione, QObject* parent)
    : QObject(parent), clock_(clock), configurazione_(std::move(configurazione)),
      sorgenteSistema_(new SorgenteSistema(clock, kIntervalloIniziale, configurazione_.programmaHelper,
                                           configurazione_.idProprio, this)),
      esecutore_(new EsecutorePlayer(clock, this)), copertine_(new CercaCopertina(configurazione_.baseRicerca, this))
{
    connect(copertine_, &CercaCopertina::trovata, this, [this](const QString& chiave, const QImage& img) {
        // A slow answer for an earlier track must not dress the current one.
        if (chiave == lastTrackForArtwork_)
            setAlbumArt(img);
    });
    sorgenteSistema_->setPidProprio(configurazione_.pidProprio);
    avviaTimer();
    sorgenteSistema_->onCambio = [this] { eseguiGiro(); };
}

MediaManager::~MediaManager()
{
    timer_.cancel();
    sorgenteSistema_->onCambio = nullptr;
    sorgenteSistema_->ferma();
    sorgenteSistema_->dimenticaCampioni();
}

template <class T>
void MediaManager::scrivi(T& campo, const T& valore, void (MediaManager::*segnale)())
{
    campo = valore;
    emit(this->*segnale)();
    emit cambiato();
}

void MediaManager::setCurrentTime(double secondi)
{
    scrivi(currentTime_, std::isfinite(secondi) ? secondi : 0.0, &MediaManager::currentTimeChanged);
}

void MediaManager::setIsDraggingSlider(bool v) { scrivi(isDraggingSlider_, v, &MediaManager::isDraggingSliderChanged); }

void MediaManager::setAlbumArt(const QImage& immagine)
{
    albumArt_ = immagine;
    albumTint_ = immagine.isNull() ? std::nullopt : coloreDaCopertina(immagine);
    emit albumArtChanged();
    emit albumTintChanged();
    emit cambiato();
}

void MediaManager::avviaTimer()
{
    timer_ = clock_.repeating(intervalloCorrente_, [this] { eseguiGiro(); });
}

void MediaManager::aggiornaIntervalloSorgente()
{
    const double obiettivo = videoBrowser_ ? kIntervalloIniziale : intervalloCorrente_;
    if (std::abs(obiettivo - sorgenteSistema_->intervallo()) <= 0.01)
        return;
    sorgenteSistema_->setIntervallo(obiettivo);
    if (sorgenteSistema_->inEsecuzione()) {
        sorgenteSistema_->ferma();
        sorgenteSistema_->avvia();
    }
}

void MediaManager::playerInEsecuzione(std::function<void(QStringList)> fatto)
{
    const QStringList candidati{configurazione_.spotify, configurazione_.playerConfigurato};
    esecutore_->esegui<QStringList>(
        [candidati]() -> std::optional<QStringList> {
            QStringList presenti;
            for (const QString& c : candidati)
                if (ClientMpris::presente(bus(), c, kAttesaDBusMs))
                    presenti << c;
            return presenti;
        },
        kAttesaScript,
        [this, fatto = std::move(fatto)](std::optional<QStringList> presenti) {
            playerInEsecuzione_ = presenti.value_or(QStringList());
            fatto(playerInEsecuzione_);
        });
}

void MediaManager::eseguiGiro()
{
    if (isFetching_)
        return; // a cycle in flight swallows the tick
    isFetching_ = true;
    playerInEsecuzione([this](QStringList lista) {
        if (lista.isEmpty()) {
            unisciConSistema(std::nullopt);
            isFetching_ = false;
            return;
        }
        interrogaPlayer(lista, 0, std::nullopt);
    });
}

QString MediaManager::rispostaDaStato(const StatoMpris& s)
{
    if (s.stato == QLatin1String("Stopped") || s.titolo.isEmpty())
        return {};
    const QString sep = QStringLiteral("|||");
    return s.titolo + sep + s.artisti.join(QStringLiteral(", ")) + sep + s.stato.toLower() + sep
           + QString::number(s.posizioneUs / 1.0e6, 'f', 3) + sep + QString::number(s.durataUs / 1.0e6, 'f', 3);
}

void MediaManager::interrogaPlayer(QStringList lista, int i, std::optional<Risposta> ricordata)
{
    if (i >= lista.size()) {
        unisciConSistema(ricordata);
        isFetching_ = false;
        return;
    }
    const QString nome = lista.at(i);
    esecutore_->esegui<RispostaPlayer>(
        [nome]() -> std::optional<RispostaPlayer> {
            const auto s = ClientMpris::leggi(bus(), nome, kAttesaDBusMs);
            if (!s)
                return std::nullopt;
            return RispostaPlayer{rispostaDaStato(*s).trimmed(), s->identita};
        },
        kAttesaScript,
        [this, lista, i, ricordata, nome](std::optional<RispostaPlayer> r) {
            if (r && !r->identita.isEmpty())
                nomiPlayer_.insert(nome, r->identita);
            const QStringList parti = r ? r->testo.split(QStringLiteral("|||")) : QStringList();
            if (r && !r->testo.isEmpty() && parti.size() == 5) {
                if (parti.at(2) == QLatin1String("playing")) {
                    applicaRisposta({nome, parti});
                    isFetching_ = false;
                    return;
                }
                interrogaPlayer(lista, i + 1, ricordata ? ricordata : std::optional<Risposta>(Risposta{nome, parti}));
                return;
            }
            interrogaPlayer(lista, i + 1, ricordata);
        });
}

void MediaManager::unisciConSistema(const std::optional<Risposta>& ricordata)
{
    giriNativiConsecutivi_ = 0;
    sorgenteSistema_->avvia();
    const auto fresco = [this](const SorgenteSistema::Campioni& c) {
        return clock_.monotonic() - c.ultimoCampione < kEtaMassimaCampione;
    };
    auto campioni = sorgenteSistema_->campioni();
    std::optional<Brano> grezzo = fresco(campioni) ? campioni.ultimaSessioneGrezza : std::nullopt;
    std::optional<Brano> browser = grezzo && TabellaBrowser::contiene(grezzo->bundleIDApp) ? grezzo : std::nullopt;
    if (browser != videoBrowser_) {
        videoBrowser_ = browser;
        emit videoBrowserChanged();
        emit cambiato();
    }
    aggiornaIntervalloSorgente();
    campioni = sorgenteSistema_->campioni();
    const std::optional<Brano> brano = fresco(campioni) ? campioni.ultimoBrano : std::nullopt;
    if (brano && brano->inRiproduzione)
        pubblicaBranoSistema(*brano);
    else if (ricordata)
        applicaRisposta(*ricordata);
    else if (brano)
        pubblicaBranoSistema(*brano);
    else
        azzera();
}

void MediaManager::applicaRisposta(const Risposta& r)
{
    const QString& stato = r.parti.at(2);
    if (stato == QLatin1String("playing") && videoBrowser_) {
        videoBrowser_.reset();
        emit videoBrowserChanged();
    }
    activePlayerBundleID_ = r.bundle;
    sorgenteSistemaAttiva_ = false;
    scrivi(permetteSeek_, true, &MediaManager::permetteSeekChanged);
    const bool spotify = r.bundle == configurazione_.spotify;
    scrivi(simboloSorgente_, spotify ? QStringLiteral("waveform.circle.fill") : QStringLiteral("applelogo"),
           &MediaManager::simboloSorgenteChanged);
    if (++giriNativiConsecutivi_ >= kGiriPrimaDiFermare && sorgenteSistema_->inEsecuzione()) {
        sorgenteSistema_->ferma();
        sorgenteSistema_->dimenticaCampioni();
    }
    scrivi(trackTitle_, r.parti.at(0), &MediaManager::trackTitleChanged);
    scrivi(trackArtist_, r.parti.at(1), &MediaManager::trackArtistChanged);
    scrivi(isPlaying_, stato == QLatin1String("playing"), &MediaManager::isPlayingChanged);
    if (!isDraggingSlider_)
        scrivi(currentTime_, numeroDaTesto(r.parti.at(3)), &MediaManager::currentTimeChanged);
    scrivi(totalDuration_, numeroDaTesto(r.parti.at(4)), &MediaManager::totalDurationChanged);
    const QString nome = spotify ? QStringLiteral("Spotify")
                                 : nomiPlayer_.value(r.bundle, ClientMpris::desktopDaNomeBus(r.bundle));
    scrivi(activeAppDisplayName_, nome, &MediaManager::activeAppDisplayNameChanged);
    const QString chiave = r.bundle + QLatin1Char('|') + trackArtist_ + QLatin1Char('|') + trackTitle_;
    if (chiave != lastTrackForArtwork_) {
        lastTrackForArtwork_ = chiave;
        aggiornaCopertina(r.bundle, trackTitle_, trackArtist_);
    }
}

QString MediaManager::simboloPerApp(const QString& bundleID)
{
    const QString id = bundleID.toLower();
    static const char* browser[] = {"safari", "chrome", "brave",   "firefox", "edge",
                                    "opera",  "vivaldi", "arc", "browser", "chromium"};
    for (const char* b : browser)
        if (id.contains(QLatin1String(b)))
            return QStringLiteral("globe");
    return QStringLiteral("music.note");
}

void MediaManager::pubblicaBranoSistema(const Brano& b)
{
    activePlayerBundleID_.reset();
    sorgenteSistemaAttiva_ = true;
    scrivi(trackTitle_, b.titolo, &MediaManager::trackTitleChanged);
    scrivi(trackArtist_, b.artista, &MediaManager::trackArtistChanged);
    scrivi(isPlaying_, b.inRiproduzione, &MediaManager::isPlayingChanged);
    scrivi(totalDuration_, b.durata > 0 ? b.durata : 0.0, &MediaManager::totalDurationChanged);
    if (!isDraggingSlider_)
        scrivi(currentTime_, totalDuration_ > 0 ? std::min(b.posizione, totalDuration_) : b.posizione,
               &MediaManager::currentTimeChanged);
    scrivi(activeAppDisplayName_, b.nomeApp, &MediaManager::activeAppDisplayNameChanged);
    scrivi(simboloSorgente_, simboloPerApp(b.bundleIDApp), &MediaManager::simboloSorgenteChanged);
    scrivi(permetteSeek_, false, &MediaManager::permetteSeekChanged);
    const QString chiave = QStringLiteral("sistema|") + b.bundleIDApp + QLatin1Char('|') + b.titolo;
    if (chiave != lastTrackForArtwork_) {
        lastTrackForArtwork_ = chiave;
        setAlbumArt({});
    }
}

void MediaManager::azzera()
{
    activePlayerBundleID_.reset();
    sorgenteSistemaAttiva_ = false;
    scrivi(permetteSeek_, true, &MediaManager::permetteSeekChanged);
    scrivi(simboloSorgente_, QStringLiteral("applelogo"), &MediaManager::simboloSorgenteChanged);
    lastTrackForArtwork_.clear();
    scrivi(trackTitle_, QString(), &MediaManager::trackTitleChanged);
    scrivi(trackArtist_, QString(), &MediaManager::trackArtistChanged);
    scrivi(activeAppDisplayName_, QString(), &MediaManager::activeAppDisplayNameChanged);
    scrivi(isPlaying_, false, &MediaManager::isPlayingChanged);
    setAlbumArt({});
    scrivi(currentTime_, 0.0, &MediaManager::currentTimeChanged);
    scrivi(totalDuration_, 0.0, &MediaManager::totalDurationChanged);
}

void MediaManager::aggiornaCopertina(const QString& bundle, const QString& titolo, const QString& artista)
{
    const QString chiave = lastTrackForArtwork_;
    // The player's own artwork address first; only http and https are fetched.
    esecutore_->esegui<QString>(
        [bundle]() -> std::optional<QString> {
            const auto s = ClientMpris::leggi(bus(), bundle, kAttesaDBusMs);
            return s ? std::optional<QString>(s->urlCopertina.trimmed()) : std::nullopt;
        },
        kAttesaScript,
        [this, chiave, titolo, artista](std::optional<QString> url) {
            if (chiave != lastTrackForArtwork_)
                return;
            const QUrl indirizzo(url.value_or(QString()), QUrl::StrictMode);
            if (url && !url->isEmpty() && CercaCopertina::indirizzoAmmesso(indirizzo))
                copertine_->scarica(chiave, indirizzo);
            else
                copertine_->cerca(chiave, titolo, artista);
        });
}

std::optional<QString> MediaManager::playerPerComando() const
{
    if (sorgenteSistemaAttiva_)
        return std::nullopt;
    if (activePlayerBundleID_)
        return activePlayerBundleID_;
    if (!playerInEsecuzione_.isEmpty())
        return playerInEsecuzione_.first();
    return std::nullopt;
}

void MediaManager::comandoPlayer(const QString& bundle, int comando, const QString& posizione)
{
    esecutore_->esegui<bool>([bundle, comando, posizione]() -> std::optional<bool> {
        return eseguiComando(bundle, comando, posizione);
    }, kAttesaScript, {});
}

void MediaManager::togglePlayPause()
{
    const auto player = playerPerComando();
    scrivi(isPlaying_, !isPlaying_, &MediaManager::isPlayingChanged);
    if (player) {
        comandoPlayer(*player, kPlayPause);
        return;
    }
    if (videoBrowser_ && TabellaBrowser::contiene(videoBrowser_->bundleIDApp) && comandoBrowser_) {
        QPointer<MediaManager> io(this);
        comandoBrowser_(*videoBrowser_, [io](bool riuscito) {
            if (!io)
                return;
            if (riuscito)
                io->eseguiGiro();
            else
                io->inviaTastoMedia(TastoMedia::playPause);
        });
        return;
    }
    inviaTastoMedia(TastoMedia::playPause);
}

void MediaManager::nextTrack()
{
    if (const auto player = playerPerComando())
        comandoPlayer(*player, kSuccessivo);
    else
        inviaTastoMedia(TastoMedia::successivo);
}

void MediaManager::previousTrack()
{
    if (const auto player = playerPerComando())
        comandoPlayer(*player, kPrecedente);
    else
        inviaTastoMedia(TastoMedia::precedente);
}

void MediaManager::seek(double secondi)
{
    const auto player = playerPerComando();
    if (!player || !std::isfinite(secondi))
        return;
    // Two decimals with a point, whatever the locale.
    QString testo = QString::asprintf("%.2f", secondi);
    testo.replace(QLatin1Char(','), QLatin1Char('.'));
    comandoPlayer(*player, kPosiziona, testo);
}

void MediaManager::inviaTastoMedia(TastoMedia tasto)
{
    // A media key goes to the player the system source reports, else to
    // whichever player plays, else to any paused one.
    const auto grezzo = sorgenteSistema_->campioni().ultimaSessioneGrezza;
    const QString preferito = grezzo ? grezzo->bundleIDApp : QString();
    const qint64 pidPreferito = grezzo ? grezzo->pid : 0;
    const QString proprio = configurazione_.idProprio;
    const qint64 pidProprio = configurazione_.pidProprio;
    const int comando = int(tasto);
    esecutore_->esegui([preferito, pidPreferito, proprio, pidProprio, comando] {
        std::optional<StatoMpris> scelto;
        int rango = -1;
        for (const QString& nome : ClientMpris::player(bus(), kAttesaDBusMs)) {
            const auto s = ClientMpris::leggi(bus(), nome, kAttesaDBusMs);
            // Never a player of ours (the notch video's own included).
            if (!s || s->desktop == proprio || Processi::discendeDa(s->pid, pidProprio))
                continue;
            // The sample names its player by pid; its desktop id may be the brand's, not the player's own.
            const bool campione = pidPreferito > 0 ? qint64(s->pid) == pidPreferito
                                                   : !preferito.isEmpty() && s->desktop == preferito;
            const int r = campione ? 3
                          : s->inRiproduzione()                            ? 2
                          : s->stato == QLatin1String("Paused")            ? 1
                                                                           : 0;
            if (r > rango) {
                rango = r;
                scelto = s;
            }
        }
        if (scelto)
            eseguiComando(scelto->nomeBus, comando, {});
    });
}
