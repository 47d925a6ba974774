#pragma once

#include "CatturaSchermo.h"
#include "Conversione.h"
#include "FornitoreElemento.h"
#include "Interruzione.h"
#include "OperazioneVassoio.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QThreadPool>
#include <QTimer>
#include <QUrl>
#include <QVariantList>
#include <functional>
#include <memory>
#include <optional>

class InvioVicino;
namespace SalvataggioSicuro {
struct Errore;
}

// The tray's store: which files the tray shows (in order of arrival, each
// once) and where tray files live. A tray file lives as long as its row:
// at start the list shows again the copies the tray folder holds, in the
// order they were made, and a row that goes takes its copy to the
// desktop's trash (never a file outside the tray). Drops are turned into
// new tray files here, one item after another, with the file work on a
// worker thread. GUI thread only.
class DropManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(QList<QUrl> draggedFiles READ draggedFiles WRITE setDraggedFiles NOTIFY draggedFilesChanged)
public:
    using Fornitori = QList<std::shared_ptr<FornitoreElemento>>;
    using CaptureMode = ScreenshotMode;
    // What a conversion hands back: the new files, already listed, in input
    // order, the text recognised (empty for the other operations), and how
    // many of the files it took gave nothing.
    struct EsitoConversione {
        QList<QUrl> file;
        QString testo;
        int nonConvertiti = 0;
    };
    template <typename T>
    using Poi = std::function<void(T)>;

    // `invio` sends files to a nearby device; it must outlive the manager.
    // Without `cattura` no screenshot is ever taken. The copies already in
    // the tray folder are listed shortly after, read on the worker.
    explicit DropManager(InvioVicino& invio, std::unique_ptr<CatturaSchermo> cattura = nullptr,
                         QObject* parent = nullptr);
    ~DropManager() override;

    QList<QUrl> draggedFiles() const { return draggedFiles_; }
    // Replaces the whole list (the tab empties the tray this way); the
    // copies of the rows that go are moved to the trash.
    void setDraggedFiles(const QList<QUrl>& files);

    // <AppData>/Documents/Tray, created when missing; any thread.
    static QString trayFolder();

    // Appends the file unless an equal (standardized) URL is listed.
    void addToTray(const QUrl& file);
    // Removes every entry equal to `file` and moves its copy to the trash.
    void remove(const QUrl& file);
    void rimuovi(const QUrl& file) { remove(file); }
    // The URLs as untyped items for sharing.
    static QVariantList sharingItems(const QList<QUrl>& files);
    // The tray's items found in its folder, in the order of its rows when
    // they were last written down, then the rest oldest first: the file in
    // each UUID folder and the files lying in the tray itself; hidden work
    // files are left out. Blocks: off the GUI thread.
    static QList<QUrl> copieNelVassoio(const QString& tray);
    // Writes down the order of the rows, beside the tray folder. Blocks.
    static void scriviOrdine(const QString& tray, const QList<QUrl>& files);
    // What drops and saves cut off by a kill or a crash left in the tray:
    // copies that never took their place. No one can tell a whole one from
    // a cut one, so none is listed: each goes to the trash under its own
    // name, where the user finds it. Those still being written are left
    // alone. Runs once at start, before the copies are listed. Blocks.
    static void ripulisciAvanzi(const QString& tray);

    // Turns each provider, in order, into at most one new tray file and
    // lists it; a provider that yields nothing is skipped. `fatto` runs
    // when every provider has been handled.
    void handleProviderDrop(const Fornitori& fornitori, std::function<void()> fatto = {});

    // Whether the files of `files` that exist can be sent to a nearby
    // device; answers once on the GUI thread.
    void puoInviareConAirDrop(const QList<QUrl>& files, std::function<void(bool)> risposta);
    // Sends the files of `files` that exist, in order.
    void inviaConAirDrop(const QList<QUrl>& files);

    // Calls `beforeCapture`, then takes a screenshot into a new
    // "screenshot_<UUID>.png" of the Tray folder, lists it and hands its URL
    // to `fatto`; nothing when no picture was taken. `fatto` always runs
    // later, on the GUI thread. While a capture runs another one is refused:
    // `beforeCapture` is not called and the answer is nothing.
    void captureScreenshot(CaptureMode mode, std::function<void()> beforeCapture,
                           std::function<void(std::optional<QUrl>)> fatto);
    bool catturaAttiva() const { return cattura_ && cattura_->inCorso(); }

    // Runs one conversion on the files of its kind among `files` (images,
    // PDFs, text documents; every file for the archive) on the conversion
    // workers, lists what it produced and then hands it to `fatto`, always
    // later and on the GUI thread. With nothing to do (no file of the kind,
    // fewer than two PDFs to merge) no work starts and the answer is empty.
    // `conversione` is used by `converti` only.
    void esegui(OperazioneVassoio operazione, const QList<QUrl>& files, Poi<EsitoConversione> fatto,
                Conversione conversione = Conversione::png());
    // The same, one entry an operation, with the result each one gives.
    void converti(const QList<QUrl>& files, Conversione con, Poi<QList<QUrl>> fatto);
    void creaArchivio(const QList<QUrl>& files, Poi<std::optional<QUrl>> fatto);
    void immaginiInPDF(const QList<QUrl>& files, Poi<std::optional<QUrl>> fatto);
    void pdfInImmagini(const QList<QUrl>& files, Poi<QList<QUrl>> fatto);
    void unisciPDF(const QList<QUrl>& files, Poi<std::optional<QUrl>> fatto);
    // Nothing when no text was found; the files may be empty when the text could not be saved.
    void estraiTesto(const QList<QUrl>& files, Poi<std::optional<EsitoConversione>> fatto);
    void pdfInWord(const QList<QUrl>& files, Poi<QList<QUrl>> fatto);
    void documentiInPDF(const QList<QUrl>& files, Poi<QList<QUrl>> fatto);
    // The files `operazione` would take from `files`, in order.
    static QStringList ingressi(OperazioneVassoio operazione, const QList<QUrl>& files);

signals:
    void draggedFilesChanged();
    // One file appended at the end, told just before draggedFilesChanged,
    // so a view of a long list can add one row instead of looking at all.
    void aggiunto(const QUrl& file);
    // A conversion gave nothing from these files (all it was given, or
    // some of them): told before its answer.
    void conversioneSenzaEsito(OperazioneVassoio operazione, const QList<QUrl>& file);
    // Items of a drop could not be written (a full disk, say): how many,
    // and why the first of them could not. Told when the drop is done.
    void rilascioNonRiuscito(int quanti, const QString& motivo);

private:
    class Ingestione;
    friend class Ingestione;
    struct Scritto;

    // Runs a writer on the worker and hands its result to `poi` on the GUI thread.
    void inBackground(std::function<std::optional<QString>(SalvataggioSicuro::Errore*)> lavoro,
                      std::function<void(Scritto)> poi);
    static QStringList esistenti(const QList<QUrl>& files);
    // Moves the copies of rows that went to the trash, on the worker.
    void cestina(const QList<QUrl>& files);
    void ripristina();
    // The rows changed: their order is written down shortly, once.
    void listaCambiata();

    QList<QUrl> draggedFiles_;
    QSet<QUrl> elencati_; // the same URLs, for a look-up that stays quick in a long list
    InvioVicino& invio_;
    std::unique_ptr<CatturaSchermo> cattura_;
    QThreadPool lavoro_;
    // Conversions run here, never on the drop worker: one task an operation.
    QThreadPool conversioni_;
    // The tray folder's upkeep (copies going to the trash, the order of the
    // rows): never dropped, even at quit.
    QThreadPool cura_;
    QTimer salvaOrdine_;
    std::shared_ptr<Interruzione> stop_ = std::make_shared<Interruzione>();
};
