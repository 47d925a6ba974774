#include "Installazione.h"

#include "Clock.h"
#include "CopiaInApplicazioni.h"
#include "PulitoreQuarantena.h"
#include "Trasloco.h"
#include "UserDefaults.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QUrl>

Installazione::Installazione(Dipendenze d, QObject* parent) : QObject(parent), d_(std::move(d))
{
    // One worker: a copy and the removal of an old one never overlap.
    lavoratore_.setMaxThreadCount(1);
}

Installazione::~Installazione()
{
    lavoratore_.waitForDone();
}

QString Installazione::destinazione() const
{
    return d_.posizione.destinazione();
}

void Installazione::richiedi(const Richiesta& r, const QString& bundle, std::function<void(bool)> risposta)
{
    if (r)
        r(bundle, std::move(risposta));
    else
        PulitoreQuarantena::pulisci(bundle, std::move(risposta));
}

void Installazione::checkRelocationAtLaunch()
{
    if (!NotchGeometry::isTranslocatedFromApplications(d_.posizione))
        return;
    const QVariant ultima = d_.impostazioni.value(kUltimaUscita);
    // A date in the future counts as a recent one; a value that is no date
    // does not hold the hand-over back.
    if (ultima.metaType().id() == QMetaType::QDateTime && ultima.toDateTime().isValid()
        && ultima.toDateTime().msecsTo(d_.clock.now()) < kPausaTrasloco * 1000)
        return;
    const QString bersaglio = destinazione();
    QPointer<Installazione> guardia(this);
    richiedi(d_.pulisci, bersaglio, [guardia, bersaglio](bool pulita) {
        if (!guardia || !pulita || Trasloco::isQuarantinedAppBundle(bersaglio))
            return;
        guardia->d_.impostazioni.setValue(kUltimaUscita, guardia->d_.clock.now());
        guardia->d_.rilancia(bersaglio, [](bool) {});
    });
}

void Installazione::installIntoApplications(std::function<void(Risultato)> completamento)
{
    const QString bersaglio = destinazione();
    if (QDir::cleanPath(d_.posizione.bundle) == QDir::cleanPath(bersaglio))
        return completamento({Esito::nienteDaRiferire, {}});
    if (NotchGeometry::isTranslocatedFromApplications(d_.posizione))
        return completamento({Esito::inApplicazioniNonPassata, {}});
    QPointer<Installazione> guardia(this);
    auto dopoLaCopia = [guardia, bersaglio, completamento](const std::optional<QString>& errore) {
        if (errore)
            return completamento({Esito::fallita, *errore});
        if (!guardia)
            return;
        // The service's answer is not looked at: the mark on the copy decides.
        guardia->richiedi(guardia->d_.pulisci, bersaglio, [guardia, bersaglio, completamento](bool) {
            if (!guardia)
                return;
            if (Trasloco::isQuarantinedAppBundle(bersaglio))
                return completamento({Esito::inApplicazioniNonPassata, {}});
            guardia->d_.rilancia(bersaglio, [completamento](bool avviata) {
                completamento({avviata ? Esito::nienteDaRiferire : Esito::inApplicazioniNonPassata, {}});
            });
        });
    };
    lavoratore_.start([bundle = d_.posizione.bundle, bersaglio, dopoLaCopia] {
        const auto errore = CopiaInApplicazioni::installa(bundle, bersaglio);
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [dopoLaCopia, errore] { dopoLaCopia(errore); }, Qt::QueuedConnection);
    });
}

void Installazione::revealInstalledCopy()
{
    // The folder to drag into exists even when the copy could not make it.
    QDir().mkpath(d_.posizione.applicazioni);
    (d_.mostra ? d_.mostra : mostraNelFileManager)(d_.posizione.applicazioni, d_.posizione.bundle);
}

void Installazione::mostraNelFileManager(const QString& cartella, const QString& voce)
{
    auto chiamata = [](const QString& metodo, const QString& percorso) {
        QDBusMessage m = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
            QStringLiteral("org.freedesktop.FileManager1"), metodo);
        m << QStringList{QUrl::fromLocalFile(percorso).toString()} << QString();
        return QDBusConnection::sessionBus().asyncCall(m);
    };
    // Without a file manager on the bus, the two folders open as the desktop opens folders.
    auto ripiego = [cartella, voce] {
        QDesktopServices::openUrl(QUrl::fromLocalFile(cartella));
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(voce).absolutePath()));
    };
    if (!QDBusConnection::sessionBus().isConnected())
        return ripiego();
    chiamata(QStringLiteral("ShowFolders"), cartella);
    auto* attesa = new QDBusPendingCallWatcher(chiamata(QStringLiteral("ShowItems"), voce), QCoreApplication::instance());
    QObject::connect(attesa, &QDBusPendingCallWatcher::finished, attesa, [ripiego](QDBusPendingCallWatcher* w) {
        if (w->isError())
            ripiego();
        w->deleteLater();
    });
}

void Installazione::apriCopiaInstallata()
{
    // A second copy beside this one would only hand its start to this one:
    // opening the installed copy is a switch to it.
    d_.rilancia(destinazione(), [](bool) {});
}

void Installazione::rimuoviCopieInterrotte()
{
    lavoratore_.start([cartella = d_.posizione.applicazioni] { CopiaInApplicazioni::rimuoviSoste(cartella); });
}

void Installazione::attendi()
{
    lavoratore_.waitForDone();
}
