#include "PuliziaAvvio.h"

#include "AttivitaManager.h"
#include "Colori.h"
#include "FeedAggiornamenti.h"
#include "InfoBundle.h"
#include "UserDefaults.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QStandardPaths>
#include <QThreadPool>
#include <algorithm>

namespace {

// Keys whose mere presence shows that the application ran here before.
const QStringList kSegniDiUso{QStringLiteral("guidaVista"), QStringLiteral("ultimaVerificaAggiornamento"),
                              QStringLiteral("avvisoPosizioneMostrato")};

AttivitaNotch avviso(const QString& simbolo, const QString& titolo, const QString& dettaglio,
                     std::optional<QColor> tinta = std::nullopt)
{
    AttivitaNotch a;
    a.simbolo = simbolo;
    a.titolo = titolo;
    a.dettaglio = dettaglio;
    a.tinta = tinta;
    return a;
}

} // namespace

PuliziaAvvio::PuliziaAvvio(Dipendenze d, QObject* parent)
    : QObject(parent), d_(std::move(d)),
      // The location card stores its key on the very first launch, before
      // this check runs: only what was there before counts as earlier use.
      usatoPrima_(std::any_of(kSegniDiUso.begin(), kSegniDiUso.end(),
                              [this](const QString& k) { return d_.impostazioni.contains(k); }))
{
}

bool PuliziaAvvio::avvisoRinominaDovuto()
{
    if (d_.impostazioni.boolValue(kBenvenutoMostrato, false))
        return false;
    d_.impostazioni.setValue(kBenvenutoMostrato, true);
    return usatoPrima_;
}

std::optional<QString> PuliziaAvvio::cercaCopiaPiuVecchia() const
{
    const NotchGeometry::Posizione& p = d_.posizione;
    if (!NotchGeometry::isInApplications(p) || p.bundle.contains(QStringLiteral("/AppTranslocation/")))
        return std::nullopt;
    const auto propria = InfoBundle::daBundle(p.bundle);
    if (!propria)
        return std::nullopt;
    const QString inUso = QDir::cleanPath(p.bundle);
    const QDir cartella(p.applicazioni);
    if (!cartella.exists())
        return std::nullopt;
    // The top level only; hidden entries (an unfinished copy among them) never count.
    for (const QString& nome : cartella.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System))
        if (const QString c = cartella.filePath(nome);
            copiaDaCestinare(c, inUso, propria->identificatore, propria->versione))
            return c;
    return std::nullopt;
}

bool PuliziaAvvio::copiaDaCestinare(const QString& candidata, const QString& bundleInUso,
                                    const QString& identificatore, const QString& versione)
{
    if (QFileInfo(candidata).suffix() != QLatin1String("app"))
        return false;
    if (QDir::cleanPath(candidata) == QDir::cleanPath(bundleInUso))
        return false;
    const auto info = InfoBundle::daBundle(candidata);
    if (!info || info->identificatore != identificatore)
        return false;
    if (!FeedAggiornamenti::versionePrecede(info->versione, versione))
        return false;
    return !inEsecuzioneDa(candidata);
}

bool PuliziaAvvio::inEsecuzioneDa(const QString& bundle)
{
    const QString dentro = QFileInfo(bundle).canonicalFilePath() + QLatin1Char('/');
    if (dentro.size() < 2)
        return false;
    const QDir proc(QStringLiteral("/proc"));
    for (const QString& pid : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (pid.isEmpty() || !pid[0].isDigit())
            continue;
        // A process whose file was replaced still runs from the copy: its
        // link ends in " (deleted)", which the prefix test does not mind.
        const QString eseguibile = QFile::symLinkTarget(proc.filePath(pid + QStringLiteral("/exe")));
        if (eseguibile.startsWith(dentro))
            return true;
    }
    return false;
}

void PuliziaAvvio::controllaRinominaECopie(AttivitaManager& attivita)
{
    const bool rinomina = avvisoRinominaDovuto();
    const auto copia = cercaCopiaPiuVecchia();
    if (!rinomina && !copia)
        return;
    QPointer<AttivitaManager> coda(&attivita);
    ritardo_ = d_.clock.singleShot(kRitardo, [this, rinomina, copia, coda] {
        if (!coda)
            return;
        if (rinomina)
            coda->mostra(avviso(QStringLiteral("sparkles"),
                                QCoreApplication::translate("Halvora", "Ora si chiama Orbelle"),
                                QCoreApplication::translate("Halvora", "Prima era Halvora")),
                         kDurataRinomina);
        if (copia)
            cestinaCopia(*copia, *coda);
    });
}

void PuliziaAvvio::cestinaCopia(const QString& copia, AttivitaManager& attivita)
{
    const QString nome = QFileInfo(copia).completeBaseName();
    auto cestina = d_.cestina ? d_.cestina : [](const QString& c) {
        // Without its data folder Qt would make the trash in the working folder.
        if (!QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)))
            return false;
        return QFile::moveToTrash(c);
    };
    QPointer<AttivitaManager> coda(&attivita);
    QThreadPool::globalInstance()->start([cestina, copia, nome, coda] {
        const bool cestinata = cestina(copia);
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [cestinata, nome, coda] {
                if (!coda)
                    return;
                if (cestinata)
                    coda->mostra(avviso(QStringLiteral("trash"),
                                        QCoreApplication::translate("Halvora", "Doppione cestinato"), nome),
                                 kDurataCestinata);
                else
                    coda->mostra(avviso(QStringLiteral("square.on.square"),
                                        QCoreApplication::translate("Halvora", "Hai due copie"),
                                        QCoreApplication::translate("Halvora", "Cestina la più vecchia"),
                                        Colori::arancione()),
                                 kDurataDueCopie);
            },
            Qt::QueuedConnection);
    });
}
