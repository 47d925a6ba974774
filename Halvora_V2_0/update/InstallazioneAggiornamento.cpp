#include "InstallazioneAggiornamento.h"

#include "Aiutanti.h"
#include "CopiaInApplicazioni.h"
#include "FirmaBundle.h"
#include "InfoBundle.h"
#include "NotchGeometry.h"
#include "Testi.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProcess>
#include <QTimer>
#include <QUuid>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString nonRiuscito() { return Testi::tr("Il download non è riuscito."); }
QString illeggibile() { return Testi::tr("Il pacchetto scaricato non è leggibile."); }
QString erroreDiSistema(int numero) { return QString::fromLocal8Bit(std::strerror(numero)); }

// Removes a tree without following any link in it; what cannot go stays.
void rimuoviAlbero(const QString& percorso)
{
    ::nftw(QFile::encodeName(percorso).constData(),
           [](const char* p, const struct stat*, int, FTW*) {
               ::remove(p);
               return 0;
           },
           16, FTW_DEPTH | FTW_PHYS);
}

struct Descrittore {
    int fd;
    explicit Descrittore(int f) : fd(f) {}
    ~Descrittore()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

// Lives on the installation's thread: owns the network there and runs the
// unpacking, checks and swap, which block, one run at a time.
class LavoratoreInstallazione final : public QObject {
    Q_OBJECT
public:
    LavoratoreInstallazione(InstallazioneAggiornamento::Opzioni o, QString destinazione)
        : o_(std::move(o)), destinazione_(std::move(destinazione))
    {
    }
    // A quit in the middle of a run leaves nothing of it behind.
    ~LavoratoreInstallazione() override
    {
        for (const QString& c : std::as_const(cartelle_))
            rimuoviAlbero(c);
    }

    // Set from the owner's thread at quit: the unpacking stops.
    std::atomic<bool> fermato{false};

public slots:
    void avvia(quint64 id, const QUrl& url, const QString& versione)
    {
        if (!url.isValid() || url.scheme() != QLatin1String("https") || url.host().isEmpty()) {
            emit fine(id, false, nonRiuscito());
            return;
        }
        const QString uuid = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
        const QString scarico = QDir::tempPath() + QStringLiteral("/aggiornamento-") + uuid;
        if (::mkdir(QFile::encodeName(scarico).constData(), 0700) != 0) {
            emit fine(id, false, erroreDiSistema(errno));
            return;
        }
        cartelle_ << scarico;
        auto file = std::make_shared<QFile>(scarico + QStringLiteral("/pacchetto.zip"));
        if (!file->open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            const QString e = file->errorString();
            chiudi(scarico);
            emit fine(id, false, e);
            return;
        }
        if (!rete_)
            rete_ = new QNetworkAccessManager(this);
        QNetworkRequest richiesta(url);
        richiesta.setSslConfiguration(o_.ssl);
        richiesta.setTransferTimeout(o_.inattivitaMs);
        richiesta.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
        richiesta.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
        richiesta.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
        QNetworkReply* r = rete_->get(richiesta);
        auto troppo = std::make_shared<bool>(false);
        // Past the idle time-out, a server that drips keeps the card busy for
        // ever: the whole download has a limit too, longer for more bytes.
        auto* limite = new QTimer(r);
        limite->setSingleShot(true);
        connect(limite, &QTimer::timeout, r, [r, troppo] {
            *troppo = true;
            r->abort();
        });
        QElapsedTimer inizio;
        inizio.start();
        auto rinvia = [this, r, limite, inizio, file] {
            const qint64 byte = std::max(r->header(QNetworkRequest::ContentLengthHeader).toLongLong(), file->size());
            const qint64 ms = o_.margineMs + byte * 1000 / std::max<qint64>(1, o_.velocitaMinima) - inizio.elapsed();
            limite->start(int(std::clamp<qint64>(ms, 0, INT_MAX)));
        };
        rinvia();
        auto scrivi = [this, r, file, troppo, rinvia] {
            const QByteArray d = r->readAll();
            if (file->size() + d.size() > o_.scaricoMassimo || file->write(d) != d.size()) {
                *troppo = true;
                r->abort();
                return;
            }
            rinvia();
        };
        connect(r, &QNetworkReply::metaDataChanged, this, [this, r, troppo, rinvia] {
            if (r->header(QNetworkRequest::ContentLengthHeader).toLongLong() > o_.scaricoMassimo) {
                *troppo = true;
                r->abort();
                return;
            }
            rinvia();
        });
        connect(r, &QNetworkReply::readyRead, this, scrivi);
        connect(r, &QNetworkReply::finished, this, [this, r, file, troppo, scrivi, id, scarico, uuid, versione] {
            r->deleteLater();
            if (r->isOpen() && !*troppo)
                scrivi();
            file->close();
            const QVariant stato = r->attribute(QNetworkRequest::HttpStatusCodeAttribute);
            std::optional<QString> errore;
            if (*troppo || (stato.isValid() && (stato.toInt() < 200 || stato.toInt() > 299)) ||
                r->error() == QNetworkReply::OperationCanceledError || r->error() == QNetworkReply::TimeoutError)
                errore = nonRiuscito();
            else if (r->error() != QNetworkReply::NoError || !stato.isValid())
                errore = r->errorString().isEmpty() ? nonRiuscito() : r->errorString();
            if (!errore) {
                emit passo(id, Testi::tr("Verifico…"));
                errore = installa(id, file->fileName(), uuid, versione);
            }
            chiudi(scarico);
            emit fine(id, !errore, errore.value_or(QString()));
        });
    }

signals:
    void passo(quint64 id, const QString& testo);
    void fine(quint64 id, bool riuscita, const QString& errore);

private:
    void chiudi(const QString& cartella)
    {
        rimuoviAlbero(cartella);
        cartelle_.removeOne(cartella);
    }

    // Unpacks beside the installed copy (the swap needs one file system),
    // checks and swaps; the failure text, or none once in place.
    std::optional<QString> installa(quint64 id, const QString& zip, const QString& uuid, const QString& versione)
    {
        const QFileInfo destinazione(destinazione_);
        const QString madre = destinazione.absolutePath();
        if (!QDir().mkpath(madre))
            return erroreDiSistema(errno ? errno : EACCES);
        const QString cartella = madre + QLatin1Char('/') + QLatin1String(CopiaInApplicazioni::kAggiornamento) + uuid;
        if (::mkdir(QFile::encodeName(cartella).constData(), 0700) != 0)
            return erroreDiSistema(errno);
        cartelle_ << cartella;
        const auto esito = verificaEScambia(id, zip, cartella, versione);
        chiudi(cartella);
        return esito;
    }

    std::optional<QString> verificaEScambia(quint64 id, const QString& zip, const QString& cartella, const QString& versione)
    {
        QProcess p;
        p.start(o_.scompattatore, {zip, cartella, QString::number(o_.vociMassime), QString::number(o_.byteMassimi)});
        if (!p.waitForStarted())
            return illeggibile();
        QElapsedTimer attesa;
        attesa.start();
        while (p.state() != QProcess::NotRunning && !p.waitForFinished(100))
            if (fermato || attesa.elapsed() > o_.attesaScompattaMs) {
                p.kill();
                p.waitForFinished();
                return illeggibile();
            }
        QFile::remove(zip);
        if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            return illeggibile();

        QString nuova;
        for (const QString& nome : QDir(cartella).entryList(QDir::Dirs | QDir::Hidden | QDir::NoSymLinks | QDir::NoDotAndDotDot, QDir::Name))
            if (nome.endsWith(QLatin1String(".app")) && nome.size() > 4) {
                nuova = nome;
                break;
            }
        if (nuova.isEmpty())
            return illeggibile();
        const QString bundle = cartella + QLatin1Char('/') + nuova;
        // Signed by our key and naming this application.
        if (!FirmaBundle::verifica(bundle, o_.chiave).valida())
            return Testi::tr("Il pacchetto scaricato non ha una firma valida: non lo installo.");
        const auto info = InfoBundle::daBundle(bundle);
        if (!info || info->versione != versione)
            return Testi::tr("Il pacchetto scaricato non è la versione annunciata.");
        if (info->architettura != o_.architettura)
            return illeggibile();

        emit passo(id, Testi::tr("Installo…"));
        const QFileInfo destinazione(destinazione_);
        Descrittore da(::open(QFile::encodeName(cartella).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        Descrittore a(::open(QFile::encodeName(destinazione.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (da.fd < 0 || a.fd < 0)
            return erroreDiSistema(errno);
        if (const int e = CopiaInApplicazioni::sostituisci(da.fd, QFile::encodeName(nuova).constData(), a.fd,
                                                          QFile::encodeName(destinazione.absolutePath()),
                                                          QFile::encodeName(destinazione.fileName()).toStdString(),
                                                          o_.rinomina))
            return erroreDiSistema(e);
        return std::nullopt;
    }

    InstallazioneAggiornamento::Opzioni o_;
    QString destinazione_;
    QNetworkAccessManager* rete_ = nullptr;
    QStringList cartelle_; // of the runs under way
};

InstallazioneAggiornamento::InstallazioneAggiornamento(Opzioni o, QObject* parent) : QObject(parent)
{
    if (o.destinazione.isEmpty())
        o.destinazione = NotchGeometry::Posizione::corrente().destinazione();
    if (o.chiave.isEmpty())
        o.chiave = FirmaBundle::chiaveDiRilascio();
    if (o.architettura.isEmpty())
        o.architettura = QStringLiteral(HALVORA_ARCHITETTURA);
    if (o.scompattatore.isEmpty())
        o.scompattatore = Aiutanti::percorso(QStringLiteral("halvora-scompatta"), QStringLiteral(HALVORA_SCOMPATTA));
    destinazione_ = QDir::cleanPath(o.destinazione);
    lavoratore_ = new LavoratoreInstallazione(std::move(o), destinazione_);
    lavoratore_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, lavoratore_, &QObject::deleteLater);
    connect(lavoratore_, &LavoratoreInstallazione::passo, this, &InstallazioneAggiornamento::passoRicevuto,
            Qt::QueuedConnection);
    connect(lavoratore_, &LavoratoreInstallazione::fine, this, &InstallazioneAggiornamento::fineRicevuta,
            Qt::QueuedConnection);
    thread_.setObjectName(QStringLiteral("InstallazioneAggiornamento"));
    thread_.start();
}

InstallazioneAggiornamento::~InstallazioneAggiornamento()
{
    lavoratore_->fermato = true;
    thread_.quit();
    thread_.wait();
}

void InstallazioneAggiornamento::avvia(const QUrl& pacchetto, const QString& versione,
                                       std::function<void(const QString&)> passo,
                                       std::function<void(std::optional<QString>)> fine)
{
    const quint64 id = ++prossimo_;
    inCorso_.insert(id, {std::move(passo), std::move(fine)});
    QMetaObject::invokeMethod(lavoratore_, "avvia", Qt::QueuedConnection, Q_ARG(quint64, id), Q_ARG(QUrl, pacchetto),
                              Q_ARG(QString, versione));
}

void InstallazioneAggiornamento::passoRicevuto(quint64 id, const QString& testo)
{
    if (auto it = inCorso_.find(id); it != inCorso_.end() && it->passo)
        it->passo(testo);
}

void InstallazioneAggiornamento::fineRicevuta(quint64 id, bool riuscita, const QString& errore)
{
    const Richiamo r = inCorso_.take(id);
    if (r.fine)
        r.fine(riuscita ? std::nullopt : std::optional<QString>(errore));
}

#include "InstallazioneAggiornamento.moc"
