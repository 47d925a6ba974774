#pragma once

#include "FeedAggiornamenti.h"
#include "InstallazioneAggiornamento.h"

#include "Clock.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <memory>

class LettoreFeed;
class Risveglio;
class UserDefaults;

// The update checker: reads the feed every three hours and 20 s after a
// wake, at most once a day, and on request from the settings page; offers
// a newer version unless the user declined that very version. On request
// it downloads and installs the offered package in place of the installed
// copy, then opens the new copy or leaves it waiting to be opened.
class AggiornamentoManager final : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString versioneDisponibile READ versioneDisponibile NOTIFY versioneDisponibileChanged)
    Q_PROPERTY(QUrl urlDownload READ urlDownload NOTIFY urlDownloadChanged)
    Q_PROPERTY(QUrl urlPacchetto READ urlPacchetto NOTIFY urlPacchettoChanged)
    Q_PROPERTY(bool verificaInCorso READ verificaInCorso NOTIFY verificaInCorsoChanged)
    Q_PROPERTY(QString esitoVerificaManuale READ esitoVerificaManuale NOTIFY esitoVerificaManualeChanged)
    Q_PROPERTY(QString passoAggiornamento READ passoAggiornamento NOTIFY passoAggiornamentoChanged)
    Q_PROPERTY(bool installata READ installata NOTIFY installataChanged)

public:
    static const QString kChiaveUltimaVerifica;
    static const QString kChiaveVersioneIgnorata;
    static constexpr double kIntervalloControllo = 10800; // s
    static constexpr double kAttesaDopoRisveglio = 20;    // s
    static constexpr double kGiorno = 86400;              // s

    struct Opzioni {
        // The running version; versioneCorrente() in the application.
        QString versioneInUso = versioneCorrente();
        // Every announced minimum passes on Linux.
        FeedAggiornamenti::SistemaAlmeno sistemaAlmeno = [](int, int, int) { return true; };
        // Opens a web page; the desktop's browser when not given.
        std::function<void(const QUrl&)> apriURL;

        InstallazioneAggiornamento::Opzioni installazione;
        using Risposta = std::function<void(bool)>;
        // Asks the quarantine service to clear the installed copy;
        // PulitoreQuarantena when not given. The answer itself is not used.
        std::function<void(const QString&, Risposta)> pulisci;
        // Whether the installed copy still carries the download mark;
        // Trasloco::isQuarantinedAppBundle when not given.
        std::function<bool(const QString&)> marcata;
        // Opens a copy as a new instance and answers whether it runs (this
        // one then quits); without it no copy is opened.
        std::function<void(const QString&, Risposta)> rilancia;
    };

    // Starts the schedule; runs no check. `risveglio` may be null.
    AggiornamentoManager(UserDefaults& defaults, Clock& clock, LettoreFeed& lettore, Risveglio* risveglio,
                         Opzioni opzioni, QObject* parent = nullptr);
    ~AggiornamentoManager() override;

    // The running version: the application's, else this build's ("?" when it has none).
    static QString versioneCorrente();
    // True when `prima` is older than `seconda`.
    static bool versionePrecede(const QString& prima, const QString& seconda)
    {
        return FeedAggiornamenti::versionePrecede(prima, seconda);
    }

    // Empty when no update is on offer.
    QString versioneDisponibile() const { return versioneDisponibile_; }
    // Empty when the feed gave no usable link.
    QUrl urlDownload() const { return urlDownload_; }
    QUrl urlPacchetto() const { return urlPacchetto_; }
    bool verificaInCorso() const { return verificaInCorso_; }
    // Result of the last manual check; empty when there is none to show.
    QString esitoVerificaManuale() const { return esitoVerificaManuale_; }
    // The step of the installation that runs; empty when none runs.
    QString passoAggiornamento() const { return passoAggiornamento_; }
    // The last download, installation or reopening failure.
    const std::optional<QString>& erroreAggiornamento() const { return erroreAggiornamento_; }
    // The new version is in place and waits to be opened.
    bool installata() const { return installata_; }
    // The installed copy that an update replaces.
    QString destinazione();

    // Reads the feed when the last successful check is a day old or more.
    void controllaSeDovuto();
    // Reads the feed now, unless a check is already running.
    void controllaAggiornamenti(bool manuale);
    // Opens the download page and withdraws the offer.
    void apriPaginaDownload();
    // Remembers the offered version as declined and withdraws the offer.
    void ignoraVersione();
    // Downloads the offered package and installs it, unless no package is
    // offered or an installation already runs.
    void scaricaEInstalla();
    // Opens the installed new version; on failure sets the error.
    void apriVersioneNuova();
    void azzeraErrore() { impostaErrore(std::nullopt); }

signals:
    // Each is emitted on every assignment.
    void versioneDisponibileChanged();
    void urlDownloadChanged();
    void urlPacchettoChanged();
    void verificaInCorsoChanged();
    void esitoVerificaManualeChanged();
    void passoAggiornamentoChanged();
    void erroreAggiornamentoChanged();
    void installataChanged();

private:
    void gestisciRisposta(const std::optional<QByteArray>& corpo, bool manuale);
    void valuta(const FeedAggiornamenti::Risposta& r, bool manuale);
    void impostaVersione(const QString& v);
    void impostaVerifica(bool v);
    void impostaEsito(const QString& testo);
    void impostaPasso(const QString& testo);
    void impostaErrore(const std::optional<QString>& testo);
    void installazioneFinita(const std::optional<QString>& errore);
    void inAttesaDiApertura();
    InstallazioneAggiornamento& installazione();

    UserDefaults& defaults_;
    Clock& clock_;
    LettoreFeed& lettore_;
    QPointer<Risveglio> risveglio_;
    Opzioni opzioni_;
    QString versioneDisponibile_;
    QUrl urlDownload_;
    QUrl urlPacchetto_;
    bool verificaInCorso_ = false;
    QString esitoVerificaManuale_;
    QString passoAggiornamento_;
    std::optional<QString> erroreAggiornamento_;
    bool installata_ = false;
    std::unique_ptr<InstallazioneAggiornamento> installazione_;
    TimerHandle orologio_;
    TimerHandle dopoRisveglio_;
};
