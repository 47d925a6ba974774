#pragma once

#include "ContrattoCattura.h"
#include "MenuConversione.h"
#include "RigaFileVassoio.h"

#include <QHash>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <optional>

class DropManager;
class ElencoProgressivo;
class Pasteboard;
class QMenu;
class QScrollArea;
class QVBoxLayout;

// The content of the tray tab: a header with the title, the selection
// chip, the conversion menu, the share button and the empty-tray button, then the tray's
// files (or, while it is empty, the drop zone), then the SCREENSHOT bar.
// Drops on the file area go to the DropManager. Hover and selection live
// here while the tab is shown; the tray's content lives in the DropManager.
class SmartTrayView : public QWidget {
    Q_OBJECT
public:
    enum class Controllo { chip, converti, invio, svuota, intero, area, finestra };

    // What the shell is told of a screenshot or a conversion; an empty
    // entry is skipped. They are copied into each capture and conversion,
    // which may outlive the tab.
    struct Richiami {
        // Just before the capture: the notch gets out of the way.
        std::function<void()> onRequestHideNotch;
        // The picture kept in the tray (told after onCatturaTerminata).
        std::function<void(const QUrl&)> onCatturaCompletata;
        // The attempt is over, whatever came of it.
        std::function<void()> onCatturaTerminata;
        // A conversion produced something: the title to show and its first file.
        std::function<void(const QString&, const QUrl&)> onConversioneCompletata = {};
        // The conversion menu opened (true) or closed: the notch stays open meanwhile.
        std::function<void(bool)> onMenuConversione = {};
        // Where recognised text is copied; it must outlive every conversion.
        Pasteboard* appunti = nullptr;
    };

    explicit SmartTrayView(DropManager& dropManager, QWidget* parent = nullptr);
    // An open conversion menu closes with the tab, releasing the notch.
    ~SmartTrayView() override;

    void setRichiami(Richiami richiami) { richiami_ = std::move(richiami); }
    // What a screenshot button does: the capture runs, the tab returns at once.
    void cattura(ScreenshotMode modo);
    // The mode of a screenshot button; none for the header's controls.
    static std::optional<ScreenshotMode> modoDi(Controllo controllo);

    // The files the header actions work on: the selection in tray order,
    // or the whole tray when nothing is selected.
    QList<QUrl> fileInteressati() const;
    // The members of fileInteressati() known to be images.
    QList<QUrl> immaginiInteressate() const;
    // The members of fileInteressati() that are PDFs, and text documents.
    QList<QUrl> pdfInteressati() const;
    QList<QUrl> documentiInteressati() const;
    // The conversion menu's sections for the files of now.
    QList<MenuConversione::Sezione> sezioniConversione() const;
    // What a menu entry does: the operation runs, the tab returns at once;
    // its result is told through the callbacks.
    void converti(const MenuConversione::Voce& voce);
    // Opens the conversion menu under its control; null when the tray is empty.
    QMenu* apriMenuConversione();
    void alternaSelezione(const QUrl& file);
    void annullaSelezione();
    // Empties the tray's list (its files stay on disk), whatever the selection.
    void svuotaVassoio();
    // Asks again whether the tray can be sent and which files are images.
    void aggiornaStatoVassoio();

    QSet<QUrl> selezionati() const { return selezionati_; }
    std::optional<QUrl> rigaSottoIlMouse() const { return rigaSottoIlMouse_; }
    bool airDropDisponibile() const { return airDropDisponibile_; }
    bool isDropTargeted() const { return isDropTargeted_; }
    QSet<QUrl> immaginiNote() const { return immaginiNote_; }
    // The rows built so far, in tray order (they are built as they scroll into view).
    QList<RigaFileVassoio*> righe() const;

    // Where a header control lies (empty when it is not shown), the text
    // of the selection chip and the help text at a point.
    QRect rettangolo(Controllo controllo) const;
    QString testoChip() const;
    QString aiuto(const QPoint& punto) const;
    // The file area: the drop target, holding the rows or the drop zone.
    QRect areaFile() const;
    // The "SCREENSHOT" label over the bar.
    QRect etichettaScreenshot() const;

    QSize sizeHint() const override { return {560, 260}; }

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    bool event(QEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dragLeaveEvent(QDragLeaveEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    void trayCambiato();
    // One file appended: one row more, and only that file looked at.
    void fileAggiunto(const QUrl& file);
    void ricostruisciRighe();
    // Whether `file` is an image, remembered for as long as it is listed.
    bool eImmagine(const QUrl& file);
    void chiediInvio();
    RigaFileVassoio* nuovaRiga(const QUrl& file);
    RigaFileVassoio* riga(int indice);
    RigaFileVassoio::Stato statoPer(const QUrl& file) const;
    void aggiornaRighe();
    void setDropTargeted(bool si);
    // Accepts a drag over the file area that carries something droppable.
    void valutaTrascinamento(QDragMoveEvent* e);
    void disegnaIntestazione(QPainter& p);
    void disegnaZonaVuota(QPainter& p);
    // Height of the label and the bar under the file area, with their spacing.
    int altezzaBarra() const;
    std::optional<Controllo> controlloIn(const QPoint& punto) const;

    DropManager& dropManager_;
    Richiami richiami_;
    QScrollArea* scorrimento_;
    QWidget* elenco_;
    QVBoxLayout* colonna_;
    QWidget* evidenza_;
    ElencoProgressivo* progressivo_;
    QList<QUrl> elencati_; // the tray's files once each, in order
    QHash<QUrl, RigaFileVassoio*> costruite_;
    QPointer<QMenu> menuConversione_;

    std::optional<QUrl> hoveredDeleteFile_;
    std::optional<QUrl> hoveredAirDropFile_;
    std::optional<QUrl> rigaSottoIlMouse_;
    bool isDropTargeted_ = false;
    bool airDropDisponibile_ = false;
    QSet<QUrl> immaginiNote_;
    QHash<QUrl, bool> tipiNoti_; // whether each listed file is an image, worked out once
    // Asking about sending is held back while the tray changes quickly.
    QTimer* domandaInvioRitardata_;
    bool invioDaChiedere_ = false;
    // The change being told is one file appended, already shown.
    bool appenaAggiunto_ = false;
    QSet<QUrl> selezionati_;
    // Answers about sending that arrive after a newer question are dropped.
    int domandaInvio_ = 0;
};
