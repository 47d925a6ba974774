#include "AggiornamentoManager.h"

#include "LettoreFeed.h"
#include "PulitoreQuarantena.h"
#include "Risveglio.h"
#include "Trasloco.h"
#include "UserDefaults.h"

#include <QCoreApplication>
#include <QDesktopServices>

const QString AggiornamentoManager::kChiaveUltimaVerifica = QStringLiteral("ultimaVerificaAggiornamento");
const QString AggiornamentoManager::kChiaveVersioneIgnorata = QStringLiteral("versioneAggiornamentoIgnorata");

AggiornamentoManager::AggiornamentoManager(UserDefaults& defaults, Clock& clock, LettoreFeed& lettore,
                                           Risveglio* risveglio, Opzioni opzioni, QObject* parent)
    : QObject(parent), defaults_(defaults), clock_(clock), lettore_(lettore), risveglio_(risveglio),
      opzioni_(std::move(opzioni))
{
    if (!opzioni_.apriURL)
        opzioni_.apriURL = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    if (!opzioni_.pulisci)
        opzioni_.pulisci = [](const QString& bundle, Opzioni::Risposta r) {
            PulitoreQuarantena::pulisci(bundle, std::move(r));
        };
    if (!opzioni_.marcata)
        opzioni_.marcata = &Trasloco::isQuarantinedAppBundle;
    orologio_ = clock_.repeating(kIntervalloControllo, [this] { controllaSeDovuto(); });
    if (risveglio_)
        connect(risveglio_, &Risveglio::risvegliato, this, [this] {
            dopoRisveglio_ = clock_.singleShot(kAttesaDopoRisveglio, [this] { controllaSeDovuto(); });
        });
}

AggiornamentoManager::~AggiornamentoManager() = default;

QString AggiornamentoManager::versioneCorrente()
{
    // The application's own word first: a test build is the version its bundle says.
    QString v = QCoreApplication::applicationVersion();
    if (v.isEmpty())
        v = QStringLiteral(HALVORA_VERSIONE);
    return v.isEmpty() ? QStringLiteral("?") : v;
}

void AggiornamentoManager::controllaSeDovuto()
{
    const QDateTime ultima = defaults_.value(kChiaveUltimaVerifica).toDateTime();
    if (ultima.isValid()) {
        const double trascorso = ultima.msecsTo(clock_.now()) / 1000.0;
        // A date more than a day ahead (a clock set back, a hand-edited
        // file) would stop the checks for good: it counts as no date.
        if (trascorso < kGiorno && trascorso >= -kGiorno)
            return;
    }
    controllaAggiornamenti(false);
}

void AggiornamentoManager::controllaAggiornamenti(bool manuale)
{
    if (verificaInCorso_)
        return;
    impostaVerifica(true);
    if (manuale)
        impostaEsito({});
    QPointer<AggiornamentoManager> io(this);
    lettore_.richiedi([io, manuale](std::optional<QByteArray> corpo) {
        if (io)
            io->gestisciRisposta(corpo, manuale);
    });
}

void AggiornamentoManager::gestisciRisposta(const std::optional<QByteArray>& corpo, bool manuale)
{
    impostaVerifica(false);
    const auto risposta = corpo ? FeedAggiornamenti::decodifica(*corpo) : std::nullopt;
    if (!risposta) {
        // An automatic check stores nothing, so the next firing or wake tries again.
        if (manuale)
            impostaEsito(QCoreApplication::translate("Halvora", "Impossibile controllare ora."));
        return;
    }
    defaults_.setValue(kChiaveUltimaVerifica, clock_.now());
    valuta(*risposta, manuale);
}

void AggiornamentoManager::valuta(const FeedAggiornamenti::Risposta& r, bool manuale)
{
    const bool nuova = versionePrecede(opzioni_.versioneInUso, r.versione);
    const bool adatta = FeedAggiornamenti::sistemaAdatto(r.minimoMacOS, opzioni_.sistemaAlmeno);
    if (!nuova || !adatta) {
        impostaVersione({});
        if (manuale)
            impostaEsito(QCoreApplication::translate("Halvora", "Sei già aggiornato."));
        return;
    }
    if (manuale) {
        impostaEsito({});
    } else {
        const QVariant ignorata = defaults_.value(kChiaveVersioneIgnorata);
        if (ignorata.typeId() == QMetaType::QString && ignorata.toString() == r.versione)
            return;
    }
    urlDownload_ = FeedAggiornamenti::urlSicuro(r.download).value_or(QUrl());
    emit urlDownloadChanged();
    urlPacchetto_ = r.pacchetto ? FeedAggiornamenti::urlSicuro(*r.pacchetto).value_or(QUrl()) : QUrl();
    emit urlPacchettoChanged();
    impostaVersione(r.versione);
}

void AggiornamentoManager::apriPaginaDownload()
{
    if (urlDownload_.isEmpty())
        return;
    opzioni_.apriURL(urlDownload_);
    impostaVersione({});
}

void AggiornamentoManager::ignoraVersione()
{
    if (!versioneDisponibile_.isEmpty())
        defaults_.setValue(kChiaveVersioneIgnorata, versioneDisponibile_);
    impostaVersione({});
}

void AggiornamentoManager::impostaVersione(const QString& v)
{
    versioneDisponibile_ = v;
    emit versioneDisponibileChanged();
}

void AggiornamentoManager::impostaVerifica(bool v)
{
    verificaInCorso_ = v;
    emit verificaInCorsoChanged();
}

void AggiornamentoManager::impostaEsito(const QString& testo)
{
    esitoVerificaManuale_ = testo;
    emit esitoVerificaManualeChanged();
}

QString AggiornamentoManager::destinazione() { return installazione().destinazione(); }

InstallazioneAggiornamento& AggiornamentoManager::installazione()
{
    // Its thread starts with the first installation, not with every run.
    if (!installazione_)
        installazione_ = std::make_unique<InstallazioneAggiornamento>(opzioni_.installazione);
    return *installazione_;
}

void AggiornamentoManager::scaricaEInstalla()
{
    if (urlPacchetto_.isEmpty() || versioneDisponibile_.isEmpty() || !passoAggiornamento_.isEmpty())
        return;
    impostaErrore(std::nullopt);
    impostaPasso(QCoreApplication::translate("Halvora", "Scarico…"));
    QPointer<AggiornamentoManager> io(this);
    installazione().avvia(
        urlPacchetto_, versioneDisponibile_,
        [io](const QString& passo) {
            if (io)
                io->impostaPasso(passo);
        },
        [io](std::optional<QString> errore) {
            if (io)
                io->installazioneFinita(errore);
        });
}

void AggiornamentoManager::installazioneFinita(const std::optional<QString>& errore)
{
    if (errore) {
        impostaPasso({});
        impostaErrore(errore);
        return;
    }
    // Only the installed copy decides, not the service's answer.
    const QString bundle = destinazione();
    QPointer<AggiornamentoManager> io(this);
    opzioni_.pulisci(bundle, [io, bundle](bool) {
        if (!io)
            return;
        if (io->opzioni_.marcata(bundle) || !io->opzioni_.rilancia) {
            io->inAttesaDiApertura();
            return;
        }
        // On success this instance quits, still showing "Installo…".
        io->opzioni_.rilancia(bundle, [io](bool avviata) {
            if (io && !avviata)
                io->inAttesaDiApertura();
        });
    });
}

void AggiornamentoManager::inAttesaDiApertura()
{
    impostaPasso({});
    installata_ = true;
    emit installataChanged();
}

void AggiornamentoManager::apriVersioneNuova()
{
    QPointer<AggiornamentoManager> io(this);
    auto fallita = [io] {
        if (io)
            io->impostaErrore(QCoreApplication::translate("Halvora", "Non si è aperta: avviala da Applicazioni."));
    };
    if (!opzioni_.rilancia) {
        fallita();
        return;
    }
    opzioni_.rilancia(destinazione(), [fallita](bool avviata) {
        if (!avviata)
            fallita();
    });
}

void AggiornamentoManager::impostaPasso(const QString& testo)
{
    passoAggiornamento_ = testo;
    emit passoAggiornamentoChanged();
}

void AggiornamentoManager::impostaErrore(const std::optional<QString>& testo)
{
    erroreAggiornamento_ = testo;
    emit erroreAggiornamentoChanged();
}
