#include "CompositoreView.h"

#include "Colori.h"
#include "CompositorePromemoria.h"
#include "DettaturaVocale.h"
#include "PulsanteSimbolo.h"
#include "StileAgenda.h"

#include <QDateTimeEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QVBoxLayout>

using namespace StileAgenda;

namespace {

constexpr int kRaggioMateriale = 12;

// Dark menus, as the notch around them.
QMenu* creaMenu(QWidget* parent)
{
    auto* m = new QMenu(parent);
    m->setStyleSheet(QStringLiteral("QMenu { background: #2a2a2c; color: white; border: 1px solid #3a3a3c;"
                                    " border-radius: 6px; padding: 4px; }"
                                    "QMenu::item { padding: 4px 16px; border-radius: 4px; }"
                                    "QMenu::item:selected { background: rgb(88, 86, 214); }"));
    return m;
}

void apriSotto(QMenu* menu, QWidget* pulsante) { menu->popup(pulsante->mapToGlobal(QPoint(0, pulsante->height()))); }

// Symbol and text side by side in one capsule of the details panel.
QSize misuraCapsula(const QString& testo)
{
    const QFontMetrics fm(carattere(10, QFont::Medium));
    return {8 + 9 + 4 + fm.horizontalAdvance(testo) + 8, 4 + fm.height() + 4};
}

void disegnaCapsula(QPainter& p, const QRect& r, const QString& simbolo, const QString& testo)
{
    riempiCapsula(p, r, velo());
    disegnaSimbolo(p, simbolo, 9, secondario(), QPointF(r.left() + 8 + 4.5, r.center().y() + 0.5));
    p.setFont(carattere(10, QFont::Medium));
    p.setPen(secondario());
    p.drawText(r.adjusted(8 + 9 + 4, 0, -8, 0), Qt::AlignLeft | Qt::AlignVCenter, testo);
}

} // namespace

PulsanteAgenda::PulsanteAgenda(Misura misura, Disegno disegno, QWidget* parent)
    : QAbstractButton(parent), misura_(std::move(misura)), disegno_(std::move(disegno))
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

void PulsanteAgenda::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setOpacity(isDown() ? 0.6 : 1.0);
    disegno_(p, rect());
}

BarraCompositore::BarraCompositore(CompositorePromemoria& compositore, QWidget* parent)
    : QWidget(parent), compositore_(compositore), campo_(new QLineEdit(this)), menuRapido_(creaMenu(this))
{
    auto* riga = new QHBoxLayout(this);
    riga->setContentsMargins(10, 8, 10, 8);
    riga->setSpacing(8);

    auto* piu = new QLabel(this);
    piu->setPixmap(Simboli::pixmap(QStringLiteral("plus.circle"), 13, Colori::indaco(), devicePixelRatioF()));
    riga->addWidget(piu);

    campo_->setFrame(false);
    // Only a click gives it the keyboard, never the panel's opening.
    campo_->setFocusPolicy(Qt::ClickFocus);
    campo_->setFont(carattere(12));
    campo_->setPlaceholderText(tr("Ricordami di…"));
    campo_->setAttribute(Qt::WA_MacShowFocusRect, false);
    QPalette pal = campo_->palette();
    pal.setColor(QPalette::Base, Qt::transparent);
    pal.setColor(QPalette::Text, primario());
    pal.setColor(QPalette::PlaceholderText, terziario());
    campo_->setPalette(pal);
    campo_->installEventFilter(this);
    riga->addWidget(campo_, 1);
    connect(campo_, &QLineEdit::textEdited, &compositore_, &CompositorePromemoria::setNuovoPromemoria);
    connect(campo_, &QLineEdit::returnPressed, &compositore_,
            [this] { compositore_.creaRapido(QuandoRicordare::fraUnQuartoDOra); });

    DettaturaVocale& dettatura = compositore_.dettatura();
    microfono_ = new PulsanteAgenda([] { return QSize(16, 16); },
                                    [&dettatura](QPainter& p, const QRect& r) {
                                        if (dettatura.inElaborazione())
                                            return; // the spinner stands there
                                        const QPointF centro = QRectF(r).center();
                                        if (!dettatura.inCorso()) {
                                            disegnaSimbolo(p, QStringLiteral("mic.fill"), 12, secondario(), centro);
                                            return;
                                        }
                                        // A red disc with the stop square cut out in black.
                                        p.setPen(Qt::NoPen);
                                        p.setBrush(Colori::rosso());
                                        p.drawEllipse(centro, 6.5, 6.5);
                                        p.fillRect(QRectF(centro.x() - 2.5, centro.y() - 2.5, 5, 5), Qt::black);
                                    },
                                    this);
    attesa_ = new IndicatoreAttivita(8, microfono_);
    attesa_->move(4, 4);
    attesa_->hide();
    riga->addWidget(microfono_);
    connect(microfono_, &QAbstractButton::clicked, &compositore_, &CompositorePromemoria::alternaDettatura);

    rapido_ = new PulsanteAgenda([] { return QSize(16, 16); },
                                 [this](QPainter& p, const QRect& r) {
                                     disegnaSimbolo(p, QStringLiteral("clock"), 12,
                                                    compositore_.testoVuoto() ? secondario() : Colori::indaco(),
                                                    QRectF(r).center());
                                 },
                                 this);
    rapido_->setToolTip(tr("Ricordamelo fra poco"));
    for (QuandoRicordare q : Scelte::tuttiQuando())
        menuRapido_->addAction(Scelte::etichetta(q), &compositore_, [this, q] { compositore_.creaRapido(q); });
    connect(rapido_, &QAbstractButton::clicked, this, [this] { apriSotto(menuRapido_, rapido_); });
    riga->addWidget(rapido_);

    dettagli_ = new PulsanteAgenda([] { return QSize(16, 16); },
                                   [this](QPainter& p, const QRect& r) {
                                       disegnaSimbolo(p,
                                                      compositore_.mostraDettagli() ? QStringLiteral("chevron.up")
                                                                                    : QStringLiteral("slider.horizontal.3"),
                                                      11, secondario(), QRectF(r).center());
                                   },
                                   this);
    dettagli_->setToolTip(tr("Ora esatta, ripetizione e avviso"));
    connect(dettagli_, &QAbstractButton::clicked, &compositore_, &CompositorePromemoria::alternaDettagli);
    riga->addWidget(dettagli_);

    connect(&compositore_, &CompositorePromemoria::cambiato, this, &BarraCompositore::aggiorna);
    connect(&dettatura, &DettaturaVocale::inCorsoChanged, this, &BarraCompositore::aggiorna);
    connect(&dettatura, &DettaturaVocale::inElaborazioneChanged, this, &BarraCompositore::aggiorna);
    aggiorna();
}

void BarraCompositore::aggiorna()
{
    if (campo_->text() != compositore_.nuovoPromemoria())
        campo_->setText(compositore_.nuovoPromemoria());
    if (!compositore_.scrivendo() && campo_->hasFocus())
        campo_->clearFocus();
    const DettaturaVocale& dettatura = compositore_.dettatura();
    microfono_->setEnabled(!dettatura.inElaborazione());
    microfono_->setToolTip(dettatura.inCorso() ? tr("Ferma e trascrivi") : tr("Detta il promemoria"));
    attesa_->setVisible(dettatura.inElaborazione());
    rapido_->setEnabled(!compositore_.testoVuoto());
    microfono_->update();
    rapido_->update();
    dettagli_->update();
}

bool BarraCompositore::eventFilter(QObject* o, QEvent* e)
{
    if (o == campo_) {
        if (e->type() == QEvent::MouseButtonPress) {
            // The panel does not take the keyboard by itself.
            compositore_.attivaApplicazione();
            campo_->setFocus(Qt::MouseFocusReason);
        } else if (e->type() == QEvent::FocusIn) {
            compositore_.setScrivendo(true);
        } else if (e->type() == QEvent::FocusOut) {
            compositore_.setScrivendo(false);
        }
    }
    return QWidget::eventFilter(o, e);
}

void BarraCompositore::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    riempiArrotondato(p, rect(), kRaggioMateriale, velo(0.1));
}

PannelloDettagli::PannelloDettagli(CompositorePromemoria& compositore, QWidget* parent)
    : QWidget(parent), compositore_(compositore), quando_(new QDateTimeEdit(this)), menuRipetizione_(creaMenu(this)),
      menuAnticipo_(creaMenu(this))
{
    auto* colonna = new QVBoxLayout(this);
    colonna->setContentsMargins(10, 8, 10, 8);
    colonna->setSpacing(8);

    auto* rigaQuando = new QHBoxLayout;
    auto* etichetta = new QLabel(tr("Quando"), this);
    etichetta->setFont(carattere(11));
    QPalette pal = etichetta->palette();
    pal.setColor(QPalette::WindowText, primario());
    etichetta->setPalette(pal);
    rigaQuando->addWidget(etichetta);
    rigaQuando->addStretch(1);
    const QLocale locale;
    quando_->setDisplayFormat(locale.dateFormat(QLocale::ShortFormat) + QLatin1Char(' ')
                              + locale.timeFormat(QLocale::ShortFormat));
    quando_->setCalendarPopup(true);
    quando_->setFocusPolicy(Qt::ClickFocus);
    quando_->setFont(carattere(11));
    quando_->setStyleSheet(QStringLiteral("QDateTimeEdit { color: white; background: rgba(255,255,255,20);"
                                          " border: none; border-radius: 5px; padding: 2px 6px; }"
                                          "QDateTimeEdit::drop-down { width: 0px; border: none; }"));
    rigaQuando->addWidget(quando_);
    colonna->addLayout(rigaQuando);
    connect(quando_, &QDateTimeEdit::dateTimeChanged, &compositore_, &CompositorePromemoria::setScadenzaScelta);

    auto* rigaScelte = new QHBoxLayout;
    rigaScelte->setSpacing(8);
    ripetizione_ = new PulsanteAgenda([this] { return misuraCapsula(Scelte::etichetta(compositore_.ripetizione())); },
                                      [this](QPainter& p, const QRect& r) {
                                          disegnaCapsula(p, r, QStringLiteral("repeat"),
                                                         Scelte::etichetta(compositore_.ripetizione()));
                                      },
                                      this);
    anticipo_ = new PulsanteAgenda([this] { return misuraCapsula(Scelte::etichetta(compositore_.anticipo())); },
                                   [this](QPainter& p, const QRect& r) {
                                       disegnaCapsula(p, r, QStringLiteral("bell"),
                                                      Scelte::etichetta(compositore_.anticipo()));
                                   },
                                   this);
    for (RipetizionePromemoria r : Scelte::tutteRipetizioni())
        menuRipetizione_->addAction(Scelte::etichetta(r), &compositore_, [this, r] { compositore_.setRipetizione(r); });
    for (AnticipoAvviso a : Scelte::tuttiAnticipi())
        menuAnticipo_->addAction(Scelte::etichetta(a), &compositore_, [this, a] { compositore_.setAnticipo(a); });
    connect(ripetizione_, &QAbstractButton::clicked, this, [this] { apriSotto(menuRipetizione_, ripetizione_); });
    connect(anticipo_, &QAbstractButton::clicked, this, [this] { apriSotto(menuAnticipo_, anticipo_); });
    rigaScelte->addStretch(1);
    rigaScelte->addWidget(ripetizione_);
    rigaScelte->addWidget(anticipo_);
    rigaScelte->addStretch(1);
    colonna->addLayout(rigaScelte);

    crea_ = new PulsanteAgenda([] { return QSize(0, QFontMetrics(carattere(11, QFont::DemiBold)).height() + 12); },
                               [this](QPainter& p, const QRect& r) {
                                   const bool vuoto = compositore_.testoVuoto();
                                   riempiCapsula(p, r, conOpacita(Colori::indaco(), vuoto ? 0.1 : 0.22));
                                   p.setFont(carattere(11, QFont::DemiBold));
                                   p.setPen(vuoto ? secondario()
                                                  : AspettoScheda::leggibileSulPannello(
                                                        Colori::indaco(), 0.1, conOpacita(Colori::indaco(), 0.22)));
                                   p.drawText(r, Qt::AlignCenter, compositore_.testoCrea());
                               },
                               this);
    crea_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(crea_, &QAbstractButton::clicked, &compositore_, &CompositorePromemoria::creaDaDettagli);
    colonna->addWidget(crea_);

    connect(&compositore_, &CompositorePromemoria::cambiato, this, &PannelloDettagli::aggiorna);
    aggiorna();
}

void PannelloDettagli::aggiorna()
{
    if (quando_->dateTime() != compositore_.scadenzaScelta()) {
        const QSignalBlocker blocco(quando_);
        quando_->setDateTime(compositore_.scadenzaScelta());
    }
    crea_->setEnabled(!compositore_.testoVuoto());
    ripetizione_->updateGeometry();
    anticipo_->updateGeometry();
    ripetizione_->update();
    anticipo_->update();
    crea_->update();
}

void PannelloDettagli::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    riempiArrotondato(p, rect(), kRaggioMateriale, velo(0.1));
}

MessaggioAgenda::MessaggioAgenda(QString simbolo, QColor colore, QWidget* parent)
    : QWidget(parent), simbolo_(std::move(simbolo)), colore_(std::move(colore))
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    hide();
}

void MessaggioAgenda::imposta(const std::optional<QString>& testo)
{
    testo_ = testo.value_or(QString());
    setToolTip(testo_);
    setVisible(!testo_.isEmpty());
    update();
}

QSize MessaggioAgenda::sizeHint() const { return {0, QFontMetrics(carattere(11)).height()}; }

void MessaggioAgenda::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    int x = 0;
    if (!simbolo_.isEmpty()) {
        disegnaSimbolo(p, simbolo_, 10, colore_, QPointF(5, height() / 2.0));
        x = 14;
    }
    riga(p, QRect(x, 0, width() - x, height()), testo_, carattere(11), colore_);
}
