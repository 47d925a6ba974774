#include "SmartTrayView.h"

#include "BarraScreenshotVassoio.h"
#include "Colori.h"
#include "DropManager.h"
#include "FornitoreMime.h"
#include "Pasteboard.h"
#include "ElencoProgressivo.h"
#include "RigaFileVassoio.h"
#include "SchedaChiusa.h"
#include "TipiVassoio.h"
#include "TrayDisegno.h"

#include <QFileInfo>
#include <QCoreApplication>
#include <QHelpEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

// How long a quick run of tray changes holds back the question about sending.
constexpr int kAttesaDomandaInvioMs = 250;

constexpr int kAltezzaIntestazione = 24;
constexpr int kSottoIntestazione = 8;
constexpr int kSpaziatura = 6;
constexpr int kBottone = 22;

struct BottoneCattura {
    SmartTrayView::Controllo controllo;
    ScreenshotMode modo;
};
constexpr BottoneCattura kBottoniCattura[] = {
    {SmartTrayView::Controllo::intero, ScreenshotMode::fullScreen},
    {SmartTrayView::Controllo::area, ScreenshotMode::area},
    {SmartTrayView::Controllo::finestra, ScreenshotMode::window},
};

using TrayDisegno::carattere;

// The blue dashed outline over a non-empty tray while a drag hovers it.
class EvidenzaRilascio final : public QWidget {
public:
    explicit EvidenzaRilascio(QWidget* parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        TrayDisegno::bordoTratteggiato(p, rect(), TrayDisegno::conOpacita(Colori::blu(), 0.7));
    }
};

QList<QUrl> filtra(const QList<QUrl>& files, bool (*prova)(const QString&))
{
    QList<QUrl> scelti;
    for (const QUrl& u : files)
        if (u.isLocalFile() && prova(u.toLocalFile()))
            scelti << u;
    return scelti;
}

QString testoConverti() { return QCoreApplication::translate("Halvora", "Converti"); }

bool accettabile(const QMimeData* dati)
{
    if (!dati)
        return false;
    if (dati->hasUrls() || dati->hasImage() || dati->hasText())
        return true;
    for (const QString& f : dati->formats())
        if (f.startsWith(QLatin1String("image/")))
            return true;
    return false;
}

} // namespace

SmartTrayView::SmartTrayView(DropManager& dropManager, QWidget* parent)
    : QWidget(parent),
      dropManager_(dropManager),
      scorrimento_(new QScrollArea(this)),
      elenco_(new QWidget),
      colonna_(new QVBoxLayout(elenco_)),
      evidenza_(new EvidenzaRilascio(this))
{
    setAcceptDrops(true);
    colonna_->setContentsMargins(0, 0, 0, 0);
    // The rows keep 4 points around their card for the lift.
    colonna_->setSpacing(12 - 8);
    colonna_->addStretch(1);
    scorrimento_->setWidget(elenco_);
    scorrimento_->setWidgetResizable(true);
    scorrimento_->setFrameShape(QFrame::NoFrame);
    scorrimento_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A thin, quiet scroll indicator on the dark panel.
    scorrimento_->setStyleSheet(QStringLiteral(
        "QScrollArea, QScrollArea > QWidget > QWidget { background: transparent; }"
        "QScrollBar:vertical { background: transparent; width: 6px; margin: 0; }"
        "QScrollBar::handle:vertical { background: rgba(255, 255, 255, 64); border-radius: 3px; min-height: 24px; }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: transparent; }"));
    scorrimento_->viewport()->setAutoFillBackground(false);
    elenco_->setAutoFillBackground(false);
    progressivo_ = new ElencoProgressivo(*scorrimento_, *colonna_, [this](int i) { return riga(i); }, this);

    domandaInvioRitardata_ = new QTimer(this);
    domandaInvioRitardata_->setSingleShot(true);
    domandaInvioRitardata_->setInterval(kAttesaDomandaInvioMs);
    connect(domandaInvioRitardata_, &QTimer::timeout, this, [this] {
        if (std::exchange(invioDaChiedere_, false))
            chiediInvio();
    });
    connect(&dropManager_, &DropManager::aggiunto, this, &SmartTrayView::fileAggiunto);
    connect(&dropManager_, &DropManager::draggedFilesChanged, this, &SmartTrayView::trayCambiato);
    ricostruisciRighe();
    aggiornaStatoVassoio();
}

SmartTrayView::~SmartTrayView()
{
    if (menuConversione_)
        menuConversione_->hide();
}

QRect SmartTrayView::areaFile() const
{
    const int cima = kAltezzaIntestazione + kSottoIntestazione;
    return QRect(0, cima, width(), qMax(0, height() - cima - altezzaBarra()));
}

int SmartTrayView::altezzaBarra() const { return BarraScreenshotVassoio::altezza(font()); }

QRect SmartTrayView::etichettaScreenshot() const { return BarraScreenshotVassoio::etichetta(font(), size()); }

std::optional<ScreenshotMode> SmartTrayView::modoDi(Controllo controllo)
{
    for (const BottoneCattura& b : kBottoniCattura)
        if (b.controllo == controllo)
            return b.modo;
    return std::nullopt;
}

void SmartTrayView::cattura(ScreenshotMode modo)
{
    const Richiami r = richiami_;
    dropManager_.captureScreenshot(modo, r.onRequestHideNotch, [r](std::optional<QUrl> file) {
        if (r.onCatturaTerminata)
            r.onCatturaTerminata();
        if (file && r.onCatturaCompletata)
            r.onCatturaCompletata(*file);
    });
}

QList<QUrl> SmartTrayView::fileInteressati() const
{
    const QList<QUrl> tutti = dropManager_.draggedFiles();
    if (selezionati_.isEmpty())
        return tutti;
    QList<QUrl> scelti;
    for (const QUrl& u : tutti)
        if (selezionati_.contains(u))
            scelti << u;
    return scelti;
}

QList<QUrl> SmartTrayView::immaginiInteressate() const
{
    QList<QUrl> immagini;
    for (const QUrl& u : fileInteressati())
        if (immaginiNote_.contains(u))
            immagini << u;
    return immagini;
}

QList<QUrl> SmartTrayView::pdfInteressati() const { return filtra(fileInteressati(), TipiVassoio::ePdf); }

QList<QUrl> SmartTrayView::documentiInteressati() const
{
    return filtra(fileInteressati(), TipiVassoio::eDocumento);
}

QList<MenuConversione::Sezione> SmartTrayView::sezioniConversione() const
{
    return MenuConversione::sezioni({fileInteressati(), immaginiInteressate(), pdfInteressati(), documentiInteressati()});
}

void SmartTrayView::converti(const MenuConversione::Voce& voce)
{
    const Richiami r = richiami_;
    const OperazioneVassoio op = voce.operazione;
    dropManager_.esegui(
        op, voce.file,
        [r, op](const DropManager::EsitoConversione& esito) {
            // The text is copied whether or not it could be saved as a file.
            if (op == OperazioneVassoio::estraiTesto && !esito.testo.isEmpty() && r.appunti)
                r.appunti->setString(esito.testo);
            const auto titolo = MenuConversione::titoloEsito(op, esito.file.size(), !esito.testo.isEmpty());
            if (titolo && r.onConversioneCompletata)
                r.onConversioneCompletata(*titolo, esito.file.first());
        },
        voce.conversione);
}

QMenu* SmartTrayView::apriMenuConversione()
{
    const QRect controllo = rettangolo(Controllo::converti);
    if (controllo.isEmpty())
        return nullptr;
    if (menuConversione_)
        menuConversione_->close();
    auto* menu = new QMenu(this);
    menuConversione_ = menu;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setStyleSheet(QStringLiteral(
        "QMenu { background: #2a2a2c; color: white; border: 1px solid #3a3a3c; border-radius: 8px; padding: 4px; }"
        "QMenu::item { padding: 4px 16px; border-radius: 4px; }"
        "QMenu::item:selected { background: rgb(88, 86, 214); }"
        "QMenu::item:disabled { color: rgba(255, 255, 255, 128); font-weight: bold; }"
        "QMenu::separator { height: 1px; background: #3a3a3c; margin: 4px 8px; }"));
    bool prima = true;
    for (const MenuConversione::Sezione& sezione : sezioniConversione()) {
        if (!prima)
            menu->addSeparator();
        prima = false;
        // A plain text header, as the style may draw no section titles.
        menu->addAction(sezione.titolo)->setEnabled(false);
        for (const MenuConversione::Voce& voce : sezione.voci)
            connect(menu->addAction(voce.etichetta), &QAction::triggered, this, [this, voce] { converti(voce); });
    }
    const Richiami r = richiami_;
    if (r.onMenuConversione) {
        r.onMenuConversione(true);
        connect(menu, &QMenu::aboutToHide, this, [r] { r.onMenuConversione(false); });
    }
    menu->popup(mapToGlobal(controllo.bottomLeft() + QPoint(0, 2)));
    return menu;
}

void SmartTrayView::alternaSelezione(const QUrl& file)
{
    if (!selezionati_.remove(file))
        selezionati_.insert(file);
    aggiornaRighe();
}

void SmartTrayView::annullaSelezione()
{
    selezionati_.clear();
    aggiornaRighe();
}

void SmartTrayView::svuotaVassoio() { dropManager_.setDraggedFiles({}); }

void SmartTrayView::chiediInvio()
{
    // While files keep coming, at most once per pause: the question looks at every file.
    if (domandaInvioRitardata_->isActive()) {
        invioDaChiedere_ = true;
        return;
    }
    domandaInvioRitardata_->start();
    const int domanda = ++domandaInvio_;
    QPointer<SmartTrayView> io(this);
    dropManager_.puoInviareConAirDrop(dropManager_.draggedFiles(), [io, domanda](bool si) {
        if (!io || domanda != io->domandaInvio_ || si == io->airDropDisponibile_)
            return;
        io->airDropDisponibile_ = si;
        io->aggiornaRighe();
    });
}

bool SmartTrayView::eImmagine(const QUrl& u)
{
    auto it = tipiNoti_.find(u);
    if (it == tipiNoti_.end())
        it = tipiNoti_.insert(u, u.isLocalFile() && TipiVassoio::eImmagine(u.toLocalFile()));
    return it.value();
}

void SmartTrayView::aggiornaStatoVassoio()
{
    const QList<QUrl> files = dropManager_.draggedFiles();
    chiediInvio();
    QHash<QUrl, bool> noti;
    immaginiNote_.clear();
    for (const QUrl& u : files) {
        noti.insert(u, eImmagine(u));
        if (noti.value(u))
            immaginiNote_.insert(u);
    }
    tipiNoti_ = std::move(noti);
}

void SmartTrayView::fileAggiunto(const QUrl& file)
{
    appenaAggiunto_ = true;
    chiediInvio();
    if (eImmagine(file))
        immaginiNote_.insert(file);
    elencati_ << file;
    progressivo_->imposta(int(elencati_.size()));
    scorrimento_->setVisible(true);
    aggiornaRighe();
}

void SmartTrayView::trayCambiato()
{
    if (std::exchange(appenaAggiunto_, false))
        return;
    aggiornaStatoVassoio();
    const QList<QUrl> files = dropManager_.draggedFiles();
    const QSet<QUrl> presenti(files.begin(), files.end());
    selezionati_.intersect(presenti);
    ricostruisciRighe();
}

RigaFileVassoio* SmartTrayView::nuovaRiga(const QUrl& file)
{
    auto* riga = new RigaFileVassoio(file, elenco_);
    connect(riga, &RigaFileVassoio::selezioneAlternata, this, &SmartTrayView::alternaSelezione);
    connect(riga, &RigaFileVassoio::invioChiesto, this, [this](const QUrl& f) { dropManager_.inviaConAirDrop({f}); });
    connect(riga, &RigaFileVassoio::eliminazioneChiesta, this, [this](const QUrl& f) { dropManager_.rimuovi(f); });
    connect(riga, &RigaFileVassoio::puntatoreEntrato, this, [this](const QUrl& f) {
        rigaSottoIlMouse_ = f;
        aggiornaRighe();
    });
    // Another row may have claimed the pointer already.
    connect(riga, &RigaFileVassoio::puntatoreUscito, this, [this](const QUrl& f) {
        if (rigaSottoIlMouse_ == f)
            rigaSottoIlMouse_.reset();
        aggiornaRighe();
    });
    connect(riga, &RigaFileVassoio::hoverInvioCambiato, this, [this](const QUrl& f, bool sopra) {
        hoveredAirDropFile_ = sopra ? std::optional<QUrl>(f) : std::nullopt;
        aggiornaRighe();
    });
    connect(riga, &RigaFileVassoio::hoverEliminaCambiato, this, [this](const QUrl& f, bool sopra) {
        hoveredDeleteFile_ = sopra ? std::optional<QUrl>(f) : std::nullopt;
        aggiornaRighe();
    });
    return riga;
}

RigaFileVassoio* SmartTrayView::riga(int indice)
{
    const QUrl& u = elencati_[indice];
    RigaFileVassoio* r = costruite_.value(u);
    if (!r) {
        r = nuovaRiga(u);
        r->setStato(statoPer(u));
        costruite_.insert(u, r);
    }
    return r;
}

QList<RigaFileVassoio*> SmartTrayView::righe() const
{
    QList<RigaFileVassoio*> r;
    for (int i = 0; i < progressivo_->posate(); ++i)
        r << costruite_.value(elencati_[i]);
    return r;
}

void SmartTrayView::ricostruisciRighe()
{
    // Rows of files still listed are kept (with their icon); equal URLs are one row.
    const QList<QUrl> files = dropManager_.draggedFiles();
    QSet<QUrl> visti;
    elencati_.clear();
    for (const QUrl& u : files)
        if (!visti.contains(u)) {
            visti.insert(u);
            elencati_ << u;
        }
    // A row may be mid-event (its own delete button): it goes later.
    for (auto it = costruite_.begin(); it != costruite_.end();) {
        if (!visti.contains(it.key())) {
            colonna_->removeWidget(it.value());
            it.value()->hide();
            it.value()->deleteLater();
            it = costruite_.erase(it);
        } else {
            ++it;
        }
    }
    progressivo_->imposta(int(elencati_.size()));
    scorrimento_->setVisible(!files.isEmpty());
    aggiornaRighe();
}

RigaFileVassoio::Stato SmartTrayView::statoPer(const QUrl& u) const
{
    return {.selezionata = selezionati_.contains(u),
            .sottoIlMouse = rigaSottoIlMouse_ == u,
            .invioDisponibile = airDropDisponibile_,
            .hoverInvio = hoveredAirDropFile_ == u,
            .hoverElimina = hoveredDeleteFile_ == u};
}

void SmartTrayView::aggiornaRighe()
{
    for (RigaFileVassoio* r : std::as_const(costruite_))
        r->setStato(statoPer(r->file()));
    evidenza_->setVisible(isDropTargeted_ && !dropManager_.draggedFiles().isEmpty());
    update();
}

QString SmartTrayView::testoChip() const { return tr("%1 selezionati").arg(selezionati_.size()); }

QRect SmartTrayView::rettangolo(Controllo controllo) const
{
    if (const auto modo = modoDi(controllo))
        return BarraScreenshotVassoio::bottone(*modo, font(), size());
    const bool pieno = !dropManager_.draggedFiles().isEmpty();
    const int cy = kAltezzaIntestazione / 2;
    QRect svuota(width() - kBottone, cy - kBottone / 2, kBottone, kBottone);
    QRect invio = svuota.translated(-kBottone - kSpaziatura, 0);
    const int fineConverti = (airDropDisponibile_ ? invio.left() : svuota.left()) - kSpaziatura;
    const QFontMetrics fmConverti(carattere(font(), 11, QFont::DemiBold));
    const int largoConverti = 11 + 4 + fmConverti.horizontalAdvance(testoConverti());
    const QRect converti(fineConverti - largoConverti, 0, largoConverti, kAltezzaIntestazione);
    const int finePrima = (pieno ? converti.left() : width()) - kSpaziatura;
    switch (controllo) {
    case Controllo::converti:
        return pieno ? converti : QRect();
    case Controllo::svuota:
        return pieno ? svuota : QRect();
    case Controllo::invio:
        return pieno && airDropDisponibile_ ? invio : QRect();
    case Controllo::chip: {
        if (selezionati_.isEmpty())
            return {};
        const QFontMetrics fm(carattere(font(), 11, QFont::DemiBold));
        const int larghezza = 8 + fm.horizontalAdvance(testoChip()) + 4 + 11 + 8;
        const int altezza = fm.height() + 6;
        return QRect(finePrima - larghezza, cy - altezza / 2, larghezza, altezza);
    }
    default:
        return {};
    }
}

std::optional<SmartTrayView::Controllo> SmartTrayView::controlloIn(const QPoint& punto) const
{
    for (Controllo c : {Controllo::chip, Controllo::converti, Controllo::invio, Controllo::svuota, Controllo::intero,
                        Controllo::area, Controllo::finestra})
        if (rettangolo(c).contains(punto))
            return c;
    return std::nullopt;
}

QString SmartTrayView::aiuto(const QPoint& punto) const
{
    const auto c = controlloIn(punto);
    if (!c)
        return {};
    const qsizetype n = selezionati_.size();
    switch (*c) {
    case Controllo::chip:
        return tr("Annulla la selezione");
    case Controllo::converti:
        return n > 0 ? tr("Trasforma i %1 elementi selezionati").arg(n) : tr("Trasforma i file del vassoio");
    case Controllo::invio:
        return n > 0 ? tr("Invia i %1 elementi selezionati con AirDrop").arg(n) : tr("Invia tutto il vassoio con AirDrop");
    case Controllo::svuota:
        return tr("Svuota il vassoio");
    default:
        return {};
    }
}

void SmartTrayView::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    const auto c = controlloIn(e->position().toPoint());
    if (!c)
        return;
    switch (*c) {
    case Controllo::chip:
        annullaSelezione();
        break;
    case Controllo::converti:
        apriMenuConversione();
        break;
    case Controllo::invio:
        dropManager_.inviaConAirDrop(fileInteressati());
        break;
    case Controllo::svuota:
        svuotaVassoio();
        break;
    default:
        cattura(*modoDi(*c));
        break;
    }
}

bool SmartTrayView::event(QEvent* e)
{
    if (e->type() == QEvent::ToolTip) {
        auto* h = static_cast<QHelpEvent*>(e);
        TrayDisegno::mostraAiuto(this, h, aiuto(h->pos()));
        return true;
    }
    return QWidget::event(e);
}

void SmartTrayView::resizeEvent(QResizeEvent*)
{
    scorrimento_->setGeometry(areaFile());
    evidenza_->setGeometry(areaFile());
    evidenza_->raise();
}

void SmartTrayView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    disegnaIntestazione(p);
    if (dropManager_.draggedFiles().isEmpty())
        disegnaZonaVuota(p);
    BarraScreenshotVassoio::disegna(p, font(), size());
}

void SmartTrayView::disegnaIntestazione(QPainter& p)
{
    const int cy = kAltezzaIntestazione / 2;
    TrayDisegno::simbolo(p, QStringLiteral("tray.fill"), QRectF(0, cy - 6, 12, 12), 11, Colori::blu());
    p.setFont(carattere(font(), 16, QFont::Bold, 2));
    p.setPen(TrayDisegno::secondario());
    p.drawText(QRect(12 + 4, 0, width() / 2, kAltezzaIntestazione), Qt::AlignVCenter | Qt::AlignLeft,
               tr("SMART TRAY"));

    if (const QRect chip = rettangolo(Controllo::chip); !chip.isEmpty()) {
        p.setPen(Qt::NoPen);
        p.setBrush(TrayDisegno::conOpacita(Colori::accento(), 0.12));
        p.drawRoundedRect(chip, chip.height() / 2.0, chip.height() / 2.0);
        p.setFont(carattere(font(), 11, QFont::DemiBold));
        const QColor colore =
            AspettoScheda::leggibileSulPannello(Colori::accento(), 0, TrayDisegno::conOpacita(Colori::accento(), 0.12));
        p.setPen(colore);
        const QRect testo = chip.adjusted(8, 0, -(8 + 11 + 4), 0);
        p.drawText(testo, Qt::AlignVCenter | Qt::AlignLeft, testoChip());
        TrayDisegno::simbolo(p, QStringLiteral("xmark.circle.fill"),
                             QRectF(testo.right() + 4, chip.top(), 11, chip.height()), 11, colore);
    }
    if (const QRect r = rettangolo(Controllo::converti); !r.isEmpty()) {
        const QColor colore = TrayDisegno::secondario();
        TrayDisegno::simbolo(p, QStringLiteral("wand.and.rays"), QRectF(r.left(), r.center().y() - 6, 11, 12), 11,
                             colore);
        p.setFont(carattere(font(), 11, QFont::DemiBold));
        p.setPen(colore);
        p.drawText(r.adjusted(11 + 4, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, testoConverti());
    }
    if (const QRect r = rettangolo(Controllo::invio); !r.isEmpty())
        TrayDisegno::simbolo(p, QStringLiteral("square.and.arrow.up"), r, 14, TrayDisegno::secondario());
    if (const QRect r = rettangolo(Controllo::svuota); !r.isEmpty())
        TrayDisegno::simbolo(p, QStringLiteral("trash"), r, 14, TrayDisegno::secondario());
}

void SmartTrayView::disegnaZonaVuota(QPainter& p)
{
    const QRect zona = areaFile();
    if (isDropTargeted_) {
        p.setPen(Qt::NoPen);
        p.setBrush(TrayDisegno::conOpacita(Colori::accento(), 0.15));
        p.drawRoundedRect(QRectF(zona).adjusted(1, 1, -1, -1), 16, 16);
    }
    TrayDisegno::bordoTratteggiato(p, zona, TrayDisegno::secondario(0.5));
    const QFont f = carattere(font(), 13, QFont::DemiBold);
    const QRect interno = zona.adjusted(24, 24, -24, -24);
    const int altezzaTesto = QFontMetrics(f).boundingRect(interno, Qt::AlignHCenter | Qt::TextWordWrap,
                                                         tr("Trascina qui file, link o immagini")).height();
    const int cima = interno.center().y() - (40 + 12 + altezzaTesto) / 2;
    TrayDisegno::simbolo(p, QStringLiteral("tray.and.arrow.down.fill"), QRectF(interno.left(), cima, interno.width(), 40),
                         40, TrayDisegno::conOpacita(Colori::blu(), 0.8));
    p.setFont(f);
    p.setPen(TrayDisegno::secondario());
    p.drawText(QRect(interno.left(), cima + 40 + 12, interno.width(), altezzaTesto), Qt::AlignHCenter | Qt::TextWordWrap,
               tr("Trascina qui file, link o immagini"));
}

void SmartTrayView::setDropTargeted(bool si)
{
    if (si == isDropTargeted_)
        return;
    isDropTargeted_ = si;
    aggiornaRighe();
}

void SmartTrayView::valutaTrascinamento(QDragMoveEvent* e)
{
    const bool dentro = areaFile().contains(e->position().toPoint()) && accettabile(e->mimeData());
    if (dentro)
        e->acceptProposedAction();
    else
        e->ignore();
    setDropTargeted(dentro);
}

void SmartTrayView::dragEnterEvent(QDragEnterEvent* e)
{
    valutaTrascinamento(e);
    // A drag coming down from the notch enters over the header: it is taken
    // in there too, as only a drag accepted on entering is followed, and the
    // moves then accept it over the file area alone.
    if (accettabile(e->mimeData()))
        e->accept();
}

void SmartTrayView::dragMoveEvent(QDragMoveEvent* e) { valutaTrascinamento(e); }

void SmartTrayView::dragLeaveEvent(QDragLeaveEvent*) { setDropTargeted(false); }

void SmartTrayView::dropEvent(QDropEvent* e)
{
    setDropTargeted(false);
    const DropManager::Fornitori fornitori =
        e->mimeData() ? fornitoriDaMime(*e->mimeData()) : DropManager::Fornitori();
    if (fornitori.isEmpty()) {
        e->ignore();
        return;
    }
    // Accepted at once; the items are read and copied afterwards.
    dropManager_.handleProviderDrop(fornitori);
    e->acceptProposedAction();
}
