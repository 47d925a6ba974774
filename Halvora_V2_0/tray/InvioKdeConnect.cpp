#include "InvioKdeConnect.h"

#include "Clock.h"

#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <memory>

InvioKdeConnect::InvioKdeConnect(Clock& clock, QObject* parent) : QObject(parent), clock_(clock) {}

void InvioKdeConnect::esegui(const QStringList& argomenti, Esito esito)
{
    const QString programma = QStandardPaths::findExecutable(QStringLiteral("kdeconnect-cli"));
    if (programma.isEmpty()) {
        esito(false, {});
        return;
    }
    auto* processo = new QProcess(this);
    // Answers exactly once, whichever of exit, failure or time-out comes first.
    struct Stato {
        Esito esito;
        TimerHandle scadenza;
    };
    auto stato = std::make_shared<Stato>(Stato{std::move(esito), {}});
    auto chiudi = [stato, processo](bool riuscito) {
        if (!stato->esito)
            return;
        const Esito e = std::move(stato->esito);
        stato->esito = nullptr;
        stato->scadenza.cancel();
        const QByteArray uscita = riuscito ? processo->readAllStandardOutput() : QByteArray();
        processo->disconnect();
        if (processo->state() == QProcess::NotRunning) {
            processo->deleteLater();
        } else {
            // Reaped before it goes, so no zombie is left behind.
            QObject::connect(processo, &QProcess::finished, processo, &QObject::deleteLater);
            processo->kill();
        }
        e(riuscito, uscita);
    };
    connect(processo, &QProcess::finished, this, [chiudi](int codice, QProcess::ExitStatus modo) {
        chiudi(modo == QProcess::NormalExit && codice == 0);
    });
    connect(processo, &QProcess::errorOccurred, this, [chiudi](QProcess::ProcessError errore) {
        if (errore == QProcess::FailedToStart)
            chiudi(false);
    });
    stato->scadenza = clock_.singleShot(kAttesaMassima, [chiudi] { chiudi(false); });
    processo->setStandardInputFile(QProcess::nullDevice());
    processo->start(programma, argomenti);
}

void InvioKdeConnect::dispositivi(std::function<void(QStringList)> risposta)
{
    esegui({QStringLiteral("--list-available"), QStringLiteral("--id-only")},
           [risposta = std::move(risposta)](bool riuscito, const QByteArray& uscita) {
               QStringList id;
               if (riuscito)
                   for (const QByteArray& riga : uscita.split('\n'))
                       if (const QString r = QString::fromUtf8(riga).trimmed(); !r.isEmpty())
                           id << r;
               risposta(id);
           });
}

void InvioKdeConnect::puoInviare(const QStringList& percorsi, std::function<void(bool)> risposta)
{
    if (percorsi.isEmpty()) {
        risposta(false);
        return;
    }
    dispositivi([risposta = std::move(risposta)](const QStringList& id) { risposta(!id.isEmpty()); });
}

void InvioKdeConnect::invia(const QStringList& percorsi)
{
    if (percorsi.isEmpty())
        return;
    dispositivi([this, percorsi](const QStringList& id) {
        if (!id.isEmpty())
            inviaDa(id.first(), percorsi);
    });
}

// One file at a time, so the device receives them in the tray's order.
void InvioKdeConnect::inviaDa(QString dispositivo, QStringList restanti)
{
    if (restanti.isEmpty())
        return;
    const QString file = restanti.takeFirst();
    esegui({QStringLiteral("--device"), dispositivo, QStringLiteral("--share"), file},
           [this, dispositivo, restanti](bool, const QByteArray&) { inviaDa(dispositivo, restanti); });
}
