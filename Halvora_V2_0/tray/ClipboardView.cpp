#include "ClipboardView.h"

#include "ClipboardManager.h"
#include "ColoriAppunti.h"
#include "ElencoAppunti.h"
#include "Simboli.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <functional>

using namespace ColoriAppunti;

namespace {


QFont fontPixel(int pixel, QFont::Weight peso = QFont::Normal)
{
    QFont f;
    f.setPixelSize(pixel);
    f.setWeight(peso);
    return f;
}

void riempiArrotondato(QPainter& p, const QRectF& r, qreal raggio, const QColor& colore)
{
    QPainterPath forma;
    forma.addRoundedRect(r, raggio, raggio);
    p.fillPath(forma, colore);
}

// A button drawn by a function; disabled, it is drawn at a lower opacity.
class PulsanteDipinto final : public QAbstractButton {
public:
    using Disegno = std::function<void(QPainter&, const QRect&)>;
    PulsanteDipinto(QSize misura, qreal opacitaDisabilitato, Disegno disegno, QWidget* parent)
        : QAbstractButton(parent), misura_(misura), opacitaDisabilitato_(opacitaDisabilitato),
          disegno_(std::move(disegno))
    {
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::NoFocus);
    }
    QSize sizeHint() const override { return misura_; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setOpacity(isEnabled() ? 1.0 : opacitaDisabilitato_);
        disegno_(p, rect());
    }

private:
    QSize misura_;
    qreal opacitaDisabilitato_;
    Disegno disegno_;
};

// Symbol and text side by side, centred in `r`.
void disegnaEtichetta(QPainter& p, const QRect& r, const QString& simbolo, int lato, const QString& testo,
                      const QFont& font, const QColor& colore, int spazio)
{
    const QFontMetrics fm(font);
    const int larghezza = lato + spazio + fm.horizontalAdvance(testo);
    const int x = r.center().x() - larghezza / 2;
    p.drawPixmap(x, r.center().y() - lato / 2, Simboli::pixmap(simbolo, lato, colore, p.device()->devicePixelRatioF()));
    p.setFont(font);
    p.setPen(colore);
    p.drawText(QRect(x + lato + spazio, r.top(), larghezza, r.height()), Qt::AlignLeft | Qt::AlignVCenter, testo);
}

class Intestazione final : public QWidget {
public:
    using QWidget::QWidget;
    QSize sizeHint() const override { return {300, QFontMetrics(font()).height() + 10}; }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        // Aligned with the search row and the rows, inside the panel's padding.
        const QRect riga(0, 0, width(), height() - 10);
        const int lato = 13;
        p.drawPixmap(riga.left(), riga.center().y() - lato / 2,
                     Simboli::pixmap(QStringLiteral("doc.on.clipboard.fill"), lato, teal(), devicePixelRatioF()));
        p.setFont(font());
        p.setPen(secondario());
        p.drawText(riga.adjusted(lato + 6, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                   ClipboardView::tr("CLIPBOARD HISTORY"));
    }
};

class CampoRicerca final : public QWidget {
public:
    explicit CampoRicerca(QLineEdit* campo, QWidget* parent) : QWidget(parent)
    {
        auto* l = new QHBoxLayout(this);
        l->setContentsMargins(8 + kLatoLente + 8, 8, 8, 8);
        l->addWidget(campo);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        riempiArrotondato(p, rect(), 8, conOpacita(primario(), 0.05));
        p.drawPixmap(8, height() / 2 - kLatoLente / 2,
                     Simboli::pixmap(QStringLiteral("magnifyingglass"), kLatoLente, secondario(), devicePixelRatioF()));
    }

private:
    static constexpr int kLatoLente = 14;
};

class StatoVuoto final : public QWidget {
public:
    using QWidget::QWidget;
    void setTesto(const QString& t)
    {
        testo_ = t;
        setAccessibleName(t);
        update();
    }
    QString testo() const { return testo_; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const QRect area = rect().adjusted(24, 24, -24, -24);
        const int lato = 40;
        const QFont font = fontPixel(13, QFont::Bold);
        const int altezzaTesto = QFontMetrics(font).height();
        const int cima = area.center().y() - (lato + 12 + altezzaTesto) / 2;
        p.drawPixmap(area.center().x() - lato / 2, cima,
                     Simboli::pixmap(QStringLiteral("doc.on.clipboard"), lato, conOpacita(teal(), 0.7),
                                     devicePixelRatioF()));
        p.setFont(font);
        p.setPen(secondario());
        p.drawText(QRect(area.left(), cima + lato + 12, area.width(), altezzaTesto), Qt::AlignCenter, testo_);
    }

private:
    QString testo_;
};

} // namespace

ClipboardView::ClipboardView(ClipboardManager& manager, QWidget* parent) : QWidget(parent), manager_(manager)
{
    auto* colonna = new QVBoxLayout(this);
    colonna->setContentsMargins(0, 0, 0, 0);
    colonna->setSpacing(12);

    auto* intestazione = new Intestazione(this);
    QFont fontIntestazione = fontPixel(16, QFont::Bold);
    fontIntestazione.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    intestazione->setFont(fontIntestazione);
    colonna->addWidget(intestazione);

    ricerca_ = new QLineEdit(this);
    ricerca_->setObjectName(QStringLiteral("ricerca"));
    ricerca_->setFrame(false);
    ricerca_->setPlaceholderText(tr("Cerca negli appunti..."));
    ricerca_->setFont(fontPixel(13));
    QPalette pal = ricerca_->palette();
    pal.setColor(QPalette::Base, Qt::transparent);
    pal.setColor(QPalette::Text, primario());
    pal.setColor(QPalette::PlaceholderText, conOpacita(secondario(), 0.8));
    ricerca_->setPalette(pal);
    auto* rigaRicerca = new QHBoxLayout;
    rigaRicerca->setContentsMargins(0, 0, 0, 0);
    rigaRicerca->setSpacing(8);
    rigaRicerca->addWidget(new CampoRicerca(ricerca_, this), 1);

    const QFont fontCopia = fontPixel(12, QFont::Medium);
    const QString testoCopia = tr("Copia Tutto");
    const QSize misuraCopia(13 + 6 + QFontMetrics(fontCopia).horizontalAdvance(testoCopia) + 20,
                            QFontMetrics(fontCopia).height() + 10);
    copiaTutto_ = new PulsanteDipinto(
        misuraCopia, 0.5,
        [fontCopia, testoCopia](QPainter& p, const QRect& r) {
            riempiArrotondato(p, r, 6, conOpacita(teal(), 0.12));
            disegnaEtichetta(p, r, QStringLiteral("doc.on.doc"), 13, testoCopia, fontCopia, teal(), 6);
        },
        this);
    copiaTutto_->setObjectName(QStringLiteral("copiaTutto"));
    rigaRicerca->addWidget(copiaTutto_, 0, Qt::AlignVCenter);
    colonna->addLayout(rigaRicerca);

    elenco_ = new ElencoAppunti;
    scorrimento_ = new QScrollArea(this);
    scorrimento_->setWidget(elenco_);
    scorrimento_->setWidgetResizable(true);
    scorrimento_->setFrameShape(QFrame::NoFrame);
    scorrimento_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scorrimento_->viewport()->setAutoFillBackground(false);
    elenco_->setAutoFillBackground(false);
    scorrimento_->verticalScrollBar()->setStyleSheet(QStringLiteral(
        "QScrollBar:vertical { background: transparent; width: 8px; margin: 2px; }"
        "QScrollBar::handle:vertical { background: rgba(255,255,255,90); border-radius: 2px; min-height: 24px; }"
        "QScrollBar::add-line, QScrollBar::sub-line, QScrollBar::add-page, QScrollBar::sub-page"
        " { background: none; height: 0; }"));
    colonna->addWidget(scorrimento_, 1);

    vuoto_ = new StatoVuoto(this);
    vuoto_->setObjectName(QStringLiteral("statoVuoto"));
    colonna->addWidget(vuoto_, 1);

    const QFont fontSvuota = fontPixel(11, QFont::DemiBold);
    const QString testoSvuota = tr("Svuota cronologia");
    svuota_ = new PulsanteDipinto(
        QSize(200, QFontMetrics(fontSvuota).height() + 20), 0.6,
        [fontSvuota, testoSvuota](QPainter& p, const QRect& r) {
            riempiArrotondato(p, r, 12, materialeRegolare());
            disegnaEtichetta(p, r, QStringLiteral("trash"), 12, testoSvuota, fontSvuota, primario(), 6);
        },
        this);
    svuota_->setObjectName(QStringLiteral("svuota"));
    svuota_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    colonna->addWidget(svuota_);

    connect(ricerca_, &QLineEdit::textChanged, this, &ClipboardView::aggiorna);
    connect(&manager_, &ClipboardManager::copiedItemsChanged, this, &ClipboardView::aggiorna);
    connect(elenco_, &ElencoAppunti::copia, this, &ClipboardView::copiaRichiesta);
    connect(copiaTutto_, &QAbstractButton::clicked, this, &ClipboardView::copiaTuttoRichiesta);
    connect(svuota_, &QAbstractButton::clicked, this, &ClipboardView::svuotaRichiesta);

    connect(this, &ClipboardView::copiaRichiesta, &manager_, &ClipboardManager::copia);
    connect(this, &ClipboardView::copiaTuttoRichiesta, &manager_, &ClipboardManager::copyAllToClipboard);
    connect(this, &ClipboardView::svuotaRichiesta, &manager_, [this] { manager_.setCopiedItems({}); });
    aggiorna();
}

QString ClipboardView::searchText() const { return ricerca_->text(); }

QList<Appunto> ClipboardView::filtered() const
{
    const QList<Appunto>& voci = manager_.voci();
    const QString ricerca = searchText();
    if (ricerca.isEmpty()) {
        corrispondenze_.clear();
        return voci;
    }
    if (ricerca != ricercaFiltrata_) {
        corrispondenze_.clear();
        ricercaFiltrata_ = ricerca;
    }
    QHash<const char*, bool> note;
    for (const Corrispondenza& c : std::as_const(corrispondenze_))
        note.insert(c.voce.utf8().constData(), c.si);
    QList<Corrispondenza> nuove;
    QList<Appunto> risultato;
    for (const Appunto& v : voci) {
        const auto it = note.constFind(v.utf8().constData());
        const bool si = it != note.cend() ? it.value() : ClipboardManager::corrisponde(v, ricerca);
        nuove.append({v, si});
        if (si)
            risultato << v;
    }
    corrispondenze_ = nuove;
    return risultato;
}

void ClipboardView::aggiorna()
{
    const QList<Appunto> righe = filtered();
    elenco_->setVoci(righe);
    scorrimento_->setVisible(!righe.isEmpty());
    vuoto_->setVisible(righe.isEmpty());
    static_cast<StatoVuoto*>(vuoto_)->setTesto(searchText().isEmpty() ? tr("Copia un testo per iniziare")
                                                                      : tr("Nessun risultato"));
    copiaTutto_->setEnabled(!manager_.voci().isEmpty());
    svuota_->setEnabled(!righe.isEmpty());
    copiaTutto_->update();
    svuota_->update();
}
