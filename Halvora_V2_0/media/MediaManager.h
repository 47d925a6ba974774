#pragma once

#include "ClientMpris.h"
#include "Clock.h"
#include "SorgenteSistema.h"

#include <QColor>
#include <QImage>
#include <QObject>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <optional>

class CercaCopertina;
class EsecutorePlayer;
class UserDefaults;

// Where the media side finds its helper, players and artwork service.
struct ConfigurazioneMedia {
    QString programmaHelper = SorgenteSistema::programmaPredefinito();
    QString idProprio = QStringLiteral("halvora"); // our own desktop id: never our own sample
    // This application's pid: it and the processes it starts are never a
    // player here (its own video player included); 0 leaves only the id.
    qint64 pidProprio = 0;
    QString spotify = QStringLiteral("org.mpris.MediaPlayer2.spotify");
    QString playerConfigurato = QStringLiteral("org.mpris.MediaPlayer2.rhythmbox");
    QUrl baseRicerca = QUrl(QStringLiteral("https://itunes.apple.com"));
    // The configured player from the settings key "media.playerMpris".
    static ConfigurazioneMedia daImpostazioni(const UserDefaults& impostazioni);
};


// The three media keys.
enum class TastoMedia { playPause = 0, successivo = 1, precedente = 2 };

// The one now-playing model. Every poll asks the two directly controlled
// players (Spotify and one configured MPRIS player) over D-Bus, one after
// the other on a worker thread; a playing reply wins at once, otherwise
// the system source's fresh sample and the paused replies are merged.
// Every published field notifies on every write; `cambiato` fires after
// any of them.
class MediaManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString trackTitle READ trackTitle NOTIFY trackTitleChanged)
    Q_PROPERTY(QString trackArtist READ trackArtist NOTIFY trackArtistChanged)
    Q_PROPERTY(QImage albumArt READ albumArt NOTIFY albumArtChanged)
    Q_PROPERTY(bool isPlaying READ isPlaying NOTIFY isPlayingChanged)
    Q_PROPERTY(double currentTime READ currentTime WRITE setCurrentTime NOTIFY currentTimeChanged)
    Q_PROPERTY(double totalDuration READ totalDuration NOTIFY totalDurationChanged)
    Q_PROPERTY(bool isDraggingSlider READ isDraggingSlider WRITE setIsDraggingSlider NOTIFY isDraggingSliderChanged)
    Q_PROPERTY(QString activeAppDisplayName READ activeAppDisplayName NOTIFY activeAppDisplayNameChanged)
    Q_PROPERTY(QString simboloSorgente READ simboloSorgente NOTIFY simboloSorgenteChanged)
    Q_PROPERTY(bool permetteSeek READ permetteSeek NOTIFY permetteSeekChanged)

public:
    using Brano = SorgenteSistema::Brano;

    using Configurazione = ConfigurazioneMedia;

    static constexpr double kAttesaScript = 0.5;
    static constexpr double kEtaMassimaCampione = 6.0;
    static constexpr int kGiriPrimaDiFermare = 5;
    static constexpr double kIntervalloIniziale = 1.5;

    explicit MediaManager(Clock& clock, Configurazione configurazione = Configurazione(), QObject* parent = nullptr);
    ~MediaManager() override;

    const QString& trackTitle() const { return trackTitle_; }
    const QString& trackArtist() const { return trackArtist_; }
    const QImage& albumArt() const { return albumArt_; }
    // The accent colour of the artwork; none without artwork.
    std::optional<QColor> albumTint() const { return albumTint_; }
    bool isPlaying() const { return isPlaying_; }
    double currentTime() const { return currentTime_; }
    double totalDuration() const { return totalDuration_; }
    bool isDraggingSlider() const { return isDraggingSlider_; }
    const QString& activeAppDisplayName() const { return activeAppDisplayName_; }
    const QString& simboloSorgente() const { return simboloSorgente_; }
    bool permetteSeek() const { return permetteSeek_; }
    // The fresh raw system entry when a browser plays it.
    const std::optional<Brano>& videoBrowser() const { return videoBrowser_; }

    // Written by the media tab while its slider moves.
    void setCurrentTime(double secondi);
    void setIsDraggingSlider(bool v);

    double intervalloCorrente() const { return intervalloCorrente_; }
    void setIntervalloCorrente(double secondi) { intervalloCorrente_ = secondi; }
    void avviaTimer();
    void aggiornaIntervalloSorgente();

    void togglePlayPause();
    void nextTrack();
    void previousTrack();
    void seek(double secondi);
    void inviaTastoMedia(TastoMedia tasto);

    // Play/pause of a browser video, for a feature that can drive the
    // browser's page; it reports success with its callback. Without it the
    // play/pause media key goes to the browser's player.
    using ComandoBrowser = std::function<void(const Brano& sessione, std::function<void(bool)> esito)>;
    void setComandoBrowser(ComandoBrowser comando) { comandoBrowser_ = std::move(comando); }

    // One poll cycle; the timer and the system source's changes run it.
    void eseguiGiro();
    bool isFetching() const { return isFetching_; }
    SorgenteSistema& sorgenteSistema() { return *sorgenteSistema_; }
    bool sorgenteSistemaAttiva() const { return sorgenteSistemaAttiva_; }
    const std::optional<QString>& activePlayerBundleID() const { return activePlayerBundleID_; }

    // The symbol of a system-source application: "globe" for browsers.
    static QString simboloPerApp(const QString& bundleID);
    // The reply text of a directly controlled player for its state.
    static QString rispostaDaStato(const StatoMpris& stato);

signals:
    void trackTitleChanged();
    void trackArtistChanged();
    void albumArtChanged();
    void albumTintChanged();
    void isPlayingChanged();
    void currentTimeChanged();
    void totalDurationChanged();
    void isDraggingSliderChanged();
    void activeAppDisplayNameChanged();
    void simboloSorgenteChanged();
    void permetteSeekChanged();
    void videoBrowserChanged();
    void cambiato();

private:
    struct Risposta {
        QString bundle;
        QStringList parti;
    };
    struct RispostaPlayer {
        QString testo;
        QString identita;
    };

    void interrogaPlayer(QStringList lista, int i, std::optional<Risposta> ricordata);
    void unisciConSistema(const std::optional<Risposta>& ricordata);
    void applicaRisposta(const Risposta& r);
    void pubblicaBranoSistema(const Brano& b);
    void azzera();
    void aggiornaCopertina(const QString& bundle, const QString& titolo, const QString& artista);
    void setAlbumArt(const QImage& immagine);
    std::optional<QString> playerPerComando() const;
    void comandoPlayer(const QString& bundle, int comando, const QString& posizione = {});
    void playerInEsecuzione(std::function<void(QStringList)> fatto);

    template <class T>
    void scrivi(T& campo, const T& valore, void (MediaManager::*segnale)());

    Clock& clock_;
    Configurazione configurazione_;
    QString trackTitle_, trackArtist_;
    QImage albumArt_;
    std::optional<QColor> albumTint_;
    bool isPlaying_ = false;
    double currentTime_ = 0, totalDuration_ = 0;
    bool isDraggingSlider_ = false;
    QString activeAppDisplayName_;
    QString simboloSorgente_ = QStringLiteral("applelogo");
    bool permetteSeek_ = true;
    std::optional<Brano> videoBrowser_;
    double intervalloCorrente_ = kIntervalloIniziale;
    SorgenteSistema* sorgenteSistema_;
    bool sorgenteSistemaAttiva_ = false;
    int giriNativiConsecutivi_ = 0;
    TimerHandle timer_;
    bool isFetching_ = false;
    std::optional<QString> activePlayerBundleID_;
    QString lastTrackForArtwork_;
    QStringList playerInEsecuzione_; // as last seen, for commands
    QHash<QString, QString> nomiPlayer_;
    EsecutorePlayer* esecutore_;
    CercaCopertina* copertine_;
    ComandoBrowser comandoBrowser_;
};
