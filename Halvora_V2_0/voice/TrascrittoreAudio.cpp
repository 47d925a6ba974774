#include "TrascrittoreAudio.h"

#include "Aiutanti.h"
#include "ContrattoRiconoscimento.h"
#include "LettoreMp4.h"
#include "Testi.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QTimer>
#include <climits>
#include <csignal>
#include <unistd.h>

namespace {

// "en_us", "en-US" and "EN-us" are one identifier: "en-US".
QString normalizza(const QString& identificatore)
{
    QStringList parti = QString(identificatore).replace(QLatin1Char('_'), QLatin1Char('-')).split(QLatin1Char('-'));
    for (int i = 0; i < parti.size(); ++i) {
        QString& p = parti[i];
        if (i == 0)
            p = p.toLower();
        else if (p.size() == 2)
            p = p.toUpper();
        else if (p.size() == 4)
            p = p.left(1).toUpper() + p.mid(1).toLower();
    }
    return parti.join(QLatin1Char('-'));
}

// The language code of an identifier, or nothing for one without a
// language ("C", "*", an unknown code).
std::optional<QString> codiceLingua(const QString& identificatore)
{
    const QLocale::Language lingua = QLocale(identificatore).language();
    if (lingua == QLocale::C || lingua == QLocale::AnyLanguage)
        return std::nullopt;
    return QLocale::languageToCode(lingua);
}

// Set on a helper killed for outlasting its limit, or for saying too much.
constexpr const char* kScaduto = "scaduto";
constexpr const char* kTroppo = "troppo";
// The text it has said so far, and its process id from its start on.
constexpr const char* kUscita = "uscita";
constexpr const char* kPid = "pid";
// More text than hours of speech give: a helper that says more is broken,
// and what it says is not held.
constexpr qint64 kUscitaMassima = 4 * 1024 * 1024;

// The helper and whatever it started: it leads a process group of its own,
// named by its id. Never 0 or 1, which would name ours or every process.
void uccidiGruppo(QProcess* p)
{
    if (const qint64 pid = p->property(kPid).toLongLong(); pid > 1)
        ::kill(-pid_t(pid), SIGKILL);
    p->kill();
}

// Bytes a second of the thinnest speech recording: a file's length guessed
// from its size is never shorter than the real one.
constexpr double kByteAlSecondoMinimi = 4000;

// Our own text for a file the decoder cannot read: the decoder's messages
// are English whatever the user's language, and say nothing to a user.
QString audioIlleggibile() { return QCoreApplication::translate("TrascrittoreAudio", "Impossibile leggere l'audio."); }

} // namespace

TrascrittoreAudio::TrascrittoreAudio(QObject* parent)
    : TrascrittoreAudio(programmaPredefinito(), kCartellaModelli, parent)
{
}

TrascrittoreAudio::TrascrittoreAudio(QString programma, QString cartellaModelli, QObject* parent)
    : TrascrittoreAudio(std::move(programma), std::move(cartellaModelli), Limite{}, parent)
{
}

TrascrittoreAudio::TrascrittoreAudio(QString programma, QString cartellaModelli, Limite limite, QObject* parent)
    : QObject(parent), programma_(std::move(programma)), cartellaModelli_(std::move(cartellaModelli)), limite_(limite)
{
    if (auto* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &TrascrittoreAudio::fermaTutto);
}

TrascrittoreAudio::~TrascrittoreAudio() { fermaTutto(); }

QString TrascrittoreAudio::programmaPredefinito()
{
#ifdef HALVORA_RICONOSCIMENTO
    return Aiutanti::percorso(QStringLiteral("halvora-riconoscimento"), QStringLiteral(HALVORA_RICONOSCIMENTO));
#else
    return Aiutanti::percorso(QStringLiteral("halvora-riconoscimento"));
#endif
}

void TrascrittoreAudio::trascrivi(const QString& percorso, bool, Risposta fatto)
{
    // Every answer comes later, as one from the helper would.
    auto rispondi = [this, &fatto](const Esito& esito) {
        QMetaObject::invokeMethod(this, [fatto, esito] { fatto(esito); }, Qt::QueuedConnection);
    };
    const auto lingua = localeRiconoscimento(QLocale().uiLanguages(), lingueSupportate(cartellaModelli_));
    if (!lingua) {
        rispondi({Esito::Tipo::nonDisponibile, {}});
        return;
    }
    if (QFile prova(percorso); !prova.open(QIODevice::ReadOnly)) {
        qWarning("Audio da trascrivere non leggibile: %s", qPrintable(prova.errorString()));
        rispondi({Esito::Tipo::fallita, audioIlleggibile()});
        return;
    }

    auto* p = new QProcess(this);
    // A hung helper is killed, so the next transcription can start.
    auto* limite = new QTimer(p);
    limite->setSingleShot(true);
    // A coarse timer may fire up to 5 % early; the helper is owed its whole time.
    limite->setTimerType(Qt::PreciseTimer);
    connect(limite, &QTimer::timeout, p, [p] {
        p->setProperty(kScaduto, true);
        uccidiGruppo(p);
    });
    // Read as it comes, so the pipe never fills and memory never grows past the bound.
    connect(p, &QProcess::readyReadStandardOutput, p, [p] {
        QByteArray letta = p->property(kUscita).toByteArray() + p->readAllStandardOutput();
        if (letta.size() > kUscitaMassima) {
            p->setProperty(kTroppo, true);
            letta.clear();
            uccidiGruppo(p);
        }
        p->setProperty(kUscita, letta);
    });
    p->setChildProcessModifier([] { ::setpgid(0, 0); });
    connect(p, &QProcess::started, limite, [p, limite, ms = limiteMs(percorso, limite_)] {
        p->setProperty(kPid, p->processId());
        limite->start(ms);
    });
    p->setProgram(programma_);
    p->setArguments(ContrattoRiconoscimento::argomenti(cartellaLingua(cartellaModelli_, *lingua)));
    // Opened here, at the start: the helper keeps the file even if the memo is renamed or deleted meanwhile.
    p->setStandardInputFile(percorso);
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(p, &QProcess::finished, this, [this, p, fatto](int codice, QProcess::ExitStatus stato) {
        const QString uscita =
            QString::fromUtf8(p->property(kUscita).toByteArray() + p->readAllStandardOutput()).trimmed();
        // Nothing it started outlives it.
        uccidiGruppo(p);
        Esito esito{Esito::Tipo::nonDisponibile, {}};
        if (p->property(kTroppo).toBool()) {
            qWarning("Riconoscimento vocale fermato: più di %lld byte di testo", kUscitaMassima);
            esito = {Esito::Tipo::fallita, tr("Il riconoscimento vocale si è interrotto.")};
        } else if (p->property(kScaduto).toBool()) {
            qWarning("Riconoscimento vocale fermato: nessuna risposta entro il limite");
            esito = {Esito::Tipo::fallita, tr("Il riconoscimento vocale non ha risposto in tempo.")};
        } else if (stato == QProcess::CrashExit) {
            qWarning("Riconoscimento vocale interrotto: %s", qPrintable(p->errorString()));
            esito = {Esito::Tipo::fallita, tr("Il riconoscimento vocale si è interrotto.")};
        } else if (codice == ContrattoRiconoscimento::testo) {
            esito = uscita.isEmpty() ? Esito{Esito::Tipo::fallita, tr("Nessun parlato riconosciuto.")}
                                     : Esito{Esito::Tipo::testo, uscita};
        } else if (codice == ContrattoRiconoscimento::audioIlleggibile) {
            esito = {Esito::Tipo::fallita, audioIlleggibile()};
        }
        concludi(p, fatto, esito);
    });
    connect(p, &QProcess::errorOccurred, this, [this, p, fatto](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            concludi(p, fatto, {Esito::Tipo::nonDisponibile, {}});
    });
    processi_.append(p);
    p->start();
}

void TrascrittoreAudio::concludi(QProcess* p, const Risposta& fatto, const Esito& esito)
{
    processi_.removeAll(p);
    p->disconnect(this);
    p->deleteLater();
    fatto(esito);
}

int TrascrittoreAudio::limiteMs(const QString& percorso, const Limite& limite)
{
    const double secondi =
        LettoreMp4::secondiAudio(percorso).value_or(double(QFileInfo(percorso).size()) / kByteAlSecondoMinimi);
    return int(std::min(limite.fissoMs + 1000.0 * limite.perSecondoAudio * secondi, double(INT_MAX)));
}

TrascrittoreAudio::Funzione TrascrittoreAudio::funzione()
{
    QPointer<TrascrittoreAudio> io(this);
    return [io](const QString& percorso, bool soloSulDispositivo, Risposta fatto) {
        if (io)
            io->trascrivi(percorso, soloSulDispositivo, std::move(fatto));
        else
            fatto({Esito::Tipo::nonDisponibile, {}});
    };
}

TrascrittoreAudio::Funzione TrascrittoreAudio::nessuno()
{
    return [](const QString&, bool, Risposta fatto) { fatto({Esito::Tipo::nonDisponibile, {}}); };
}

int TrascrittoreAudio::inCorso() const
{
    return int(std::count_if(processi_.begin(), processi_.end(), [](const QPointer<QProcess>& p) { return !p.isNull(); }));
}

void TrascrittoreAudio::fermaTutto()
{
    const QList<QPointer<QProcess>> tutti = std::exchange(processi_, {});
    for (const QPointer<QProcess>& p : tutti) {
        if (!p)
            continue;
        p->disconnect(this);
        uccidiGruppo(p);
        p->waitForFinished(1000);
        delete p.data();
    }
}

QStringList TrascrittoreAudio::lingueSupportate(const QString& cartellaModelli)
{
    QStringList lingue;
    for (const QString& nome : QDir(cartellaModelli).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        lingue << normalizza(nome);
    return lingue;
}

QString TrascrittoreAudio::cartellaLingua(const QString& cartellaModelli, const QString& lingua)
{
    const QDir dir(cartellaModelli);
    for (const QString& nome : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        if (normalizza(nome) == lingua)
            return dir.filePath(nome);
    return dir.filePath(lingua);
}

std::optional<QString> TrascrittoreAudio::localeRiconoscimento(const QStringList& preferite,
                                                               const QStringList& supportate)
{
    for (const QString& voce : preferite) {
        const QString candidato = normalizza(voce);
        for (const QString& s : supportate)
            if (normalizza(s) == candidato)
                return s;
        const auto codice = codiceLingua(candidato);
        if (!codice)
            continue;
        for (const QString& s : supportate)
            if (codiceLingua(s) == codice)
                return s;
    }
    for (const QString& s : supportate)
        if (normalizza(s).startsWith(QLatin1String("en")))
            return s;
    return std::nullopt;
}

QString TrascrittoreAudio::nomeLinguaRiconoscimento(const QStringList& preferite, const QStringList& supportate)
{
    const auto scelta = localeRiconoscimento(preferite, supportate);
    if (!scelta)
        return Testi::tr("non disponibile");
    const QLocale locale(*scelta);
    if (const QString nome = Testi::nomeLingua(locale.language()); !nome.isEmpty())
        return nome;
    if (locale.language() != QLocale::C)
        return QLocale::languageToString(locale.language());
    return *scelta;
}

QString TrascrittoreAudio::nomeLinguaRiconoscimento()
{
    // The model folder is listed once: it only changes with a package install.
    static const QStringList supportate = lingueSupportate();
    return nomeLinguaRiconoscimento(QLocale().uiLanguages(), supportate);
}
