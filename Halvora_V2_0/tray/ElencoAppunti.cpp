#include "ElencoAppunti.h"

#include "ColoriAppunti.h"
#include "Simboli.h"

#include <QEasingCurve>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>

using namespace ColoriAppunti;

namespace {
constexpr int kMargineInferiore = 4;
constexpr qreal kRaggio = 12;
constexpr qreal kScalaIlluminata = 1.012;
constexpr double kDurataIlluminazione = 0.16;
} // namespace

ElencoAppunti::ElencoAppunti(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    QSizePolicy sp(QSizePolicy::Preferred, QSizePolicy::Preferred);
    sp.setHeightForWidth(true);
    setSizePolicy(sp);
    animazione_.setInterval(16);
    connect(&animazione_, &QTimer::timeout, this, &ElencoAppunti::passoAnimazione);
}

QFont ElencoAppunti::fontTesto()
{
    QFont f;
    f.setPixelSize(13);
    return f;
}

QString ElencoAppunti::anteprimaDi(const Appunto& testo, bool& continua)
{
    QString inizio = testo.inizio(kAnteprima + 1);
    continua = inizio.size() > kAnteprima;
    if (!continua)
        return inizio;
    // Never half of a surrogate pair.
    inizio.truncate(inizio.at(kAnteprima - 1).isHighSurrogate() ? kAnteprima - 1 : kAnteprima);
    return inizio;
}

QStringList ElencoAppunti::righeVisibili(const QString& testo, const QFont& font, int larghezza)
{
    bool continua = false;
    const QString inizio = anteprimaDi(Appunto(testo), continua);
    return dispone(inizio, continua, font, larghezza);
}

QStringList ElencoAppunti::dispone(const QString& inizio, bool continuaOltre, const QFont& font, int larghezza)
{
    QString t = inizio;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\n'), QChar::LineSeparator);
    const QFontMetrics fm(font);
    QTextLayout layout(t, font);
    QTextOption opzioni;
    opzioni.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(opzioni);
    layout.beginLayout();
    QStringList righe;
    bool troncata = false;
    for (;;) {
        QTextLine linea = layout.createLine();
        if (!linea.isValid())
            break;
        linea.setLineWidth(larghezza);
        QString riga = t.mid(linea.textStart(), linea.textLength());
        const bool aCapo = riga.contains(QChar::LineSeparator);
        riga.remove(QChar::LineSeparator);
        const bool continua = continuaOltre || linea.textStart() + linea.textLength() < t.size();
        if (righe.size() == kMassimoRighe - 1 && continua) {
            // The last line shown ends in an ellipsis: after a line break the line
            // itself gets one, after a wrap the rest of the text is cut at the tail.
            QString resto = t.mid(linea.textStart());
            resto.replace(QChar::LineSeparator, QLatin1Char(' '));
            righe << fm.elidedText(aCapo ? riga + QChar(0x2026) : resto, Qt::ElideRight, larghezza);
            troncata = true;
            break;
        }
        righe << riga;
    }
    layout.endLayout();
    // A start that fits in fewer lines (glyphs of no width) still says the text goes on.
    if (continuaOltre && !troncata && !righe.isEmpty())
        righe.last() = fm.elidedText(righe.last() + QChar(0x2026), Qt::ElideRight, larghezza);
    return righe;
}

int ElencoAppunti::larghezzaTesto(int larghezzaRiga) const
{
    return std::max(20, larghezzaRiga - 2 * kMargine - kSpaziatura - kLatoPulsante);
}

const QStringList& ElencoAppunti::linee(int indice, int larghezza) const
{
    Riga& r = righe_[indice];
    const int lt = larghezzaTesto(larghezza);
    if (r.larghezza != lt) {
        r.linee = dispone(r.anteprima, r.continua, fontTesto(), lt);
        r.larghezza = lt;
    }
    return r.linee;
}

int ElencoAppunti::altezzaRiga(int indice, int larghezza) const
{
    const QFontMetrics fm(fontTesto());
    const int righe = std::max<int>(1, linee(indice, larghezza).size());
    return 2 * kMargine + std::max(righe * fm.lineSpacing(), kLatoPulsante);
}

int ElencoAppunti::heightForWidth(int larghezza) const
{
    if (righe_.empty())
        return 0;
    int h = 0;
    for (int i = 0; i < int(righe_.size()); ++i)
        h += altezzaRiga(i, larghezza) + kSpaziatura;
    return h - kSpaziatura + kMargineInferiore;
}

QSize ElencoAppunti::sizeHint() const { return QSize(400, heightForWidth(400)); }

void ElencoAppunti::setVoci(const QList<Appunto>& voci)
{
    // A text still listed is the same bytes, shared with the history: its
    // row, layout and group are kept. The old rows hold their texts until
    // this is done, so an address cannot stand for another text meanwhile.
    std::vector<Riga> vecchie;
    vecchie.swap(righe_);
    QMultiHash<const char*, int> perIndirizzo;
    for (int i = 0; i < int(vecchie.size()); ++i)
        perIndirizzo.insert(vecchie[i].testo.utf8().constData(), i);
    std::vector<bool> prese(vecchie.size(), false);
    righe_.reserve(voci.size());
    for (const Appunto& v : voci) {
        const char* indirizzo = v.utf8().constData();
        const qsizetype dimensione = v.utf8().size();
        int trovata = -1;
        for (auto it = perIndirizzo.constFind(indirizzo); it != perIndirizzo.cend() && it.key() == indirizzo; ++it)
            if (!prese[it.value()] && vecchie[it.value()].testo.utf8().size() == dimensione) {
                trovata = it.value();
                break;
            }
        if (trovata >= 0) {
            prese[trovata] = true;
            righe_.push_back(std::move(vecchie[trovata]));
            continue;
        }
        Riga r;
        r.testo = v;
        r.anteprima = anteprimaDi(v, r.continua);
        for (const Riga& altra : righe_)
            if (altra.testo.utf8().size() == dimensione && altra.testo == v)
                r.gruppo = altra.gruppo;
        for (int i = 0; !r.gruppo && i < int(vecchie.size()); ++i)
            if (!prese[i] && vecchie[i].testo.utf8().size() == dimensione && vecchie[i].testo == v)
                r.gruppo = vecchie[i].gruppo;
        if (!r.gruppo)
            r.gruppo = prossimoGruppo_++;
        righe_.push_back(std::move(r));
    }
    voci_ = voci;
    if (gruppoSottoIlMouse_
        && std::none_of(righe_.begin(), righe_.end(), [&](const Riga& r) { return r.gruppo == *gruppoSottoIlMouse_; }))
        gruppoSottoIlMouse_.reset();
    disposte_ = false;
    updateGeometry();
    update();
}

std::optional<QString> ElencoAppunti::rigaSottoIlMouse() const
{
    for (const Riga& r : righe_)
        if (gruppoSottoIlMouse_ == r.gruppo)
            return r.testo.testo();
    return std::nullopt;
}

void ElencoAppunti::assicuraDisposizione() const
{
    if (disposte_)
        return;
    cime_.clear();
    altezze_.clear();
    int y = 0;
    for (int i = 0; i < int(righe_.size()); ++i) {
        const int h = altezzaRiga(i, width());
        cime_.push_back(y);
        altezze_.push_back(h);
        y += h + kSpaziatura;
    }
    disposte_ = true;
}

void ElencoAppunti::resizeEvent(QResizeEvent*) { disposte_ = false; }

QRect ElencoAppunti::rettangoloRiga(int indice) const
{
    assicuraDisposizione();
    if (indice < 0 || indice >= int(cime_.size()))
        return {};
    return QRect(0, cime_[indice], width(), altezze_[indice]);
}

QRect ElencoAppunti::rettangoloPulsante(int indice) const
{
    const QRect r = rettangoloRiga(indice);
    if (r.isNull())
        return {};
    return QRect(r.right() + 1 - kMargine - kLatoPulsante, r.top() + kMargine, kLatoPulsante, kLatoPulsante);
}

int ElencoAppunti::indiceIn(const QPoint& p) const
{
    assicuraDisposizione();
    for (int i = 0; i < int(cime_.size()); ++i)
        if (rettangoloRiga(i).contains(p))
            return i;
    return -1;
}

void ElencoAppunti::aggiornaSottoIlMouse(const QPoint& p)
{
    const int i = indiceIn(p);
    const std::optional<int> nuovo = i >= 0 ? std::optional<int>(righe_[i].gruppo) : std::nullopt;
    setCursor(i >= 0 && rettangoloPulsante(i).contains(p) ? Qt::PointingHandCursor : Qt::ArrowCursor);
    if (nuovo == gruppoSottoIlMouse_)
        return;
    gruppoSottoIlMouse_ = nuovo;
    if (nuovo && !illuminazione_.contains(*nuovo))
        illuminazione_.insert(*nuovo, 0.0);
    if (!animazione_.isActive()) {
        passo_.start();
        animazione_.start();
    }
}

void ElencoAppunti::passoAnimazione()
{
    const qreal delta = passo_.restart() / 1000.0 / kDurataIlluminazione;
    bool inCorso = false;
    for (auto it = illuminazione_.begin(); it != illuminazione_.end();) {
        const qreal obiettivo = gruppoSottoIlMouse_ == it.key() ? 1.0 : 0.0;
        it.value() = obiettivo > it.value() ? std::min(obiettivo, it.value() + delta)
                                            : std::max(obiettivo, it.value() - delta);
        if (it.value() != obiettivo)
            inCorso = true;
        if (it.value() == 0.0 && obiettivo == 0.0)
            it = illuminazione_.erase(it);
        else
            ++it;
    }
    if (!inCorso)
        animazione_.stop();
    update();
}

void ElencoAppunti::mouseMoveEvent(QMouseEvent* e) { aggiornaSottoIlMouse(e->position().toPoint()); }

void ElencoAppunti::leaveEvent(QEvent*) { aggiornaSottoIlMouse(QPoint(-1, -1)); }

void ElencoAppunti::moveEvent(QMoveEvent*)
{
    // Scrolling moves the rows under a pointer that did not move.
    if (underMouse())
        aggiornaSottoIlMouse(mapFromGlobal(QCursor::pos()));
}

void ElencoAppunti::mousePressEvent(QMouseEvent* e)
{
    premuto_ = -1;
    const int i = indiceIn(e->position().toPoint());
    if (e->button() == Qt::LeftButton && i >= 0 && rettangoloPulsante(i).contains(e->position().toPoint()))
        premuto_ = i;
}

void ElencoAppunti::mouseReleaseEvent(QMouseEvent* e)
{
    const int i = premuto_;
    premuto_ = -1;
    if (i >= 0 && i < voci_.size() && rettangoloPulsante(i).contains(e->position().toPoint()))
        emit copia(voci_[i]);
}

void ElencoAppunti::paintEvent(QPaintEvent* e)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    assicuraDisposizione();
    for (int i = 0; i < int(righe_.size()); ++i)
        if (rettangoloRiga(i).adjusted(-12, -12, 12, 12).intersects(e->rect()))
            disegnaRiga(p, i);
}

void ElencoAppunti::disegnaRiga(QPainter& p, int indice)
{
    const qreal luce =
        QEasingCurve(QEasingCurve::OutQuad).valueForProgress(illuminazione_.value(righe_[indice].gruppo, 0.0));
    const QRectF riga = rettangoloRiga(indice);

    p.save();
    const qreal scala = 1.0 + (kScalaIlluminata - 1.0) * luce;
    p.translate(riga.center());
    p.scale(scala, scala);
    p.translate(-riga.center());

    if (luce > 0) {
        // A soft shadow: stacked rounded rectangles fading out to the blur radius.
        constexpr int kStrati = 8;
        p.setPen(Qt::NoPen);
        for (int s = kStrati; s >= 1; --s) {
            const qreal espansione = s;
            p.setBrush(QColor(0, 0, 0, int(255 * 0.18 * luce / kStrati * 1.6)));
            p.drawRoundedRect(riga.translated(0, 3).adjusted(-espansione, -espansione, espansione, espansione),
                              kRaggio + espansione, kRaggio + espansione);
        }
    }
    QPainterPath forma;
    forma.addRoundedRect(riga, kRaggio, kRaggio);
    p.fillPath(forma, materialeUltraSottile());
    if (luce > 0)
        p.fillPath(forma, conOpacita(teal(), 0.12 * luce));

    const QFont font = fontTesto();
    const QFontMetrics fm(font);
    const int lt = larghezzaTesto(int(riga.width()));
    p.setFont(font);
    p.setPen(primario());
    qreal y = riga.top() + kMargine;
    for (const QString& linea : linee(indice, int(riga.width()))) {
        p.drawText(QRectF(riga.left() + kMargine, y, lt, fm.lineSpacing()), Qt::AlignLeft | Qt::AlignVCenter, linea);
        y += fm.lineSpacing();
    }

    const QRectF pulsante = rettangoloPulsante(indice);
    p.setPen(Qt::NoPen);
    p.setBrush(conOpacita(primario(), 0.1));
    p.drawEllipse(pulsante);
    const qreal dpr = devicePixelRatioF();
    const QPixmap icona = Simboli::pixmap(QStringLiteral("doc.on.doc"), 17, primario(), dpr);
    p.drawPixmap(QPointF(pulsante.center().x() - 8.5, pulsante.center().y() - 8.5), icona);
    p.restore();
}
