#include "GuidaView.h"

#include "Disegno.h"
#include "IstruzioniHook.h"
#include "Pasteboard.h"
#include "SchedaChiusa.h"
#include "Simboli.h"
#include "Testi.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QVariantAnimation>
#include <cmath>

namespace {

const GuidaView::Pagina kTestiPagine[GuidaView::kPagine] = {
    {QT_TRANSLATE_NOOP("Halvora", "Benvenuto in Orbelle"),
     QT_TRANSLATE_NOOP("Halvora", "Passa il mouse sulla tacca per aprirla, allontanalo per chiuderla. In alto ci sono i "
                                  "moduli: te li presento uno alla volta.")},
    {QT_TRANSLATE_NOOP("Halvora", "Vassoio"),
     QT_TRANSLATE_NOOP("Halvora", "Trascina qui file, link e immagini per averli sempre a portata. Da qui fai anche "
                                  "screenshot e converti i file in PDF, JPEG o ZIP.")},
    {QT_TRANSLATE_NOOP("Halvora", "Appunti"),
     QT_TRANSLATE_NOOP("Halvora", "Tutto quello che copi resta qui, pronto da incollare di nuovo. Le password copiate "
                                  "dai gestori di password non vengono salvate.")},
    {QT_TRANSLATE_NOOP("Halvora", "Calendario"),
     QT_TRANSLATE_NOOP("Halvora", "I tuoi impegni di oggi e i promemoria, con l'ora esatta e le ripetizioni. Prima di "
                                  "una riunione la tacca te lo ricorda.")},
    {QT_TRANSLATE_NOOP("Halvora", "Timer"),
     QT_TRANSLATE_NOOP("Halvora", "Un timer per concentrarti a blocchi, con le pause, o uno libero della durata che "
                                  "vuoi. Il conto alla rovescia resta visibile a tacca chiusa.")},
    {QT_TRANSLATE_NOOP("Halvora", "Memo vocali"),
     QT_TRANSLATE_NOOP("Halvora", "Registra un'idea al volo e ritrovala anche scritta: ogni memo viene trascritto.")},
    {QT_TRANSLATE_NOOP("Halvora", "Musica e video"),
     QT_TRANSLATE_NOOP("Halvora", "Controlla Spotify, Apple Music e i video nel browser. Con «Guarda nella tacca» un "
                                  "video di YouTube continua qui mentre lavori.")},
    {QT_TRANSLATE_NOOP("Halvora", "Specchio"),
     QT_TRANSLATE_NOOP("Halvora", "La fotocamera a portata di clic, per un'occhiata veloce prima di una videochiamata. "
                                  "Si spegne da sola quando chiudi la tacca.")},
    {QT_TRANSLATE_NOOP("Halvora", "Sotto la tacca"),
     QT_TRANSLATE_NOOP("Halvora", "Quando serve compare una scheda sotto la tacca chiusa: il brano in ascolto, il "
                                  "timer, il prossimo impegno, i file appena scaricati.")},
    {QT_TRANSLATE_NOOP("Halvora", "Claude e ChatGPT"),
     QT_TRANSLATE_NOOP("Halvora", "Vedi quanto ti resta della sessione nell'app che stai usando. Se attivi gli "
                                  "avvisi, la tacca ti dice quando hanno finito o quando ti aspettano.")},
    {QT_TRANSLATE_NOOP("Halvora", "Impostazioni e pulsante rosso"),
     QT_TRANSLATE_NOOP("Halvora", "Con l'ingranaggio scegli lingua, avvio al login e cosa mostrare sotto la tacca. Il "
                                  "pulsante rosso ferma tutto al volo: musica, fotocamera, registrazione e timer.")},
};

// Padding of the header, the text column and the footer.
constexpr double kSopraTestata = 14;
constexpr double kLatiTestata = 22;
constexpr double kSottoTestata = 10;
constexpr double kLatiTesto = 28;
constexpr double kSopraTesto = 14;
constexpr double kSpazioTitolo = 6;
constexpr double kSopraCopia = 5;
constexpr double kSpazioCopia = 8;
constexpr double kAltezzaCopia = 20;
constexpr double kSopraNota = 6;
constexpr double kLatiPiede = 22;
constexpr double kSottoPiede = 16;
constexpr QSizeF kImbottituraCapsula{14, 5};
// The hit area of a plain text button reaches a little past its text.
constexpr QMarginsF kMargineTocco{6, 4, 6, 4};

QFont carattere(int pixel, QFont::Weight peso)
{
    QFont f;
    f.setPixelSize(pixel);
    f.setWeight(peso);
    return f;
}

QFont fontTitolo() { return carattere(17, QFont::DemiBold); }
QFont fontTesto() { return carattere(13, QFont::Normal); }
QFont fontSalta() { return carattere(11, QFont::Medium); }
QFont fontIndietro() { return carattere(12, QFont::Medium); }
QFont fontPrincipale() { return carattere(12, QFont::DemiBold); }
QFont fontCopia() { return carattere(10, QFont::DemiBold); }
QFont fontNota() { return carattere(10, QFont::Normal); }

using AspettoScheda::terziario;

QString notaCopia()
{
    QString nota = Testi::tr("Copia il messaggio e incollalo nell'app. ChatGPT poi chiede di approvarlo con /hooks.");
    // A word joiner keeps "/hooks" whole: line breaking would split it after the slash.
    return nota.replace(QLatin1Char('/'), QStringLiteral("/\u2060"));
}

QString etichettaCopiaDi(FornitoreIA f, bool copiato)
{
    if (copiato)
        return Testi::tr("Copiato");
    return f == FornitoreIA::claude ? Testi::tr("Copia per Claude Code") : Testi::tr("Copia per ChatGPT");
}

double altezzaTesto(const QFont& f, double larghezza, const QString& testo)
{
    return QFontMetricsF(f).boundingRect(QRectF(0, 0, larghezza, 10000), Qt::TextWordWrap, testo).height();
}

// Width of a copy button holding `etichetta`: symbol, gap, text, padding.
double larghezzaCopia(const QString& etichetta)
{
    return 8 + 11 + 4 + QFontMetricsF(fontCopia()).horizontalAdvance(etichetta) + 8;
}

int indice(FornitoreIA f)
{
    return f == FornitoreIA::claude ? 0 : 1;
}

} // namespace

const GuidaView::Pagina& GuidaView::pagina(int i)
{
    return kTestiPagine[std::clamp(i, 0, kPagine - 1)];
}

std::optional<NotchTab> GuidaView::paginaModulo(int i)
{
    switch (i) {
    case 1: return NotchTab::tray;
    case 2: return NotchTab::clipboard;
    case 3: return NotchTab::calendario;
    case 4: return NotchTab::pomodoro;
    case 5: return NotchTab::memo;
    case 6: return NotchTab::media;
    case 7: return NotchTab::mirror;
    default: return std::nullopt;
    }
}

GuidaView::GuidaView(Pasteboard& appunti, Clock& clock, QWidget* parent)
    : QWidget(parent), appunti_(appunti), clock_(clock)
{
    resize(sizeHint());
    animatore_.segui(&transizione_);
    const IllustrazioneGuida::Evidenza iniziale = IllustrazioneGuida::evidenzaPagina(0, std::nullopt);
    for (size_t i = 0; i < evidenza_.size(); ++i) {
        evidenza_[i].salta(iniziale[i]);
        animatore_.segui(&evidenza_[i]);
    }
    connect(&animatore_, &AnimatoreMolle::passo, this, qOverload<>(&QWidget::update));
    for (int i = 0; i < 2; ++i) {
        faseCopia_[i] = new QVariantAnimation(this);
        faseCopia_[i]->setDuration(200);
        faseCopia_[i]->setEasingCurve(QEasingCurve::InOutQuad);
        faseCopia_[i]->setStartValue(0.0);
        faseCopia_[i]->setEndValue(0.0);
        connect(faseCopia_[i], &QVariantAnimation::valueChanged, this, qOverload<>(&QWidget::update));
    }
}

GuidaView::~GuidaView() = default;

QSize GuidaView::sizeHint() const
{
    return NotchStateManager::kDimensioneGuida.toSize();
}

void GuidaView::vai(int di)
{
    const int obiettivo = passo_ + di;
    if (obiettivo < 0 || obiettivo >= kPagine)
        return;
    avanti_ = di > 0;
    passoPrecedente_ = passo_;
    passo_ = obiettivo;
    transizione_.salta(0);
    transizione_.vaiA(1, 0.4, 0.72);
    const IllustrazioneGuida::Evidenza e = IllustrazioneGuida::evidenzaPagina(passo_, paginaModulo(passo_));
    for (size_t i = 0; i < evidenza_.size(); ++i)
        evidenza_[i].vaiA(e[i], 0.4, 0.72);
    animatore_.avvia();
    update();
}

void GuidaView::copia(FornitoreIA fornitore)
{
    appunti_.setString(IstruzioniHook::promptInstallazioneHook(fornitore));
    if (copiato_ && *copiato_ != fornitore)
        animaCopiato(*copiato_, false);
    copiato_ = fornitore;
    animaCopiato(fornitore, true);
    // Each expiry clears only its own agent, so a later copy of the other
    // one keeps its confirmation for its full 2 s; a second copy of the same
    // agent leaves the first copy's expiry in place.
    TimerHandle& scadenza = scadenzaCopia_[indice(fornitore)];
    if (scadenza)
        return;
    scadenza = clock_.singleShot(kDurataCopiato, [this, fornitore] {
        if (copiato_ != fornitore)
            return;
        copiato_.reset();
        animaCopiato(fornitore, false);
    });
}

void GuidaView::animaCopiato(FornitoreIA fornitore, bool acceso)
{
    QVariantAnimation* a = faseCopia_[indice(fornitore)];
    const double da = faseCopia(fornitore);
    a->stop();
    a->setStartValue(da);
    a->setEndValue(acceso ? 1.0 : 0.0);
    a->start();
    update();
}

double GuidaView::faseCopia(FornitoreIA fornitore) const
{
    const QVariantAnimation* a = faseCopia_[indice(fornitore)];
    return a->state() == QAbstractAnimation::Running ? a->currentValue().toDouble() : a->endValue().toDouble();
}

void GuidaView::completaAnimazioni()
{
    animatore_.completa();
    for (QVariantAnimation* a : faseCopia_)
        a->stop();
    update();
}

void GuidaView::fine()
{
    // Ended is final: a second press while the guide fades out changes nothing.
    if (finita_)
        return;
    finita_ = true;
    emit onFine();
}

QString GuidaView::etichettaPrincipale() const
{
    return passo_ == kPagine - 1 ? Testi::tr("Inizia") : Testi::tr("Avanti");
}

QString GuidaView::etichettaCopia(FornitoreIA fornitore) const
{
    return etichettaCopiaDi(fornitore, copiato_ == fornitore);
}

QRectF GuidaView::rettangoloSalta() const
{
    const QFontMetricsF m(fontSalta());
    const double l = m.horizontalAdvance(Testi::tr("Salta"));
    return QRectF(width() - kLatiTestata - l, kSopraTestata, l, m.height());
}

QRectF GuidaView::rettangoloPrincipale() const
{
    const QFontMetricsF m(fontPrincipale());
    const QSizeF s(m.horizontalAdvance(etichettaPrincipale()) + 2 * kImbottituraCapsula.width(),
                   m.height() + 2 * kImbottituraCapsula.height());
    return QRectF(QPointF(width() - kLatiPiede - s.width(), height() - kSottoPiede - s.height()), s);
}

QRectF GuidaView::rettangoloIndietro() const
{
    const QFontMetricsF m(fontIndietro());
    const QRectF principale = rettangoloPrincipale();
    return QRectF(kLatiPiede, principale.center().y() - m.height() / 2, m.horizontalAdvance(Testi::tr("Indietro")),
                  m.height());
}

QRectF GuidaView::rettangoloTitolo() const
{
    const double y = rettangoloSalta().bottom() + kSottoTestata + IllustrazioneGuida::kAltezza + kSopraTesto;
    return QRectF(kLatiTesto, y, std::max(0.0, width() - 2 * kLatiTesto), QFontMetricsF(fontTitolo()).height());
}

double GuidaView::fondoTesto(int pagina) const
{
    const QRectF r = rettangoloTitolo();
    return r.bottom() + kSpazioTitolo + altezzaTesto(fontTesto(), r.width(), Testi::tr(kTestiPagine[pagina].testo));
}

std::optional<QRectF> GuidaView::rettangoloCopia(FornitoreIA fornitore) const
{
    if (passo_ != kPaginaAgenti)
        return std::nullopt;
    const double y = fondoTesto(kPaginaAgenti) + kSopraCopia;
    double x = kLatiTesto;
    for (FornitoreIA f : kFornitoriIA) {
        const double fase = std::clamp(faseCopia(f), 0.0, 1.0);
        const double l = larghezzaCopia(etichettaCopiaDi(f, false)) * (1 - fase) +
                         larghezzaCopia(etichettaCopiaDi(f, true)) * fase;
        if (f == fornitore)
            return QRectF(x, y, l, kAltezzaCopia);
        x += l + kSpazioCopia;
    }
    return std::nullopt;
}

GuidaView::Controllo GuidaView::controlloIn(QPointF punto) const
{
    if (rettangoloSalta().marginsAdded(kMargineTocco).contains(punto))
        return Controllo::salta;
    if (rettangoloIndietro().marginsAdded(kMargineTocco).contains(punto))
        return Controllo::indietro;
    if (rettangoloPrincipale().contains(punto))
        return Controllo::principale;
    if (const auto r = rettangoloCopia(FornitoreIA::claude); r && r->contains(punto))
        return Controllo::copiaClaude;
    if (const auto r = rettangoloCopia(FornitoreIA::codex); r && r->contains(punto))
        return Controllo::copiaCodex;
    return Controllo::nessuno;
}

void GuidaView::mousePressEvent(QMouseEvent* e)
{
    premuto_ = e->button() == Qt::LeftButton && !finita_ ? controlloIn(e->position()) : Controllo::nessuno;
    update();
}

void GuidaView::mouseReleaseEvent(QMouseEvent* e)
{
    const Controllo c = premuto_;
    premuto_ = Controllo::nessuno;
    update();
    // A press counts when released over the same control, as with any button.
    if (c != Controllo::nessuno && e->button() == Qt::LeftButton && controlloIn(e->position()) == c)
        premi(c);
}

void GuidaView::premi(Controllo c)
{
    if (finita_)
        return;
    switch (c) {
    case Controllo::salta: fine(); break;
    case Controllo::indietro: vai(-1); break;
    case Controllo::principale:
        if (passo_ == kPagine - 1)
            fine();
        else
            vai(1);
        break;
    case Controllo::copiaClaude: copia(FornitoreIA::claude); break;
    case Controllo::copiaCodex: copia(FornitoreIA::codex); break;
    case Controllo::nessuno: break;
    }
}

void GuidaView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setClipRect(rect());
    auto premuto = [this](Controllo c) { return premuto_ == c ? 0.6 : 1.0; };

    p.setOpacity(premuto(Controllo::salta));
    p.setFont(fontSalta());
    p.setPen(Disegno::secondario());
    p.drawText(rettangoloSalta(), Qt::AlignCenter, Testi::tr("Salta"));
    p.setOpacity(1);

    disegnaIllustrazione(p);

    // The page moves in from the trailing edge going forward, from the
    // leading edge going back, and the old one leaves the other way.
    const double t = transizione_.valore();
    const double verso = avanti_ ? 1 : -1;
    if (t < 1 && passoPrecedente_ != passo_)
        disegnaPagina(p, passoPrecedente_, -verso * width() * t, 1 - t);
    disegnaPagina(p, passo_, verso * width() * (1 - t), t);

    p.setOpacity(premuto(Controllo::indietro));
    p.setFont(fontIndietro());
    p.setPen(Disegno::secondario());
    p.drawText(rettangoloIndietro(), Qt::AlignCenter, Testi::tr("Indietro"));

    p.setOpacity(premuto(Controllo::principale));
    const QRectF principale = rettangoloPrincipale();
    p.setPen(Qt::NoPen);
    p.setBrush(Disegno::primario());
    p.drawRoundedRect(principale, principale.height() / 2, principale.height() / 2);
    p.setFont(fontPrincipale());
    p.setPen(Qt::black);
    p.drawText(principale, Qt::AlignCenter, etichettaPrincipale());
}

void GuidaView::disegnaIllustrazione(QPainter& p)
{
    using namespace IllustrazioneGuida;
    const QRectF area(0, rettangoloSalta().bottom() + kSottoTestata, width(), kAltezza);
    Evidenza evidenza{};
    for (size_t i = 0; i < evidenza.size(); ++i)
        evidenza[i] = evidenza_[i].valore();
    const Tipo nuovo = tipoPagina(passo_);
    const Tipo vecchio = tipoPagina(passoPrecedente_);
    const double t = std::clamp(transizione_.valore(), 0.0, 1.0);
    if (nuovo == vecchio) {
        disegna(p, nuovo, area, evidenza, 1);
        return;
    }
    disegna(p, vecchio, area, evidenza, 1 - t);
    disegna(p, nuovo, area, evidenza, t);
}

void GuidaView::disegnaPagina(QPainter& p, int pagina, double spostamento, double opacita)
{
    opacita = std::clamp(opacita, 0.0, 1.0);
    if (opacita <= 0)
        return;
    p.save();
    p.setOpacity(opacita);
    p.translate(spostamento, 0);
    const QRectF titolo = rettangoloTitolo();
    p.setFont(fontTitolo());
    p.setPen(Disegno::primario());
    p.drawText(titolo, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, Testi::tr(kTestiPagine[pagina].titolo));
    const QString testo = Testi::tr(kTestiPagine[pagina].testo);
    const QRectF corpo(titolo.left(), titolo.bottom() + kSpazioTitolo, titolo.width(),
                       altezzaTesto(fontTesto(), titolo.width(), testo));
    p.setFont(fontTesto());
    p.setPen(Disegno::secondario());
    p.drawText(corpo, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, testo);
    if (pagina == kPaginaAgenti)
        disegnaCopia(p, pagina);
    p.restore();
}

void GuidaView::disegnaCopia(QPainter& p, int pagina)
{
    const QRectF colonna = rettangoloTitolo();
    const double y = fondoTesto(pagina) + kSopraCopia;
    double x = colonna.left();
    const qreal dpr = devicePixelRatioF();
    const double opacitaPagina = p.opacity();
    for (FornitoreIA f : kFornitoriIA) {
        const double fase = std::clamp(faseCopia(f), 0.0, 1.0);
        const double l = larghezzaCopia(etichettaCopiaDi(f, false)) * (1 - fase) +
                         larghezzaCopia(etichettaCopiaDi(f, true)) * fase;
        const QRectF pulsante(x, y, l, kAltezzaCopia);
        const Controllo c = f == FornitoreIA::claude ? Controllo::copiaClaude : Controllo::copiaCodex;
        const double premuto = premuto_ == c && pagina == passo_ ? 0.6 : 1.0;
        p.setOpacity(opacitaPagina * premuto);
        p.setPen(Qt::NoPen);
        p.setBrush(Disegno::primario(0.14));
        p.drawPath(Disegno::rettangoloContinuo(pulsante, 5));
        p.setFont(fontCopia());
        // The copy label and the confirmation cross-fade.
        for (bool copiato : {false, true}) {
            const double a = copiato ? fase : 1 - fase;
            if (a <= 0)
                continue;
            const QString etichetta = etichettaCopiaDi(f, copiato);
            const double larghezza = larghezzaCopia(etichetta) - 16;
            const double x0 = pulsante.center().x() - larghezza / 2;
            p.setOpacity(opacitaPagina * premuto * a);
            p.drawPixmap(QPointF(x0, pulsante.center().y() - 5.5),
                         Simboli::pixmap(copiato ? QStringLiteral("checkmark") : QStringLiteral("doc.on.doc"), 11,
                                         Disegno::primario(), dpr));
            p.setPen(Disegno::primario());
            p.drawText(QRectF(x0 + 15, pulsante.top(), larghezza - 15, pulsante.height()),
                       Qt::AlignLeft | Qt::AlignVCenter, etichetta);
        }
        x += l + kSpazioCopia;
    }
    p.setOpacity(opacitaPagina);
    const QString nota = notaCopia();
    const QRectF zonaNota(colonna.left(), y + kAltezzaCopia + kSopraNota, colonna.width(),
                          altezzaTesto(fontNota(), colonna.width(), nota));
    p.setFont(fontNota());
    p.setPen(terziario());
    p.drawText(zonaNota, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, nota);
}
