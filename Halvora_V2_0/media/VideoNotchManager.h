#pragma once

#include "Clock.h"
#include "ControlloBrowser.h"
#include "PlayerTacca.h"
#include "RegoleVideoNotch.h"
#include "SorgenteSistema.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class EsecutorePlayer;

// Moves a YouTube video that plays in a browser into the notch's own
// player, keeps the browser's copy paused and in step meanwhile, and hands
// the video back at the position reached. Each time the user leaves a
// browser that plays a video it may offer that move (`proposta`) and
// remembers the offers declined during the run. The root view owns it for
// the whole run. Every browser call runs on one of two worker threads;
// published state changes on the GUI thread only.
class VideoNotchManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool inAttesaDelSilenzio READ inAttesaDelSilenzio NOTIFY inAttesaDelSilenzioChanged)
public:
    using Brano = SorgenteSistema::Brano;
    using Scheda = SchedaBrowser;
    using SceltaBrowser = RegoleVideoNotch::SceltaBrowser;

    struct Stato {
        enum class Tipo { chiuso, attesaPermesso, errore, caricamento, inRiproduzione, inPausa };
        Tipo tipo = Tipo::chiuso;
        // The browser's name while waiting for permission; the message of an error.
        QString testo;
        bool operator==(const Stato&) const = default;
    };

    struct Proposta {
        Brano sessione;
        QString nomeBrowser;
        bool operator==(const Proposta&) const = default;
    };

    struct Memoria {
        QString id;
        double secondi = 0;
        QDateTime quando;
    };

    using FonteSessione = std::function<std::optional<Brano>()>;

    static constexpr double kVitaProposta = 10.0;
    static constexpr double kScadenzaCaricamento = 12.0;
    static constexpr double kPassoSincronia = 1.0;
    static constexpr double kScartoAllineamento = 0.5;

    struct Dipendenze {
        Clock& clock;
        // Used only on the worker threads; must outlive the manager.
        ControlloBrowser& browser;
        // The notch's player; without one (none yet) offers are made but
        // nothing opens in the notch.
        PlayerTacca* player = nullptr;
        // This application: its activation never counts, its processes are never a browser.
        QString idProprio = QStringLiteral("halvora");
        qint64 pidProprio = 0;
        // The application in front when the manager is made.
        std::optional<QString> appAttiva;
    };

    explicit VideoNotchManager(Dipendenze d, QObject* parent = nullptr);
    ~VideoNotchManager() override;

    const Stato& stato() const { return stato_; }
    bool videoAperto() const
    {
        return stato_.tipo == Stato::Tipo::inRiproduzione || stato_.tipo == Stato::Tipo::inPausa;
    }
    bool inAttesaDelSilenzio() const { return inAttesaDelSilenzio_; }
    const QString& nomeBrowserOrigine() const { return nomeBrowserOrigine_; }
    const std::optional<Proposta>& proposta() const { return proposta_; }
    const QSet<QString>& rifiutate() const { return rifiutate_; }
    PlayerTacca* player() const { return player_; }
    const QString& idProprio() const { return idProprio_; }

    // Where the browser sample of the media manager comes from; set once by the root view.
    void setSessioneCorrente(FonteSessione fonte) { sessioneCorrente_ = std::move(fonte); }
    bool haSessioneCorrente() const { return static_cast<bool>(sessioneCorrente_); }

    // An application became active (its desktop id), with the media
    // manager's browser sample; may lead to an offer.
    void valutaSessione(const std::optional<QString>& appID, const std::optional<Brano>& sessione);
    // "Guarda nella tacca" of the offer card; nothing without an offer.
    void accettaProposta(const std::optional<Brano>& attuale);
    // "Non ora": a declined video is not offered again during the run.
    void rifiutaProposta();
    // Opens the browser's video in the notch.
    void guardaNellaTacca(const Brano& sessione);
    // The video card's "Chiudi" and "Torna al browser".
    void chiudi();
    void riportaNelBrowser();
    // One message of the player's page (a JSON text).
    void gestisciMessaggio(const QString& corpo);

    // Play/pause of a video that stays in the browser, for the media
    // manager; `esito` hears on the GUI thread whether the browser took it.
    void comandoBrowser(const Brano& sessione, std::function<void(bool)> esito);

    // The declined-offer key of a sample: its browser and normalised title.
    static QString chiaveRifiutata(const Brano& b);
    // The browser of a sample.
    static IstanzaBrowser istanza(const Brano& b);
    // The message of a player error code.
    static QString testoErrore(std::optional<int> codice);

signals:
    void statoChanged();
    void propostaChanged();
    void inAttesaDelSilenzioChanged();

private:
    struct Apertura;
    void setStato(Stato s);
    void setInAttesaDelSilenzio(bool v);
    void mostraProposta(const Brano& sessione, const QString& nome);
    void ritiraProposta();
    void avviaNellaTacca(const Apertura& a);
    void sincronizzaBrowser(bool forza);
    void reimposta();
    void passoSincronia();
    void allineaPlayer();
    void allineaAObiettivo();
    // browserSuonaAudio of the open video's browser, asked on the worker.
    void chiediSuono(std::function<void(SuonoBrowser)> risposta);
    bool proprio(qint64 pid) const;

    Clock& clock_;
    ControlloBrowser& browser_;
    QPointer<PlayerTacca> player_;
    QString idProprio_;
    qint64 pidProprio_;

    Stato stato_;
    bool inAttesaDelSilenzio_ = false;
    QString nomeBrowserOrigine_;
    std::optional<QString> videoID_;
    std::optional<Brano> origine_; // the sample the open video came from
    std::optional<Memoria> memoria_;
    double tempoCorrente_ = 0;
    TimerHandle scadenzaCaricamento_;
    struct Obiettivo {
        double secondi;
        double istante; // Clock::monotonic()
    };
    std::optional<Obiettivo> obiettivo_;
    bool allineatoDopoAvvio_ = false;
    bool comandoDiretto_ = false;
    std::optional<std::pair<int, int>> schedaOrigine_;
    int contatoreSincronia_ = 0;
    QString titoloAperto_;
    FonteSessione sessioneCorrente_;
    TimerHandle sorveglianzaAudio_;
    TimerHandle attesaTempo_;
    bool suonoInCorso_ = false;
    // Counts openings: the answers of an earlier one are dropped.
    quint64 generazione_ = 0;
    std::optional<Proposta> proposta_;
    QSet<QString> rifiutate_;
    std::optional<QString> ultimaAppAttiva_;
    TimerHandle scadenzaProposta_;
    // Opening, offering, syncing and handing back; play/pause of the media manager.
    std::unique_ptr<EsecutorePlayer> codaScript_;
    std::unique_ptr<EsecutorePlayer> codaComandi_;
};
