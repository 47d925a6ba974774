#pragma once

#include "Clock.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QStringDecoder>
#include <functional>
#include <optional>

// What the system reports as playing, whatever player it is. One
// long-running child process (halvora-nowplaying) looks at the session
// bus every `intervallo` seconds and writes marked blocks to its standard
// error; this class cuts them out, parses them and keeps the latest
// samples. It publishes nothing itself: MediaManager starts, stops and
// retunes it, reads campioni() and is told through onCambio when the
// playing item changes. GUI thread only.
class SorgenteSistema : public QObject {
    Q_OBJECT
public:
    // One now-playing sample.
    struct Brano {
        QString titolo;
        QString artista;
        bool inRiproduzione = false;
        double posizione = 0;
        double durata = 0;
        QString bundleIDApp; // desktop id of the player's application
        QString nomeApp;
        qint64 pid = 0;      // the process that owns the player on the bus; 0 when unknown
        std::optional<QDateTime> aggiornatoIl; // when the player last stated the position
        QDateTime campionatoIl;                // when this sample was taken
        bool operator==(const Brano&) const = default;
    };

    // A copy of the samples; `ultimoCampione` is Clock::monotonic() of the
    // last handled block, -infinity before the first.
    struct Campioni {
        std::optional<Brano> ultimoBrano;          // playing, or paused shortly after playing
        std::optional<Brano> ultimaSessioneGrezza; // the latest sample, playing or not
        double ultimoCampione;
    };

    static constexpr int kIterazioni = 2400;
    static constexpr double kVitaSana = 3.0;      // a process that lived this long was healthy
    static constexpr double kPausaValida = 180.0; // a paused track stays current this long after playing
    static constexpr int kMassimoBuffer = 64000;

    // `programma` is the helper to run; `idProprio` the desktop id of this
    // application, whose own samples are ignored.
    SorgenteSistema(Clock& clock, double intervallo, QString programma, QString idProprio, QObject* parent = nullptr);
    ~SorgenteSistema() override;

    // The helper next to the executable, else the one of the build tree.
    static QString programmaPredefinito();

    // Called on the GUI thread, from the event loop, when the signature
    // (application, title, playing) of the samples changes.
    std::function<void()> onCambio;

    void avvia();
    void ferma();
    void dimenticaCampioni();

    double intervallo() const { return intervallo_; }
    // Takes effect at the next start; MediaManager restarts a running process.
    void setIntervallo(double secondi) { intervallo_ = secondi; }
    bool disponibile() const { return disponibile_; }
    bool inEsecuzione() const { return processo_ != nullptr; }
    int fallimentiConsecutivi() const { return fallimentiConsecutivi_; }
    Campioni campioni() const { return {ultimoBrano_, ultimaSessioneGrezza_, ultimoCampione_}; }

    // This application's process: the players of the processes it started
    // (its own video player) are never sampled. 0: only its own.
    void setPidProprio(qint64 pid) { pidProprio_ = pid; }

    // The helper's arguments for the current interval.
    QStringList costruisciScript() const;
    // Adds text read from the helper and handles every complete block.
    void accodaTesto(const QString& testo);
    void gestisciBlocco(const QString& blocco);

    static std::optional<Brano> analizzaDescrizione(const QString& blocco, const QDateTime& ora);
    // Desktop id and name of the player, from the line that starts with
    // "percorso: "; two empty strings when there is none or it does not match.
    static std::pair<QString, QString> analizzaPercorso(const QString& blocco);
    static QString decodificaEscape(const QString& valore);
    // A time in seconds from text; not-a-number, infinities, negative and
    // absurdly large values are 0.
    static double tempoDaTesto(const QString& testo);

private:
    void alTermine(QProcess* p);
    void contaFallimento();
    void leggi();
    struct Percorso {
        QString id, nome;
        qint64 pid = 0;
    };
    static std::optional<Percorso> percorso(const QString& blocco);

    Clock& clock_;
    QString programma_;
    QString idProprio_;
    qint64 pidProprio_ = 0;
    QString firmaPrecedente_;
    bool disponibile_ = true;
    double intervallo_;
    QPointer<QProcess> processo_;
    double istanteAvvio_ = 0;
    int fallimentiConsecutivi_ = 0;
    QString buffer_;
    QStringDecoder decodificatore_{QStringDecoder::Utf8};
    std::optional<Brano> ultimoBrano_;
    std::optional<Brano> ultimaSessioneGrezza_;
    double ultimoCampione_;
    QString titoloInRiproduzione_;
    double istanteInRiproduzione_;
};
