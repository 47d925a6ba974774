#include "LinguaManager.h"

#include "Testi.h"
#include "Traduzioni.h"
#include "UserDefaults.h"

#include <QCoreApplication>
#include <QPointer>
#include <QProcess>

const QString LinguaManager::kChiaveLingua = QStringLiteral("linguaInterfaccia");
const QString LinguaManager::kChiaveLingueAvvio = QStringLiteral("lingueApplicazione");

namespace Lingue {

const QList<LinguaInterfaccia>& tutte()
{
    static const QList<LinguaInterfaccia> elenco = {LinguaInterfaccia::sistema, LinguaInterfaccia::italiano,
                                                     LinguaInterfaccia::inglese, LinguaInterfaccia::spagnolo};
    return elenco;
}

QString rawValue(LinguaInterfaccia l)
{
    switch (l) {
    case LinguaInterfaccia::sistema: return QStringLiteral("sistema");
    case LinguaInterfaccia::italiano: return QStringLiteral("it");
    case LinguaInterfaccia::inglese: return QStringLiteral("en");
    case LinguaInterfaccia::spagnolo: return QStringLiteral("es");
    }
    return {};
}

std::optional<LinguaInterfaccia> daRawValue(const QString& testo)
{
    for (LinguaInterfaccia l : tutte())
        if (rawValue(l) == testo)
            return l;
    return std::nullopt;
}

QStringList elencoLingue(LinguaInterfaccia l)
{
    if (l == LinguaInterfaccia::sistema)
        return {};
    return {rawValue(l)};
}

QString etichetta(LinguaInterfaccia l)
{
    switch (l) {
    case LinguaInterfaccia::sistema: return QCoreApplication::translate("Halvora", "Lingua del sistema");
    case LinguaInterfaccia::italiano: return QStringLiteral("Italiano");
    case LinguaInterfaccia::inglese: return QStringLiteral("English");
    case LinguaInterfaccia::spagnolo: return QStringLiteral("Español");
    }
    return {};
}

} // namespace Lingue

LinguaManager::Riavvio LinguaManager::Riavvio::processoCorrente(const QString& eseguibile)
{
    Riavvio r;
    r.avviaIstanza = [eseguibile](std::function<void(bool)> esito) {
        // True once the new program has been executed; its own start-up
        // then takes the instance lock.
        const QString programma = eseguibile.isEmpty() ? QCoreApplication::applicationFilePath() : eseguibile;
        const bool avviata = QProcess::startDetached(programma, {});
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [esito = std::move(esito), avviata] { esito(avviata); },
            Qt::QueuedConnection);
    };
    r.esci = [] { QCoreApplication::quit(); };
    return r;
}

LinguaManager::LinguaManager(UserDefaults& defaults, Riavvio riavvio, QObject* parent)
    : QObject(parent), defaults_(defaults), riavvio_(std::move(riavvio))
{
    // An unknown stored value means the desktop's language; it stays in
    // place until the next change.
    scelta_ = Lingue::daRawValue(defaults_.value(kChiaveLingua).toString()).value_or(LinguaInterfaccia::sistema);
}

void LinguaManager::setScelta(LinguaInterfaccia l)
{
    const LinguaInterfaccia prima = scelta_;
    scelta_ = l;
    emit sceltaChanged();
    if (l != prima)
        applicaLingua();
}

void LinguaManager::applicaLingua()
{
    defaults_.setValue(kChiaveLingua, Lingue::rawValue(scelta_));
    const QStringList lingue = Lingue::elencoLingue(scelta_);
    if (lingue.isEmpty())
        defaults_.remove(kChiaveLingueAvvio);
    else
        defaults_.setValue(kChiaveLingueAvvio, lingue);
    // The new instance reads the file, so it must be on disk before it
    // starts; a choice that cannot be saved leaves this one running.
    if (defaults_.sync())
        riavviaApp();
}

void LinguaManager::riavviaApp()
{
    impostaRiavvio(true);
    if (riavvio_.rilasciaIstanza)
        riavvio_.rilasciaIstanza();
    if (!riavvio_.avviaIstanza) {
        if (riavvio_.riprendiIstanza)
            riavvio_.riprendiIstanza();
        impostaRiavvio(false);
        return;
    }
    QPointer<LinguaManager> io(this);
    riavvio_.avviaIstanza([io](bool avviata) {
        if (!io)
            return;
        if (!avviata) {
            // Keep running in the old language; the new choice is stored
            // and takes effect at the next start.
            if (io->riavvio_.riprendiIstanza)
                io->riavvio_.riprendiIstanza();
            io->impostaRiavvio(false);
            return;
        }
        if (io->riavvio_.esci)
            io->riavvio_.esci();
    });
}

void LinguaManager::impostaRiavvio(bool v)
{
    riavvioInCorso_ = v;
    emit riavvioInCorsoChanged();
}

QString LinguaManager::linguaAllAvvio(const UserDefaults& defaults)
{
    return defaults.stringList(kChiaveLingueAvvio).value(0);
}

QString LinguaManager::nomeLinguaDelSistema()
{
    QString nome = Testi::nomeLingua(QLocale(Traduzioni::linguaEffettiva({})).language());
    if (!nome.isEmpty())
        nome[0] = nome[0].toUpper();
    return nome;
}
