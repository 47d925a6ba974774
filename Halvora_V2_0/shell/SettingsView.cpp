#include "SettingsView.h"

#include "AggiornamentoManager.h"
#include "ClipboardManager.h"
#include "Colori.h"
#include "DesktopEntries.h"
#include "Disegno.h"
#include "Intestazione.h"
#include "IstruzioniHook.h"
#include "LinguaManager.h"
#include "Pasteboard.h"
#include "PulsanteSimbolo.h"
#include "RigaInterruttore.h"
#include "Riquadro.h"
#include "ScorciatoiaTacca.h"
#include "SettingsManager.h"
#include "Simboli.h"
#include "TrascrittoreAudio.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QThreadPool>
#include <QVariantAnimation>
#include <QVBoxLayout>

namespace {

constexpr int kSpazioSimbolo = 5;

// What a label or a button shows: a symbol and a one-line text.
struct Aspetto {
    QString simbolo;
    QString testo;
    QFont font;
    QColor colore;
    int latoSimbolo = 12;
    Qt::Alignment allineamento = Qt::AlignLeft;
    bool elidiAlCentro = false;
};

QSize misuraAspetto(const Aspetto& a)
{
    const QFontMetrics fm(a.font);
    const int simbolo = a.simbolo.isEmpty() ? 0 : a.latoSimbolo + (a.testo.isEmpty() ? 0 : kSpazioSimbolo);
    return {simbolo + fm.horizontalAdvance(a.testo), std::max(fm.height(), a.simbolo.isEmpty() ? 0 : a.latoSimbolo)};
}

void disegnaAspetto(QPainter& p, const QRect& r, const Aspetto& a)
{
    const QFontMetrics fm(a.font);
    const int simbolo = a.simbolo.isEmpty() ? 0 : a.latoSimbolo + kSpazioSimbolo;
    QString testo = a.testo;
    if (a.elidiAlCentro)
        testo = fm.elidedText(testo, Qt::ElideMiddle, std::max(0, r.width() - simbolo));
    const int larghezza = std::min(r.width(), misuraAspetto({a.simbolo, testo, a.font, a.colore, a.latoSimbolo}).width());
    int x = r.left();
    if (a.allineamento & Qt::AlignHCenter)
        x = r.left() + (r.width() - larghezza) / 2;
    if (!a.simbolo.isEmpty()) {
        p.drawPixmap(x, r.top() + (r.height() - a.latoSimbolo) / 2,
                     Simboli::pixmap(a.simbolo, a.latoSimbolo, a.colore, p.device()->devicePixelRatioF()));
        x += simbolo;
    }
    p.setFont(a.font);
    p.setPen(a.colore);
    p.drawText(QRect(x, r.top(), r.right() - x + 1, r.height()), Qt::AlignLeft | Qt::AlignVCenter, testo);
}

// A symbol beside a one-line text.
class Etichetta final : public QWidget {
public:
    Etichetta(Aspetto aspetto, QWidget* parent) : QWidget(parent), aspetto_(std::move(aspetto))
    {
        setSizePolicy(aspetto_.elidiAlCentro ? QSizePolicy::Ignored : QSizePolicy::Preferred, QSizePolicy::Fixed);
        setAccessibleName(aspetto_.testo);
    }
    QString testo() const { return aspetto_.testo; }
    void setTesto(const QString& t)
    {
        aspetto_.testo = t;
        setAccessibleName(t);
        updateGeometry();
        update();
    }
    QSize sizeHint() const override { return misuraAspetto(aspetto_); }
    QSize minimumSizeHint() const override
    {
        return aspetto_.elidiAlCentro ? QSize(aspetto_.latoSimbolo, sizeHint().height()) : sizeHint();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        disegnaAspetto(p, rect(), aspetto_);
    }

private:
    Aspetto aspetto_;
};

// A button drawn as its label, on an optional rounded fill. Busy, it shows
// a small spinning indicator in place of the label and takes no clicks.
class Pulsante final : public QAbstractButton {
public:
    Pulsante(Aspetto aspetto, QWidget* parent) : QAbstractButton(parent), aspetto_(std::move(aspetto))
    {
        setFocusPolicy(Qt::TabFocus);
        setText(aspetto_.testo);
        dissolvenza_->setDuration(200);
        dissolvenza_->setEasingCurve(QEasingCurve::InOutQuad);
        dissolvenza_->setStartValue(0.0);
        dissolvenza_->setEndValue(1.0);
        connect(dissolvenza_, &QVariantAnimation::valueChanged, this, qOverload<>(&QWidget::update));
    }
    // A fill behind the label, with its inner margins and corner radius.
    void setFondo(const QColor& fondo, QMargins margini, double raggio)
    {
        fondo_ = fondo;
        margini_ = margini;
        raggio_ = raggio;
        updateGeometry();
    }
    // A new label fades in over the old one.
    void setContenuto(const QString& simbolo, const QString& testo)
    {
        if (simbolo == aspetto_.simbolo && testo == aspetto_.testo)
            return;
        precedente_ = aspetto_;
        if (isVisible())
            dissolvenza_->start();
        aspetto_.simbolo = simbolo;
        aspetto_.testo = testo;
        setText(testo);
        updateGeometry();
        update();
    }
    void setOccupato(bool occupato)
    {
        if (occupato && !indicatore_) {
            indicatore_ = new IndicatoreAttivita(12, this);
            indicatore_->move((width() - 12) / 2, (height() - 12) / 2);
            indicatore_->show();
        } else if (!occupato && indicatore_) {
            delete indicatore_;
            indicatore_ = nullptr;
        }
        setEnabled(!occupato);
        update();
    }
    QSize sizeHint() const override
    {
        const QSize m = misuraAspetto(aspetto_);
        return {m.width() + margini_.left() + margini_.right(), m.height() + margini_.top() + margini_.bottom()};
    }

protected:
    void resizeEvent(QResizeEvent*) override
    {
        if (indicatore_)
            indicatore_->move((width() - 12) / 2, (height() - 12) / 2);
    }
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        if (fondo_.isValid())
            p.fillPath(Disegno::rettangoloContinuo(QRectF(rect()), raggio_), fondo_);
        if (indicatore_)
            return;
        const double opacita = !isEnabled() ? 0.4 : isDown() ? 0.6 : 1.0;
        const QRect area = rect().marginsRemoved(margini_);
        if (dissolvenza_->state() == QAbstractAnimation::Running) {
            const double t = dissolvenza_->currentValue().toDouble();
            p.setOpacity(opacita * (1 - t));
            disegnaAspetto(p, area, precedente_);
            p.setOpacity(opacita * t);
        } else {
            p.setOpacity(opacita);
        }
        disegnaAspetto(p, area, aspetto_);
    }

private:
    Aspetto aspetto_;
    Aspetto precedente_;
    QVariantAnimation* dissolvenza_ = new QVariantAnimation(this);
    QColor fondo_;
    QMargins margini_;
    double raggio_ = 0;
    IndicatoreAttivita* indicatore_ = nullptr;
};

// One application of the clipboard exclusions: a built-in one (always
// excluded, not removable) or one of the user's, with its remove button.
class RigaApp final : public QWidget {
public:
    RigaApp(const QString& id, const QString& nome, bool inclusa, QWidget* parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("rigaApp"));
        setProperty("idApp", id);
        auto* riga = new QHBoxLayout(this);
        riga->setContentsMargins(0, 0, 0, 0);
        riga->setSpacing(6);
        riga->addWidget(new Etichetta({inclusa ? QStringLiteral("checkmark.shield.fill") : QStringLiteral("person.badge.key"),
                                       {}, {}, inclusa ? Colori::verde() : Disegno::secondario(), 11},
                                      this));
        riga->addWidget(new Etichetta({{}, nome, Riquadro::carattere(Riquadro::kDidascalia), Disegno::primario(), 0,
                                       Qt::AlignLeft, true},
                                      this),
                        1);
        if (!inclusa) {
            rimuovi_ = new PulsanteSimbolo(QStringLiteral("minus.circle"), 11, Disegno::secondario(), this);
            rimuovi_->setAccessibleName(id);
            riga->addWidget(rimuovi_);
        }
    }
    QAbstractButton* rimuovi() const { return rimuovi_; }

private:
    QAbstractButton* rimuovi_ = nullptr;
};

// The language menu, with a chevron that the dark style sheet leaves out.
class MenuLingua final : public QComboBox {
public:
    using QComboBox::QComboBox;

protected:
    void paintEvent(QPaintEvent* e) override
    {
        QComboBox::paintEvent(e);
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(isEnabled() ? Disegno::secondario() : Riquadro::terziario(), 1.4, Qt::SolidLine, Qt::RoundCap,
                      Qt::RoundJoin));
        // Up and down, as a menu that opens over its current entry.
        const QPolygonF su({QPointF(-3, -1.5), QPointF(0, -4.5), QPointF(3, -1.5)});
        const QPointF centro(width() - 10, height() / 2.0);
        p.drawPolyline(su.translated(centro));
        p.drawPolyline(QTransform::fromScale(1, -1).map(su).translated(centro));
    }
};

QHBoxLayout* rigaOrizzontale(int spaziatura)
{
    auto* l = new QHBoxLayout;
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(spaziatura);
    return l;
}

QVBoxLayout* colonna(int spaziatura)
{
    auto* l = new QVBoxLayout;
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(spaziatura);
    return l;
}

QFont didascalia(QFont::Weight peso = QFont::Normal)
{
    return Riquadro::carattere(Riquadro::kDidascalia, peso);
}

} // namespace

SettingsView::SettingsView(SettingsManager& settings, LinguaManager& lingua, ScorciatoiaTacca* scorciatoia,
                           ClipboardManager* clipboard, AggiornamentoManager* aggiornamento, Pasteboard& pasteboard,
                           const DesktopEntries& applicazioni, Clock& clock, QWidget* parent)
    : QScrollArea(parent), settings_(settings), lingua_(lingua), scorciatoia_(scorciatoia), clipboard_(clipboard),
      aggiornamento_(aggiornamento), pasteboard_(pasteboard), applicazioni_(applicazioni), clock_(clock)
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setAttribute(Qt::WA_TranslucentBackground);
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setStyleSheet(QStringLiteral(
        "QScrollBar:vertical { background: transparent; width: 8px; margin: 4px 2px 4px 0; }"
        "QScrollBar::handle:vertical { background: rgba(255,255,255,0.3); border-radius: 3px; min-height: 24px; }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: transparent; }"));

    pagina_ = new QWidget;
    pagina_->setObjectName(QStringLiteral("paginaImpostazioni"));
    auto* pila = new QVBoxLayout(pagina_);
    pila->setContentsMargins(20, 52, 20, 20);
    pila->setSpacing(18);

    QFont fontTitolo = Riquadro::carattere(16, QFont::Bold);
    fontTitolo.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    auto* titolo = Riquadro::testo(tr("IMPOSTAZIONI"), fontTitolo, Disegno::secondario(), pagina_);
    titolo->setAlignment(Qt::AlignHCenter);
    pila->addWidget(titolo);
    pila->addWidget(sezione(tr("Generale"), creaGenerale(), 8));
    // Heading and box stand apart here, at the page's own spacing.
    pila->addWidget(new Intestazione(tr("Aspetto"), pagina_));
    pila->addWidget(creaAspetto());
    pila->addWidget(sezione(tr("Sotto la tacca"), creaSottoLaTacca(), 8));
    pila->addWidget(sezione(tr("Privacy"), creaPrivacy(), 8));
    pila->addWidget(creaPiede());
    pila->addStretch(1);
    setWidget(pagina_);
    // setWidget turns the fill on; the notch's own material shows through.
    pagina_->setAutoFillBackground(false);
}

SettingsView::~SettingsView() = default;

QWidget* SettingsView::sezione(const QString& titolo, QWidget* riquadro, int spaziatura)
{
    auto* s = new QWidget(pagina_);
    auto* l = new QVBoxLayout(s);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(spaziatura);
    l->addWidget(new Intestazione(titolo, s));
    l->addWidget(riquadro);
    return s;
}

RigaInterruttore* SettingsView::interruttore(const QString& titolo, const QString& spiegazione, const char* proprieta)
{
    auto* r = new RigaInterruttore(titolo, spiegazione);
    r->setObjectName(QString::fromLatin1(proprieta));
    r->collega(&settings_, proprieta);
    return r;
}

// --- Generale ---------------------------------------------------------------

QWidget* SettingsView::creaGenerale()
{
    auto* box = new Riquadro(pagina_);
    box->aggiungi(creaLingua());
    if (aggiornamento_)
        box->aggiungi(creaVersione());
    auto* guida = new Pulsante({QStringLiteral("questionmark.circle"), tr("Rivedi la guida"),
                                Riquadro::carattere(Riquadro::kSottotitolo, QFont::Medium), Disegno::primario(), 12},
                               box);
    guida->setObjectName(QStringLiteral("rivediGuida"));
    guida->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(guida, &QAbstractButton::clicked, this, &SettingsView::rivediGuida);
    box->aggiungi(guida);
    box->aggiungi(creaAvvioAlLogin());
    box->aggiungi(creaScorciatoia());
    return box;
}

QLayout* SettingsView::creaLingua()
{
    auto* l = colonna(4);
    auto* riga = rigaOrizzontale(8);
    riga->addWidget(new Etichetta({QStringLiteral("globe"), tr("Lingua"), Riquadro::carattere(Riquadro::kCorpo),
                                   Disegno::primario(), 13},
                                  pagina_));
    riga->addStretch(1);
    sceltaLingua_ = new MenuLingua(pagina_);
    sceltaLingua_->setObjectName(QStringLiteral("sceltaLingua"));
    sceltaLingua_->setFont(Riquadro::carattere(Riquadro::kSottotitolo));
    sceltaLingua_->setStyleSheet(QStringLiteral(
        "QComboBox { color: white; background: rgba(255,255,255,0.12); border: none; border-radius: 5px;"
        " padding: 2px 20px 2px 8px; }"
        "QComboBox:disabled { color: rgba(255,255,255,0.35); }"
        "QComboBox::drop-down { border: none; width: 16px; }"
        "QComboBox QAbstractItemView { background: #2a2a2e; color: white; selection-background-color: #007aff;"
        " border: none; outline: none; }"));
    for (LinguaInterfaccia l : Lingue::tutte())
        sceltaLingua_->addItem(Lingue::etichetta(l), static_cast<int>(l));
    connect(sceltaLingua_, &QComboBox::activated, this, [this](int indice) {
        lingua_.setScelta(static_cast<LinguaInterfaccia>(sceltaLingua_->itemData(indice).toInt()));
    });
    riga->addWidget(sceltaLingua_);
    l->addLayout(riga);
    notaLingua_ = Riquadro::testo({}, didascalia(), Disegno::secondario(), pagina_);
    notaLingua_->setObjectName(QStringLiteral("notaLingua"));
    l->addWidget(notaLingua_);
    connect(&lingua_, &LinguaManager::sceltaChanged, this, &SettingsView::aggiornaLingua);
    connect(&lingua_, &LinguaManager::riavvioInCorsoChanged, this, &SettingsView::aggiornaLingua);
    aggiornaLingua();
    return l;
}

void SettingsView::aggiornaLingua()
{
    sceltaLingua_->setCurrentIndex(sceltaLingua_->findData(static_cast<int>(lingua_.scelta())));
    sceltaLingua_->setEnabled(!lingua_.riavvioInCorso());
    if (lingua_.riavvioInCorso())
        notaLingua_->setText(tr("Riapertura in corso…"));
    else if (lingua_.scelta() != LinguaInterfaccia::sistema)
        notaLingua_->setText(tr("Cambiando lingua l'app si riapre da sola."));
    else
        notaLingua_->setText(tr("Segue la lingua del Mac: ") + LinguaManager::nomeLinguaDelSistema() + QLatin1Char('.'));
}

QLayout* SettingsView::creaVersione()
{
    auto* riga = rigaOrizzontale(8);
    auto* testi = colonna(2);
    auto* versione = Riquadro::testo(tr("Versione ") + AggiornamentoManager::versioneCorrente(),
                                     Riquadro::carattere(12, QFont::DemiBold), Disegno::primario(), pagina_);
    versione->setObjectName(QStringLiteral("versione"));
    testi->addWidget(versione);
    esitoVerifica_ = Riquadro::testo({}, didascalia(), Disegno::secondario(), pagina_);
    esitoVerifica_->setObjectName(QStringLiteral("esitoVerifica"));
    testi->addWidget(esitoVerifica_);
    versioneDisponibile_ = Riquadro::testo({}, didascalia(), Colori::accento(), pagina_);
    versioneDisponibile_->setObjectName(QStringLiteral("versioneDisponibile"));
    testi->addWidget(versioneDisponibile_);
    riga->addLayout(testi, 1);
    auto* cerca = new Pulsante({{}, tr("Cerca aggiornamenti"), didascalia(), Colori::accento()}, pagina_);
    cerca->setObjectName(QStringLiteral("cercaAggiornamenti"));
    cercaAggiornamenti_ = cerca;
    connect(cerca, &QAbstractButton::clicked, this, [this] {
        if (aggiornamento_)
            aggiornamento_->controllaAggiornamenti(true);
    });
    riga->addWidget(cerca, 0, Qt::AlignVCenter);
    connect(aggiornamento_, &AggiornamentoManager::verificaInCorsoChanged, this, &SettingsView::aggiornaVersione);
    connect(aggiornamento_, &AggiornamentoManager::esitoVerificaManualeChanged, this, &SettingsView::aggiornaVersione);
    connect(aggiornamento_, &AggiornamentoManager::versioneDisponibileChanged, this, &SettingsView::aggiornaVersione);
    aggiornaVersione();
    return riga;
}

void SettingsView::aggiornaVersione()
{
    if (!aggiornamento_)
        return;
    const QString esito = aggiornamento_->esitoVerificaManuale();
    esitoVerifica_->setText(esito);
    esitoVerifica_->setVisible(!esito.isEmpty());
    const QString disponibile = aggiornamento_->versioneDisponibile();
    versioneDisponibile_->setText(disponibile.isEmpty() ? QString()
                                                        : tr("Disponibile la ") + disponibile + QLatin1Char('.'));
    versioneDisponibile_->setVisible(!disponibile.isEmpty());
    static_cast<Pulsante*>(cercaAggiornamenti_)->setOccupato(aggiornamento_->verificaInCorso());
}

QLayout* SettingsView::creaAvvioAlLogin()
{
    auto* l = colonna(4);
    avvioAlLogin_ = interruttore(tr("Avvia al login"), {}, "launchAtLogin");
    avvioAlLogin_->setDisattivato(!settings_.avvioAlLoginDisponibile());
    l->addWidget(avvioAlLogin_);
    notaAvvioAlLogin_ = Riquadro::testo(tr("Disponibile solo con l'app nella cartella Applicazioni."), didascalia(),
                                        Disegno::secondario(), pagina_);
    notaAvvioAlLogin_->setObjectName(QStringLiteral("notaAvvioAlLogin"));
    l->addWidget(notaAvvioAlLogin_);
    erroreAvvioAlLogin_ = Riquadro::testo({}, didascalia(), Colori::arancione(), pagina_);
    erroreAvvioAlLogin_->setObjectName(QStringLiteral("erroreAvvioAlLogin"));
    l->addWidget(erroreAvvioAlLogin_);
    connect(&settings_, &SettingsManager::erroreAvvioAlLoginChanged, this, &SettingsView::aggiornaAvvioAlLogin);
    aggiornaAvvioAlLogin();
    return l;
}

void SettingsView::aggiornaAvvioAlLogin()
{
    // Where the login item cannot work, the reason replaces any error text.
    const bool disponibile = settings_.avvioAlLoginDisponibile();
    notaAvvioAlLogin_->setVisible(!disponibile);
    // The system's own words, shown as they come.
    erroreAvvioAlLogin_->setText(settings_.erroreAvvioAlLogin());
    erroreAvvioAlLogin_->setVisible(disponibile && !settings_.erroreAvvioAlLogin().isEmpty());
}

QLayout* SettingsView::creaScorciatoia()
{
    auto* l = colonna(4);
    l->addWidget(interruttore(tr("Apri la notch con ⌃⌥N"),
                              tr("Control-Option-N apre e chiude la notch da qualunque app. Si chiude anche con un "
                                 "clic fuori."),
                              "scorciatoiaTaccaAttiva"));
    avvisoScorciatoia_ = Riquadro::testo(tr("Un'altra app usa già ⌃⌥N: finché la tiene lei, qui non funziona."),
                                         didascalia(), Colori::arancione(), pagina_);
    avvisoScorciatoia_->setObjectName(QStringLiteral("avvisoScorciatoia"));
    l->addWidget(avvisoScorciatoia_);
    connect(&settings_, &SettingsManager::scorciatoiaTaccaAttivaChanged, this, &SettingsView::aggiornaScorciatoia);
    if (scorciatoia_)
        connect(scorciatoia_, &ScorciatoiaTacca::occupataChanged, this, &SettingsView::aggiornaScorciatoia);
    aggiornaScorciatoia();
    return l;
}

void SettingsView::aggiornaScorciatoia()
{
    avvisoScorciatoia_->setVisible(settings_.scorciatoiaTaccaAttiva() && scorciatoia_ && scorciatoia_->occupata());
}

// --- Aspetto and Sotto la tacca ---------------------------------------------

QWidget* SettingsView::creaAspetto()
{
    auto* box = new Riquadro(pagina_);
    box->aggiungi(interruttore(tr("Tacca discreta"),
                               tr("A riposo resta solo una linguetta sul bordo dello schermo, che si apre avvicinando "
                                  "il puntatore. Riduce le aperture involontarie e, sui Mac senza tacca fisica, libera "
                                  "la barra dei menu."),
                               "taccaDiscreta"));
    return box;
}

QWidget* SettingsView::creaSottoLaTacca()
{
    auto* box = new Riquadro(pagina_);
    box->aggiungi(interruttore(tr("Scheda musicale sotto la notch"),
                               tr("Il riquadro con copertina e onde che compare durante la riproduzione."),
                               "mostraSchedaMedia"));
    box->aggiungiDivisore();
    box->aggiungi(interruttore(tr("Prossimo impegno sotto la notch"),
                               tr("Compare nel quarto d'ora prima di un appuntamento del calendario."),
                               "mostraProssimoImpegno"));
    box->aggiungiDivisore();
    box->aggiungi(interruttore(
        tr("Uso dell'IA"),
        tr("Un anello nella notch aperta mostra quanto hai usato di Claude o di ChatGPT, a seconda dell'app che stai "
           "usando, e mentre la usi compare anche una scheda sotto la notch chiusa. Oltre i tre quarti diventano "
           "arancioni. I dati vengono dalle app Claude e ChatGPT, se installate: niente password, niente accesso "
           "all'account."),
        "mostraUsoIA"));
    box->aggiungiDivisore();
    box->aggiungi(creaAvvisiAgenti());
    box->aggiungiDivisore();
    box->aggiungi(interruttore(tr("Timer sotto la notch"),
                               tr("Il conto alla rovescia resta visibile anche a notch chiusa."), "mostraSchedaTimer"));
    box->aggiungiDivisore();
    box->aggiungi(interruttore(
        tr("Annuncia i file scaricati"),
        tr("Segnala i file appena comparsi in Scaricati, compresi quelli ricevuti via AirDrop."),
        "annunciaFileScaricati"));
    return box;
}

QWidget* SettingsView::creaAvvisiAgenti()
{
    auto* blocco = new QWidget(pagina_);
    auto* l = new QVBoxLayout(blocco);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(6);
    l->addWidget(Riquadro::testo(tr("Avvisi di Claude e ChatGPT"), Riquadro::carattere(Riquadro::kCorpo),
                                 Disegno::primario(), blocco));
    l->addWidget(Riquadro::testo(tr("Quando Claude o ChatGPT finiscono un lavoro, o ti chiedono un permesso, mentre "
                                    "sei in un'altra app, compare nella notch."),
                                 didascalia(), Disegno::secondario(), blocco));
    auto* pulsanti = rigaOrizzontale(8);
    for (FornitoreIA f : kFornitoriIA) {
        auto* b = new Pulsante({{}, {}, didascalia(QFont::DemiBold), Disegno::primario(), 10}, blocco);
        b->setFondo(Riquadro::materialeRegolare(), QMargins(8, 4, 8, 4), 5);
        b->setObjectName(f == FornitoreIA::claude ? QStringLiteral("copiaClaude") : QStringLiteral("copiaCodex"));
        connect(b, &QAbstractButton::clicked, this, [this, f] { copiaIstruzioni(f); });
        pulsanti->addWidget(b);
        (f == FornitoreIA::claude ? copiaClaude_ : copiaCodex_) = b;
    }
    pulsanti->addStretch(1);
    l->addLayout(pulsanti);
    l->addWidget(Riquadro::testo(tr("ChatGPT esegue gli hook solo dopo che li hai approvati: apri Codex nel Terminale "
                                    "e scrivi /hooks."),
                                 didascalia(), Riquadro::terziario(), blocco));
    aggiornaPulsantiCopia();
    return blocco;
}

void SettingsView::copiaIstruzioni(FornitoreIA fornitore)
{
    // Replaces whatever the clipboard held.
    pasteboard_.setString(IstruzioniHook::promptInstallazioneHook(fornitore));
    messaggioCopiato_ = fornitore;
    aggiornaPulsantiCopia();
    std::erase_if(ripristiniCopiato_, [](const TimerHandle& t) { return !t.isActive(); });
    ripristiniCopiato_.push_back(clock_.singleShot(kDurataCopiato, [this, fornitore] {
        if (messaggioCopiato_ != fornitore)
            return;
        messaggioCopiato_.reset();
        aggiornaPulsantiCopia();
    }));
}

void SettingsView::aggiornaPulsantiCopia()
{
    const auto mostra = [this](QAbstractButton* b, FornitoreIA f, const QString& copia) {
        if (messaggioCopiato_ == f)
            static_cast<Pulsante*>(b)->setContenuto(QStringLiteral("checkmark"), tr("Copiato"));
        else
            static_cast<Pulsante*>(b)->setContenuto(QStringLiteral("doc.on.doc"), copia);
    };
    mostra(copiaClaude_, FornitoreIA::claude, tr("Copia per Claude Code"));
    mostra(copiaCodex_, FornitoreIA::codex, tr("Copia per ChatGPT"));
}

// --- Privacy ----------------------------------------------------------------

QWidget* SettingsView::creaPrivacy()
{
    auto* box = new Riquadro(pagina_);
    auto* trascrizione = colonna(4);
    trascrizione->addWidget(interruttore(
        tr("Trascrizione solo sul Mac"),
        tr("L'audio non lascia il computer, ma il riconoscimento offline sbaglia molto di piu'. Da spento, la "
           "trascrizione passa dai server di Apple come la dettatura di sistema."),
        "trascrizioneSoloSulMac"));
    auto* lingua = new Etichetta({QStringLiteral("globe"), tr("Lingua: ") + TrascrittoreAudio::nomeLinguaRiconoscimento(),
                                  didascalia(), Riquadro::terziario(), 10},
                                 pagina_);
    lingua->setObjectName(QStringLiteral("linguaRiconoscimento"));
    trascrizione->addWidget(lingua);
    box->aggiungi(trascrizione);
    if (clipboard_)
        box->aggiungi(creaAppunti());
    return box;
}

QLayout* SettingsView::creaAppunti()
{
    auto* l = colonna(6);
    l->addWidget(new Etichetta({QStringLiteral("lock.shield"), tr("Privacy degli appunti"),
                                Riquadro::carattere(12, QFont::DemiBold), Disegno::primario(), 12},
                               pagina_));
    l->addWidget(Riquadro::testo(
        tr("La cronologia non registra i contenuti che il sistema marca come riservati, ne' nulla di copiato mentre in "
           "primo piano c'e' una di queste app. Ogni copia viene inoltre confermata con una seconda lettura, perche' "
           "durante una scrittura il pasteboard puo' mostrarsi privo di marcatori."),
        didascalia(), Disegno::secondario(), pagina_));
    auto* elenco = new QWidget(pagina_);
    elenco->setObjectName(QStringLiteral("elencoApp"));
    elencoApp_ = new QVBoxLayout(elenco);
    elencoApp_->setContentsMargins(0, 0, 0, 0);
    elencoApp_->setSpacing(4);
    l->addWidget(elenco);
    auto* aggiungi = new Pulsante({QStringLiteral("plus.circle"), tr("Aggiungi un'app…"), didascalia(),
                                   Colori::accento(), 11},
                                  pagina_);
    aggiungi->setObjectName(QStringLiteral("aggiungiApp"));
    connect(aggiungi, &QAbstractButton::clicked, this, &SettingsView::aggiungiApp);
    l->addWidget(aggiungi, 0, Qt::AlignLeft);
    connect(clipboard_, &ClipboardManager::appEscluseUtenteChanged, this, &SettingsView::aggiornaAppEscluse);
    aggiornaAppEscluse();
    return l;
}

void SettingsView::aggiornaAppEscluse()
{
    QWidget* elenco = elencoApp_->parentWidget();
    // Taken out of the tree now, deleted later: the row whose button is
    // being clicked may be among them.
    for (QWidget* vecchia : elenco->findChildren<QWidget*>(QStringLiteral("rigaApp"), Qt::FindDirectChildrenOnly)) {
        vecchia->hide();
        vecchia->setParent(nullptr);
        vecchia->deleteLater();
    }
    const auto nome = [this](const QString& id) {
        const auto voce = applicazioni_.perId(id);
        return voce && !voce->nome.isEmpty() ? voce->nome : id;
    };
    for (const QString& id : ClipboardManager::appEscluseIncluse())
        elencoApp_->addWidget(new RigaApp(id, nome(id), true, elenco));
    for (const QString& id : clipboard_->appEscluseUtente()) {
        auto* riga = new RigaApp(id, nome(id), false, elenco);
        connect(riga->rimuovi(), &QAbstractButton::clicked, this, [this, id] {
            if (clipboard_)
                clipboard_->rimuoviAppEsclusa(id);
        });
        elencoApp_->addWidget(riga);
    }
}

void SettingsView::aggiungiApp()
{
    QPointer<SettingsView> io(this);
    const std::optional<QString> percorso = sceltaFile_ ? sceltaFile_(this) : std::nullopt;
    // The page may have gone while the dialog was open.
    if (io && percorso)
        escludiFile(*percorso);
}

void SettingsView::escludiFile(const QString& percorso)
{
    if (!percorso.endsWith(QLatin1String(".desktop")))
        return;
    // Another application's file: read on a worker, handed back here.
    QPointer<ClipboardManager> clipboard = clipboard_;
    QThreadPool::globalInstance()->start([clipboard, percorso] {
        const bool applicazione = DesktopEntries::leggi(percorso).has_value();
        QMetaObject::invokeMethod(QCoreApplication::instance(), [clipboard, percorso, applicazione] {
            if (applicazione && clipboard)
                clipboard->aggiungiAppEsclusa(idDesktop(percorso));
        });
    });
}

QString SettingsView::idDesktop(const QString& percorso)
{
    const QString pulito = QDir::cleanPath(percorso);
    const QString cartella = QStringLiteral("/applications/");
    const int i = pulito.lastIndexOf(cartella);
    QString id = i >= 0 ? pulito.mid(i + cartella.size()) : pulito.section(QLatin1Char('/'), -1);
    id.replace(QLatin1Char('/'), QLatin1Char('-'));
    if (id.endsWith(QLatin1String(".desktop")))
        id.chop(static_cast<int>(qstrlen(".desktop")));
    return id;
}

std::optional<QString> SettingsView::sceltaFileDiSistema(QWidget* genitore)
{
    QPointer<QFileDialog> dialogo =
        new QFileDialog(genitore, tr("Scegli un'app da cui non registrare mai gli appunti."),
                        QStringLiteral("/usr/share/applications"), QStringLiteral("*.desktop"));
    dialogo->setOption(QFileDialog::DontUseNativeDialog);
    dialogo->setFileMode(QFileDialog::ExistingFile);
    dialogo->setAcceptMode(QFileDialog::AcceptOpen);
    dialogo->setLabelText(QFileDialog::Accept, tr("Escludi"));
    dialogo->setWindowModality(Qt::ApplicationModal);
    dialogo->raise();
    dialogo->activateWindow();
    const bool scelto = dialogo->exec() == QDialog::Accepted;
    if (!dialogo)
        return std::nullopt;
    const QStringList file = dialogo->selectedFiles();
    delete dialogo.data();
    if (!scelto || file.isEmpty())
        return std::nullopt;
    return file.first();
}

// --- Foot -------------------------------------------------------------------

QWidget* SettingsView::creaPiede()
{
    auto* piede = new QWidget(pagina_);
    auto* l = new QVBoxLayout(piede);
    l->setContentsMargins(0, 4, 0, 0);
    l->setSpacing(10);
    const QFont font = Riquadro::carattere(Riquadro::kSottotitolo, QFont::DemiBold);
    auto* indietro = new Pulsante({{}, tr("Torna Indietro"), font, Disegno::primario(), 12, Qt::AlignHCenter}, piede);
    indietro->setObjectName(QStringLiteral("tornaIndietro"));
    indietro->setFondo(Riquadro::materialeRegolare(), QMargins(0, 10, 0, 10), 12);
    indietro->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(indietro, &QAbstractButton::clicked, this, &SettingsView::chiudi);
    l->addWidget(indietro);
    auto* esci = new Pulsante({QStringLiteral("power"), tr("Esci da Orbelle"), font, Colori::rosso(), 12,
                               Qt::AlignHCenter},
                              piede);
    esci->setObjectName(QStringLiteral("esci"));
    esci->setFondo(Riquadro::materialeUltraSottile(), QMargins(0, 10, 0, 10), 12);
    esci->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // At once and without asking, whatever the notch is showing.
    connect(esci, &QAbstractButton::clicked, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    l->addWidget(esci);
    return piede;
}
