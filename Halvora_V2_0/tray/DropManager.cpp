#include "DropManager.h"

#include "InvioVicino.h"
#include "OperazioniVassoio.h"
#include "PersistenzaVassoio.h"
#include "TipiVassoio.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPointer>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QThread>
#include <QUuid>
#include <atomic>

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

} // namespace

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
            dopoRappresentazione(url, std::nullopt);
            return;
        }
        const QString nome = corrente().nomeSuggerito().value_or(QString());
        auto poi = sulThreadGui<std::optional<QString>>(
            dm_, [self = shared_from_this(), url](std::optional<QString> file) { self->dopoRappresentazione(url, file); });
        // The copy happens while the provider's temporary file still exists.
        corrente().caricaRappresentazione(tipi.first(), [nome, poi](std::optional<QString> temporaneo) {
            poi(temporaneo ? PersistenzaVassoio::persistRappresentazione(*temporaneo, nome, DropManager::trayFolder())
                           : std::nullopt);
        });
    }

    void dopoRappresentazione(std::optional<QUrl> url, std::optional<QString> file)
    {
        if (file)
            return fine(file);
        if (url) {
            const QUrl u = *url;
            if (u.isLocalFile())
                dm_->inBackground([u] { return PersistenzaVassoio::persistFileURL(u, DropManager::trayFolder()); },
                                  fineCon());
            else
                dm_->inBackground([u] { return PersistenzaVassoio::persistWebLink(u, DropManager::trayFolder()); },
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
                    [l = *link] { return PersistenzaVassoio::persistWebLink(l, DropManager::trayFolder()); }, fineCon());
            else
                dm_->inBackground([s] { return PersistenzaVassoio::persistTesto(s, DropManager::trayFolder()); },
                                  fineCon());
            return;
        }
        if (!corrente().conforme(Tipo::immagine))
            return fine(std::nullopt);
        corrente().caricaElemento(Tipo::immagine,
                                  sulThreadGui<QVariant>(dm_, [self = shared_from_this()](QVariant dati) {
                                      self->dm_->inBackground(
                                          [dati] {
                                              const QImage img = comeImmagine(dati);
                                              if (img.isNull())
                                                  return std::optional<QString>();
                                              return PersistenzaVassoio::persistImage(img, DropManager::trayFolder());
                                          },
                                          self->fineCon());
                                  }));
    }

    std::function<void(std::optional<QString>)> fineCon()
    {
        return [self = shared_from_this()](std::optional<QString> file) { self->fine(file); };
    }

    void fine(std::optional<QString> file)
    {
        if (!dm_)
            return;
        if (file)
            dm_->addToTray(QUrl::fromLocalFile(*file));
        prossimo();
    }

    QPointer<DropManager> dm_;
    Fornitori fornitori_;
    std::function<void()> fatto_;
    qsizetype indice_ = -1;
};

DropManager::DropManager(InvioVicino& invio, std::unique_ptr<CatturaSchermo> cattura, QObject* parent)
    : QObject(parent), invio_(invio), cattura_(std::move(cattura))
{
    lavoro_.setMaxThreadCount(1);
    conversioni_.setMaxThreadCount(qBound(2, QThread::idealThreadCount() / 2, 4));
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
    draggedFiles_ = files;
    emit draggedFilesChanged();
}

void DropManager::addToTray(const QUrl& file)
{
    const QUrl u = standardizza(file);
    if (draggedFiles_.contains(u))
        return;
    draggedFiles_.append(u);
    emit draggedFilesChanged();
}

void DropManager::remove(const QUrl& file)
{
    draggedFiles_.removeAll(file);
    emit draggedFilesChanged();
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

void DropManager::inBackground(std::function<std::optional<QString>()> lavoro,
                               std::function<void(std::optional<QString>)> poi)
{
    auto risposta = sulThreadGui<std::optional<QString>>(this, std::move(poi));
    lavoro_.start([lavoro = std::move(lavoro), risposta] { risposta(lavoro()); });
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
        if (fatti.file.isEmpty() && fatti.testo.isEmpty())
            emit conversioneSenzaEsito(operazione, presi);
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
