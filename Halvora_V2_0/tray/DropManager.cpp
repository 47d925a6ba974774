#include "DropManager.h"

#include "InvioVicino.h"
#include "OperazioniVassoio.h"
#include "PersistenzaVassoio.h"
#include "SalvataggioSicuro.h"
#include "TipiVassoio.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPointer>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QThread>
#include <QRegularExpression>
#include <QUuid>
#include <algorithm>
#include <atomic>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QUrl standardizza(const QUrl& u)
{
    return u.isLocalFile() ? QUrl::fromLocalFile(QDir::cleanPath(u.toLocalFile())) : u;
}

// Wraps a provider's answer: it is taken once, and handled on the GUI
// thread while the manager still exists.
template <typename T>
std::function<void(T)> sulThreadGui(QPointer<DropManager> dm, std::function<void(T)> poi)
{
    auto risposto = std::make_shared<std::atomic_bool>(false);
    return [dm, poi = std::move(poi), risposto](T valore) {
        if (risposto->exchange(true) || !dm)
            return;
        QMetaObject::invokeMethod(
            dm.data(), [poi, valore = std::move(valore)] { poi(valore); }, Qt::QueuedConnection);
    };
}

std::optional<QUrl> comeURL(const QVariant& v)
{
    QUrl u;
    if (v.typeId() == QMetaType::QUrl)
        u = v.toUrl();
    else if (v.typeId() == QMetaType::QByteArray)
        u = QUrl::fromEncoded(v.toByteArray().trimmed());
    else if (v.typeId() == QMetaType::QString)
        u = QUrl(v.toString());
    if (!u.isValid() || u.isEmpty())
        return std::nullopt;
    return u;
}

std::optional<QString> comeTesto(const QVariant& v)
{
    if (v.typeId() == QMetaType::QString)
        return v.toString();
    if (v.typeId() != QMetaType::QByteArray)
        return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString s = utf8(v.toByteArray());
    if (utf8.hasError())
        return std::nullopt;
    return s;
}

// Image bytes, or a local image file; decoded on the worker.
QImage comeImmagine(const QVariant& v)
{
    if (v.typeId() == QMetaType::QByteArray)
        return QImage::fromData(v.toByteArray());
    if (v.typeId() == QMetaType::QUrl && v.toUrl().isLocalFile())
        return QImage(v.toUrl().toLocalFile());
    return {};
}

// The rows' order is written down at most this often while they change.
constexpr int kAttesaOrdineMs = 1000;
// The order of the rows, written beside the tray folder, which holds only its items.
QString fileOrdine(const QString& tray) { return QFileInfo(tray).path() + QStringLiteral("/.ordine-vassoio"); }

// A UUID in the form the tray's folders are named by.
bool eUuid(const QString& nome)
{
    static const QRegularExpression forma(
        QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"));
    return forma.match(nome).hasMatch();
}

// The tray's own entry that holds `file`: its UUID folder, or the file
// itself when it lies directly in the tray; nothing outside the tray.
std::optional<QString> voceDelVassoio(const QString& tray, const QString& file)
{
    const QString cartella = QDir(tray).canonicalPath();
    const QString percorso = QFileInfo(QFileInfo(file).absolutePath()).canonicalFilePath() + QLatin1Char('/')
                             + QFileInfo(file).fileName();
    if (cartella.isEmpty() || !percorso.startsWith(cartella + QLatin1Char('/')))
        return std::nullopt;
    const QStringList parti = percorso.mid(cartella.size() + 1).split(QLatin1Char('/'));
    if (parti.size() == 2 && eUuid(parti.first()))
        return cartella + QLatin1Char('/') + parti.first();
    if (parti.size() == 1)
        return percorso;
    return std::nullopt;
}

// Moves `percorso` to the trash as `nome`: renamed first inside a hidden
// folder of its own, where nothing lists it.
void cestinaCome(const QString& tray, const QString& percorso, const QString& nome)
{
    const QString appoggio = tray + QLatin1Char('/') + QLatin1String(PersistenzaVassoio::kPrefissoParziale)
                             + PersistenzaVassoio::nuovoUuid();
    const QString via = appoggio + QLatin1Char('/') + nome;
    if (nome.isEmpty() || !QDir().mkdir(appoggio) || !QFile::rename(percorso, via)) {
        QDir().rmdir(appoggio);
        if (!QFile::moveToTrash(percorso))
            qWarning("Avanzo del vassoio non spostato nel cestino: %s", qPrintable(percorso));
        return;
    }
    if (!QFile::moveToTrash(via))
        qWarning("Avanzo del vassoio non spostato nel cestino: %s", qPrintable(via));
    QDir().rmdir(appoggio);
}

} // namespace

void DropManager::ripulisciAvanzi(const QString& tray)
{
    const QDir dir(tray);
    for (const QString& nome : dir.entryList({QLatin1String(PersistenzaVassoio::kPrefissoParziale) + QLatin1Char('*')},
                                             QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot)) {
        const QString cartella = dir.filePath(nome);
        const int presa = ::open(QFile::encodeName(cartella).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
        if (presa < 0)
            continue;
        const bool libera = ::flock(presa, LOCK_EX | LOCK_NB) == 0;
        if (libera) {
            const QStringList dentro = QDir(cartella).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
            // The copy goes by its own name; anything more, in its folder.
            const QString via = dentro.size() == 1 ? cartella + QLatin1Char('/') + dentro.first() : cartella;
            if (!dentro.isEmpty() && !QFile::moveToTrash(via))
                qWarning("Avanzo del vassoio non spostato nel cestino: %s", qPrintable(via));
            QDir().rmdir(cartella);
        }
        ::close(presa);
    }
    for (const SalvataggioSicuro::Avanzo& a : SalvataggioSicuro::avanzi(tray))
        cestinaCome(tray, a.percorso, QFileInfo(a.destinazione).fileName());
    // The rows' order is written down again from the list.
    for (const SalvataggioSicuro::Avanzo& a : SalvataggioSicuro::avanzi(QFileInfo(tray).path()))
        if (a.destinazione == fileOrdine(tray))
            QFile::remove(a.percorso);
}

// What a writer made of one item: the new file, or the reason it could not.
struct DropManager::Scritto {
    std::optional<QString> file;
    std::optional<SalvataggioSicuro::Errore> errore;
};

// One drop, walked provider by provider: each is loaded, written and
// listed before the next is looked at, so the list follows drop order.
class DropManager::Ingestione : public std::enable_shared_from_this<Ingestione> {
public:
    using Tipo = FornitoreElemento::Tipo;

    Ingestione(DropManager* dm, Fornitori fornitori, std::function<void()> fatto)
        : dm_(dm), fornitori_(std::move(fornitori)), fatto_(std::move(fatto))
    {
    }

    void prossimo()
    {
        if (!dm_)
            return;
        if (++indice_ >= fornitori_.size()) {
            if (nonRiusciti_ > 0)
                emit dm_->rilascioNonRiuscito(nonRiusciti_, motivo_);
            if (fatto_)
                fatto_();
            return;
        }
        if (corrente().conforme(Tipo::fileURL))
            caricaURL(Tipo::fileURL, [self = shared_from_this()](std::optional<QUrl> u) { self->dopoURLFile(u); });
        else
            dopoURLFile(std::nullopt);
    }

private:
    FornitoreElemento& corrente() { return *fornitori_.at(indice_); }

    void caricaURL(Tipo tipo, std::function<void(std::optional<QUrl>)> poi)
    {
        corrente().caricaElemento(tipo, sulThreadGui<QVariant>(dm_, [poi](QVariant v) { poi(comeURL(v)); }));
    }

    void dopoURLFile(std::optional<QUrl> url)
    {
        if (!url && corrente().conforme(Tipo::url))
            caricaURL(Tipo::url, [self = shared_from_this()](std::optional<QUrl> u) { self->dopoURL(u); });
        else
            dopoURL(url);
    }

    // A representation of the first registered format comes before the
    // URL's copy, the text and the image.
    void dopoURL(std::optional<QUrl> url)
    {
        const QStringList tipi = corrente().tipiRegistrati();
        if (tipi.isEmpty()) {
            dopoRappresentazione(url, Scritto{});
            return;
        }
        const QString nome = corrente().nomeSuggerito().value_or(QString());
        auto poi = sulThreadGui<Scritto>(
            dm_, [self = shared_from_this(), url](Scritto scritto) { self->dopoRappresentazione(url, scritto); });
        // The copy happens while the provider's temporary file still exists.
        corrente().caricaRappresentazione(tipi.first(), [nome, poi](std::optional<QString> temporaneo) {
            Scritto s;
            if (temporaneo) {
                SalvataggioSicuro::Errore errore;
                s.file = PersistenzaVassoio::persistRappresentazione(*temporaneo, nome, DropManager::trayFolder(), &errore);
                if (!s.file && errore.codice)
                    s.errore = errore;
            }
            poi(s);
        });
    }

    void dopoRappresentazione(std::optional<QUrl> url, const Scritto& scritto)
    {
        // A representation that could not be written for want of room is
        // told, not tried again as text or as an image.
        if (scritto.file || scritto.errore)
            return fine(scritto);
        if (url) {
            const QUrl u = *url;
            if (u.isLocalFile())
                dm_->inBackground([u](auto* e) { return PersistenzaVassoio::persistFileURL(u, DropManager::trayFolder(), e); },
                                  fineCon());
            else
                dm_->inBackground([u](auto* e) { return PersistenzaVassoio::persistWebLink(u, DropManager::trayFolder(), e); },
                                  fineCon());
            return;
        }
        if (corrente().conforme(Tipo::testo)) {
            corrente().caricaElemento(
                Tipo::testo, sulThreadGui<QVariant>(dm_, [self = shared_from_this()](QVariant v) { self->dopoTesto(v); }));
            return;
        }
        dopoTesto(QVariant());
    }


    void dopoTesto(const QVariant& v)
    {
        if (const auto testo = comeTesto(v)) {
            const QString s = *testo;
            if (const auto link = PersistenzaVassoio::webURL(s))
                dm_->inBackground(
                    [l = *link](auto* e) { return PersistenzaVassoio::persistWebLink(l, DropManager::trayFolder(), e); },
                    fineCon());
            else
                dm_->inBackground(
                    [s](auto* e) { return PersistenzaVassoio::persistTesto(s, DropManager::trayFolder(), e); }, fineCon());
            return;
        }
        if (!corrente().conforme(Tipo::immagine))
            return fine(Scritto{});
        corrente().caricaElemento(Tipo::immagine,
                                  sulThreadGui<QVariant>(dm_, [self = shared_from_this()](QVariant dati) {
                                      self->dm_->inBackground(
                                          [dati](auto* e) {
                                              const QImage img = comeImmagine(dati);
                                              if (img.isNull())
                                                  return std::optional<QString>();
                                              return PersistenzaVassoio::persistImage(img, DropManager::trayFolder(), e);
                                          },
                                          self->fineCon());
                                  }));
    }

    std::function<void(Scritto)> fineCon()
    {
        return [self = shared_from_this()](const Scritto& s) { self->fine(s); };
    }

    void fine(const Scritto& scritto)
    {
        if (!dm_)
            return;
        if (scritto.file)
            dm_->addToTray(QUrl::fromLocalFile(*scritto.file));
        else if (scritto.errore && nonRiusciti_++ == 0)
            motivo_ = scritto.errore->testo();
        prossimo();
    }

    QPointer<DropManager> dm_;
    Fornitori fornitori_;
    std::function<void()> fatto_;
    qsizetype indice_ = -1;
    int nonRiusciti_ = 0; // items that could not be written
    QString motivo_;      // why the first of them could not
};

DropManager::DropManager(InvioVicino& invio, std::unique_ptr<CatturaSchermo> cattura, QObject* parent)
    : QObject(parent), invio_(invio), cattura_(std::move(cattura))
{
    lavoro_.setMaxThreadCount(1);
    conversioni_.setMaxThreadCount(qBound(2, QThread::idealThreadCount() / 2, 4));
    cura_.setMaxThreadCount(1);
    salvaOrdine_.setSingleShot(true);
    salvaOrdine_.setInterval(kAttesaOrdineMs);
    connect(&salvaOrdine_, &QTimer::timeout, this,
            [this] { cura_.start([tray = trayFolder(), files = draggedFiles_] { scriviOrdine(tray, files); }); });
    ripristina();
}

DropManager::~DropManager()
{
    // Writers still running finish here, so none is cut off half way;
    // conversions give up at their next step and leave no partial file.
    stop_->richiedi();
    conversioni_.clear();
    lavoro_.clear();
    conversioni_.waitForDone();
    lavoro_.waitForDone();
    cura_.waitForDone();
    if (salvaOrdine_.isActive())
        scriviOrdine(trayFolder(), draggedFiles_);
}

QString DropManager::trayFolder()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    base = base.isEmpty() ? QDir::tempPath() : base + QStringLiteral("/Documents");
    const QString tray = base + QStringLiteral("/Tray");
    QDir().mkpath(tray);
    return tray;
}

void DropManager::setDraggedFiles(const QList<QUrl>& files)
{
    const QSet<QUrl> nuovi(files.cbegin(), files.cend());
    QList<QUrl> via;
    for (const QUrl& u : std::as_const(draggedFiles_))
        if (!nuovi.contains(u))
            via << u;
    draggedFiles_ = files;
    elencati_ = nuovi;
    emit draggedFilesChanged();
    cestina(via);
    listaCambiata();
}

void DropManager::addToTray(const QUrl& file)
{
    const QUrl u = standardizza(file);
    if (elencati_.contains(u))
        return;
    draggedFiles_.append(u);
    elencati_.insert(u);
    emit aggiunto(u);
    emit draggedFilesChanged();
    listaCambiata();
}

void DropManager::remove(const QUrl& file)
{
    const bool presente = draggedFiles_.removeAll(file) > 0;
    elencati_.remove(file);
    emit draggedFilesChanged();
    if (presente) {
        cestina({file});
        listaCambiata();
    }
}

void DropManager::listaCambiata()
{
    if (!salvaOrdine_.isActive())
        salvaOrdine_.start();
}

void DropManager::scriviOrdine(const QString& tray, const QList<QUrl>& files)
{
    // One line per row: the name of its entry in the tray, percent-encoded.
    QByteArray testo;
    const QString prefisso = tray + QLatin1Char('/');
    for (const QUrl& u : files) {
        const QString p = u.toLocalFile();
        if (p.startsWith(prefisso))
            testo += p.mid(prefisso.size()).section(QLatin1Char('/'), 0, 0).toUtf8().toPercentEncoding() + '\n';
    }
    if (const auto errore = SalvataggioSicuro::salva(fileOrdine(tray), testo))
        qWarning("Ordine del vassoio non salvato: %s", qPrintable(errore->testo()));
}

void DropManager::cestina(const QList<QUrl>& files)
{
    QStringList percorsi;
    for (const QUrl& u : files)
        if (u.isLocalFile())
            percorsi << u.toLocalFile();
    if (percorsi.isEmpty())
        return;
    cura_.start([percorsi, tray = trayFolder()] {
        for (const QString& p : percorsi) {
            const auto voce = voceDelVassoio(tray, p);
            if (!voce)
                continue; // not ours: the user's own files are never touched
            // A UUID folder goes whole, unless someone put more in it.
            const bool cartella = *voce != p
                                  && QDir(*voce).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size() == 1;
            const QString via = cartella ? *voce : p;
            if (QFileInfo::exists(via) && !QFile::moveToTrash(via))
                qWarning("Copia del vassoio non spostata nel cestino: %s", qPrintable(via));
        }
    });
}

QList<QUrl> DropManager::copieNelVassoio(const QString& tray)
{
    struct Copia {
        QString nome;
        qint64 posizione; // in the written order, or after all of it
        qint64 secondi, nanosecondi;
    };
    QHash<QString, qint64> ordine;
    {
        QFile f(fileOrdine(tray));
        if (f.open(QIODevice::ReadOnly))
            for (const QByteArray& riga : f.readAll().split('\n'))
                if (!riga.isEmpty())
                    ordine.insert(QString::fromUtf8(QByteArray::fromPercentEncoding(riga)), ordine.size());
    }
    std::vector<Copia> copie;
    const QDir dir(tray);
    for (const QString& nome : dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System)) {
        // Every item becomes visible by one rename or link, which stamps its change time.
        struct stat st {};
        if (::lstat(QFile::encodeName(dir.filePath(nome)).constData(), &st) != 0)
            continue;
        copie.push_back({nome, ordine.value(nome, ordine.size()), qint64(st.st_ctim.tv_sec), qint64(st.st_ctim.tv_nsec)});
    }
    std::stable_sort(copie.begin(), copie.end(), [](const Copia& a, const Copia& b) {
        return std::tie(a.posizione, a.secondi, a.nanosecondi) < std::tie(b.posizione, b.secondi, b.nanosecondi);
    });
    QList<QUrl> urls;
    for (const Copia& c : copie) {
        QString percorso = dir.filePath(c.nome);
        if (eUuid(c.nome) && QFileInfo(percorso).isDir()) {
            const QStringList dentro =
                QDir(percorso).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
            if (dentro.isEmpty())
                continue;
            if (dentro.size() == 1)
                percorso += QLatin1Char('/') + dentro.first();
        }
        urls << QUrl::fromLocalFile(percorso);
    }
    return urls;
}

void DropManager::ripristina()
{
    QPointer<DropManager> io(this);
    const QString tray = trayFolder();
    lavoro_.start([io, tray] {
        ripulisciAvanzi(tray);
        QList<QUrl> copie = copieNelVassoio(tray);
        if (copie.isEmpty())
            return;
        QMetaObject::invokeMethod(
            io.data(),
            [io, copie = std::move(copie)] {
                if (!io)
                    return;
                // Before anything that came in meanwhile, which is newer.
                QList<QUrl> elenco;
                QSet<QUrl> visti;
                for (const QUrl& u : copie)
                    if (!visti.contains(u)) {
                        visti.insert(u);
                        elenco << u;
                    }
                for (const QUrl& u : std::as_const(io->draggedFiles_))
                    if (!visti.contains(u)) {
                        visti.insert(u);
                        elenco << u;
                    }
                io->draggedFiles_ = elenco;
                io->elencati_ = visti;
                emit io->draggedFilesChanged();
                io->listaCambiata();
            },
            Qt::QueuedConnection);
    });
}

QVariantList DropManager::sharingItems(const QList<QUrl>& files)
{
    QVariantList elementi;
    for (const QUrl& u : files)
        elementi << QVariant(u);
    return elementi;
}

void DropManager::handleProviderDrop(const Fornitori& fornitori, std::function<void()> fatto)
{
    std::make_shared<Ingestione>(this, fornitori, std::move(fatto))->prossimo();
}

void DropManager::inBackground(std::function<std::optional<QString>(SalvataggioSicuro::Errore*)> lavoro,
                               std::function<void(Scritto)> poi)
{
    auto risposta = sulThreadGui<Scritto>(this, std::move(poi));
    lavoro_.start([lavoro = std::move(lavoro), risposta] {
        Scritto s;
        SalvataggioSicuro::Errore errore;
        s.file = lavoro(&errore);
        if (!s.file && errore.codice)
            s.errore = errore;
        risposta(s);
    });
}

QStringList DropManager::esistenti(const QList<QUrl>& files)
{
    QStringList percorsi;
    for (const QUrl& u : files)
        if (u.isLocalFile() && QFileInfo::exists(u.toLocalFile()))
            percorsi << u.toLocalFile();
    return percorsi;
}

void DropManager::puoInviareConAirDrop(const QList<QUrl>& files, std::function<void(bool)> risposta)
{
    const QStringList percorsi = esistenti(files);
    if (percorsi.isEmpty()) {
        risposta(false);
        return;
    }
    invio_.puoInviare(percorsi, std::move(risposta));
}

void DropManager::inviaConAirDrop(const QList<QUrl>& files)
{
    const QStringList percorsi = esistenti(files);
    if (!percorsi.isEmpty())
        invio_.invia(percorsi);
}

void DropManager::captureScreenshot(CaptureMode mode, std::function<void()> beforeCapture,
                                    std::function<void(std::optional<QUrl>)> fatto)
{
    auto nulla = [this, fatto] {
        QMetaObject::invokeMethod(
            this,
            [fatto] {
                if (fatto)
                    fatto(std::nullopt);
            },
            Qt::QueuedConnection);
    };
    if (!cattura_ || cattura_->inCorso())
        return nulla();
    if (beforeCapture)
        beforeCapture();
    const QString nome = QStringLiteral("screenshot_")
                         + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() + QStringLiteral(".png");
    const QUrl file = standardizza(QUrl::fromLocalFile(QDir(trayFolder()).filePath(nome)));
    // Refused only when `beforeCapture` itself began another capture.
    const bool avviata = cattura_->cattura(mode, file.toLocalFile(), [this, file, fatto](bool salvato) {
        if (salvato)
            addToTray(file);
        if (fatto)
            fatto(salvato ? std::optional<QUrl>(file) : std::nullopt);
    });
    if (!avviata)
        nulla();
}

QStringList DropManager::ingressi(OperazioneVassoio operazione, const QList<QUrl>& files)
{
    bool (*prova)(const QString&) = nullptr;
    switch (operazione) {
    case OperazioneVassoio::converti:
    case OperazioneVassoio::immaginiInPDF:
    case OperazioneVassoio::estraiTesto:
        prova = TipiVassoio::eImmagine;
        break;
    case OperazioneVassoio::pdfInImmagini:
    case OperazioneVassoio::unisciPDF:
    case OperazioneVassoio::pdfInWord:
        prova = TipiVassoio::ePdf;
        break;
    case OperazioneVassoio::documentiInPDF:
        prova = TipiVassoio::eDocumento;
        break;
    case OperazioneVassoio::creaArchivio:
        break;
    }
    QStringList scelti;
    for (const QUrl& u : files)
        if (u.isLocalFile() && (!prova || prova(u.toLocalFile())))
            scelti << u.toLocalFile();
    return scelti;
}

void DropManager::esegui(OperazioneVassoio operazione, const QList<QUrl>& files, Poi<EsitoConversione> fatto,
                         Conversione conversione)
{
    const QStringList scelti = ingressi(operazione, files);
    QList<QUrl> presi;
    for (const QString& s : scelti)
        presi << QUrl::fromLocalFile(s);
    const bool nienteDaFare = scelti.isEmpty() || (operazione == OperazioneVassoio::unisciPDF && scelti.size() < 2);
    if (nienteDaFare) {
        QMetaObject::invokeMethod(
            this,
            [this, operazione, presi = presi.isEmpty() ? files : presi, fatto] {
                emit conversioneSenzaEsito(operazione, presi);
                if (fatto)
                    fatto({{}, {}, int(presi.size())});
            },
            Qt::QueuedConnection);
        return;
    }
    const QString cartella = trayFolder();
    auto risposta = sulThreadGui<EsitoVassoio>(this, [this, operazione, presi, fatto](EsitoVassoio esito) {
        EsitoConversione fatti{{}, esito.testo, esito.nonConvertiti};
        for (const QString& f : std::as_const(esito.file)) {
            fatti.file << QUrl::fromLocalFile(f);
            addToTray(fatti.file.last());
        }
        if (fatti.file.isEmpty() && fatti.testo.isEmpty()) {
            emit conversioneSenzaEsito(operazione, presi);
        } else if (!esito.senzaEsito.isEmpty()) {
            // Some gave something, these nothing: they are named too.
            QList<QUrl> mancati;
            for (const QString& f : std::as_const(esito.senzaEsito))
                mancati << QUrl::fromLocalFile(f);
            emit conversioneSenzaEsito(operazione, mancati);
        }
        if (fatto)
            fatto(fatti);
    });
    conversioni_.start([operazione, scelti, conversione, cartella, stop = stop_, risposta] {
        risposta(OperazioniVassoio::esegui(operazione, scelti, conversione, cartella, *stop));
    });
}

namespace {

std::optional<QUrl> primo(const QList<QUrl>& file)
{
    return file.isEmpty() ? std::nullopt : std::optional<QUrl>(file.first());
}

} // namespace

void DropManager::converti(const QList<QUrl>& files, Conversione con, Poi<QList<QUrl>> fatto)
{
    esegui(OperazioneVassoio::converti, files, [fatto](EsitoConversione e) { if (fatto) fatto(e.file); }, con);
}

void DropManager::creaArchivio(const QList<QUrl>& files, Poi<std::optional<QUrl>> fatto)
{
    esegui(OperazioneVassoio::creaArchivio, files, [fatto](EsitoConversione e) { if (fatto) fatto(primo(e.file)); });
}

void DropManager::immaginiInPDF(const QList<QUrl>& files, Poi<std::optional<QUrl>> fatto)
{
    esegui(OperazioneVassoio::immaginiInPDF, files, [fatto](EsitoConversione e) { if (fatto) fatto(primo(e.file)); });
}

void DropManager::pdfInImmagini(const QList<QUrl>& files, Poi<QList<QUrl>> fatto)
{
    esegui(OperazioneVassoio::pdfInImmagini, files, [fatto](EsitoConversione e) { if (fatto) fatto(e.file); });
}

void DropManager::unisciPDF(const QList<QUrl>& files, Poi<std::optional<QUrl>> fatto)
{
    esegui(OperazioneVassoio::unisciPDF, files, [fatto](EsitoConversione e) { if (fatto) fatto(primo(e.file)); });
}

void DropManager::estraiTesto(const QList<QUrl>& files, Poi<std::optional<EsitoConversione>> fatto)
{
    esegui(OperazioneVassoio::estraiTesto, files, [fatto](EsitoConversione e) {
        if (fatto)
            fatto(e.testo.isEmpty() ? std::nullopt : std::optional<EsitoConversione>(e));
    });
}

void DropManager::pdfInWord(const QList<QUrl>& files, Poi<QList<QUrl>> fatto)
{
    esegui(OperazioneVassoio::pdfInWord, files, [fatto](EsitoConversione e) { if (fatto) fatto(e.file); });
}

void DropManager::documentiInPDF(const QList<QUrl>& files, Poi<QList<QUrl>> fatto)
{
    esegui(OperazioneVassoio::documentiInPDF, files, [fatto](EsitoConversione e) { if (fatto) fatto(e.file); });
}
