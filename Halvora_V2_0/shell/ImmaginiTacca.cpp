#include "ImmaginiTacca.h"

#include "Disegno.h"
#include "FormaTacca.h"
#include "DisegnoInBande.h"

#include <QPainter>
#include <QPaintDevice>
#include <algorithm>
#include <cmath>

using FormaTacca::kCaduta;
using FormaTacca::kMargineOmbra;

namespace {

// Below this the bottom corners shrink with the shape (they are at most a
// fraction of its height), and a piece of a tall shape would not fit.
constexpr double kAltezzaMinima = 64;
// Each half of a shape cut from the picture holds a corner and its shadow.
constexpr double kMezzaMinima = 64;
// The bottom piece holds the corners; inside the shape nothing else of
// them shows (the shadows, cast downwards, lie beneath the fill there).
constexpr double kFascia = 40;
// Pictures of shapes at rest kept: the one shown and the one asked for next.
constexpr int kConservate = 2;

} // namespace

ImmaginiTacca::ImmaginiTacca(QObject* parent) : QObject(parent)
{
    lavoro_.setMaxThreadCount(1);
}

ImmaginiTacca::~ImmaginiTacca()
{
    lavoro_.clear();
    lavoro_.waitForDone();
}

ImmaginiTacca::Posto ImmaginiTacca::posto(const QRectF& forma, QPointF spostamento, double dpr)
{
    // The picture starts on a whole device pixel, so it lands on the same
    // pixels, with the same coverage, as the shape drawn straight.
    const QRectF area = forma.adjusted(-kMargineOmbra, -kMargineOmbra, kMargineOmbra, kMargineOmbra + kCaduta);
    const QPoint origine(int(std::floor((area.left() + spostamento.x()) * dpr)),
                         int(std::floor((area.top() + spostamento.y()) * dpr)));
    const QPointF versoImmagine = spostamento - QPointF(origine) / dpr;
    return {origine, forma.translated(versoImmagine),
            QSize(int(std::ceil(area.width() * dpr)) + 2, int(std::ceil(area.height() * dpr)) + 2)};
}

QImage ImmaginiTacca::rendi(const Posto& posto, double dpr, const QColor& materiale)
{
    QImage immagine(posto.lato, QImage::Format_ARGB32_Premultiplied);
    immagine.setDevicePixelRatio(dpr);
    immagine.fill(Qt::transparent);
    {
        QPainter q(&immagine);
        q.setRenderHint(QPainter::Antialiasing);
        FormaTacca::disegnaTraslucida(q, posto.locale, materiale);
    }
    immagine.setDevicePixelRatio(1); // laid down pixel for pixel
    return immagine;
}

const ImmaginiTacca::Immagine* ImmaginiTacca::esatta(const QRectF& locale, double dpr, const QColor& materiale) const
{
    for (const Immagine& i : esatte_)
        if (i.uguale(locale, dpr, materiale))
            return &i;
    return nullptr;
}

const ImmaginiTacca::Immagine* ImmaginiTacca::anticipata(const QRectF& locale, double dpr, const QColor& materiale) const
{
    for (const Immagine& i : anticipate_)
        if (!i.immagine.isNull() && i.uguale(locale, dpr, materiale))
            return &i;
    return nullptr;
}

void ImmaginiTacca::conserva(Immagine immagine)
{
    for (qsizetype i = 0; i < esatte_.size(); ++i)
        if (esatte_[i].uguale(immagine.locale, immagine.dpr, immagine.materiale))
            esatte_.removeAt(i--);
    esatte_.prepend(std::move(immagine));
    while (esatte_.size() > kConservate)
        esatte_.removeLast();
}

void ImmaginiTacca::lancia(const Posto& posto, double dpr, const QColor& materiale,
                           std::function<void(QImage)> consegna, std::function<bool()> ancoraVoluta)
{
    lavoro_.start([this, posto, dpr, materiale, consegna = std::move(consegna), ancoraVoluta = std::move(ancoraVoluta)] {
        if (ancoraVoluta && !ancoraVoluta())
            return;
        QImage fatta = rendi(posto, dpr, materiale);
        QMetaObject::invokeMethod(
            this, [consegna, fatta = std::move(fatta)]() mutable { consegna(std::move(fatta)); }, Qt::QueuedConnection);
    });
}

void ImmaginiTacca::chiedi(const Posto& posto, double dpr, const QColor& materiale)
{
    if (esatta(posto.locale, dpr, materiale))
        return;
    for (const Immagine& r : std::as_const(richieste_))
        if (r.uguale(posto.locale, dpr, materiale))
            return;
    richieste_.append({posto.locale, dpr, materiale, {}});
    lancia(posto, dpr, materiale, [this, locale = posto.locale, dpr, materiale](QImage fatta) {
        for (qsizetype i = 0; i < richieste_.size(); ++i)
            if (richieste_[i].uguale(locale, dpr, materiale))
                richieste_.removeAt(i--);
        conserva({locale, dpr, materiale, std::move(fatta)});
        emit pronta();
    });
}

void ImmaginiTacca::anticipa(const QList<QRectF>& forme, double dpr)
{
    const QColor materiale = Disegno::materiale();
    QList<Immagine> nuove;
    QList<Posto> daFare;
    for (const QRectF& f : forme) {
        if (f.isEmpty() || f.height() >= kAltezzaMinima)
            continue;
        const Posto p = posto(f, {}, dpr);
        if (std::any_of(nuove.cbegin(), nuove.cend(), [&](const Immagine& i) { return i.uguale(p.locale, dpr, materiale); }))
            continue;
        auto gia = std::find_if(anticipate_.begin(), anticipate_.end(),
                                [&](const Immagine& i) { return i.uguale(p.locale, dpr, materiale); });
        if (gia != anticipate_.end()) {
            nuove.append(std::move(*gia));
        } else {
            nuove.append({p.locale, dpr, materiale, {}});
            daFare.append(p);
        }
    }
    // What an earlier call still has to make is no longer wanted.
    const int giro = ++*giro_;
    anticipate_ = std::move(nuove);
    for (const Posto& p : std::as_const(daFare))
        lancia(
            p, dpr, materiale,
            [this, locale = p.locale, dpr, materiale](QImage fatta) {
                for (Immagine& i : anticipate_)
                    if (i.uguale(locale, dpr, materiale) && i.immagine.isNull())
                        i.immagine = std::move(fatta);
            },
            [contatore = giro_, giro] { return contatore->load() == giro; });
}

void ImmaginiTacca::prepara(const QRectF& cornice, double dpr)
{
    chiedi(posto(cornice, {}, dpr), dpr, Disegno::materiale());
}

void ImmaginiTacca::preparaRiferimento(QSizeF massima, double dpr)
{
    const QColor materiale = Disegno::materiale();
    if (dpr == riferimentoDprChiesto_ && materiale == riferimentoMateriale_ && massima.width() <= riferimentoChiesto_.width()
        && massima.height() <= riferimentoChiesto_.height())
        return;
    riferimentoChiesto_ = riferimentoChiesto_.expandedTo(massima);
    riferimentoDprChiesto_ = dpr;
    riferimentoMateriale_ = materiale;
    // A shape on whole device pixels, its top-left corner a margin in.
    const int margine = int(std::ceil(kMargineOmbra * dpr));
    const QSize lato(int(std::ceil(riferimentoChiesto_.width() * dpr)), int(std::ceil(riferimentoChiesto_.height() * dpr)));
    const QRectF forma(margine / dpr, margine / dpr, lato.width() / dpr, lato.height() / dpr);
    const Posto p{{}, forma,
                  QSize(2 * margine + lato.width() + 2, 2 * margine + int(std::ceil(kCaduta * dpr)) + lato.height() + 2)};
    lavoro_.start([this, p, lato, dpr, materiale] {
        QImage fatta = rendi(p, dpr, materiale);
        QMetaObject::invokeMethod(
            this,
            [this, lato, dpr, materiale, fatta = std::move(fatta)]() mutable {
                riferimento_ = {{}, dpr, materiale, std::move(fatta)};
                riferimentoLato_ = lato;
                emit pronta();
            },
            Qt::QueuedConnection);
    });
}

bool ImmaginiTacca::componi(QPainter& p, const QRectF& forma, QPointF spostamento, double dpr, const QColor& materiale)
{
    if (riferimento_.immagine.isNull() || riferimento_.dpr != dpr || riferimento_.materiale != materiale
        || forma.height() < kAltezzaMinima)
        return false;
    const int x0 = int(std::lround((forma.left() + spostamento.x()) * dpr));
    const int y0 = int(std::lround((forma.top() + spostamento.y()) * dpr));
    const int larghezza = int(std::lround((forma.right() + spostamento.x()) * dpr)) - x0;
    const int altezza = int(std::lround((forma.bottom() + spostamento.y()) * dpr)) - y0;
    if (larghezza < 2 * kMezzaMinima * dpr || larghezza > riferimentoLato_.width()
        || altezza > riferimentoLato_.height())
        return false;
    const int margine = int(std::ceil(kMargineOmbra * dpr));
    const int sotto = margine + int(std::ceil(kCaduta * dpr)); // below the shape
    const int sinistra = larghezza / 2, destra = larghezza - sinistra;
    const int fascia = std::min(altezza, int(std::ceil(kFascia * dpr))), alto = altezza - fascia;
    const int xDestra = margine + riferimentoLato_.width() - destra;
    const int yFascia = margine + riferimentoLato_.height() - fascia;
    const QImage& r = riferimento_.immagine;
    p.save();
    // Device pixels, so that each piece is copied as it is.
    p.setWorldTransform(QTransform::fromScale(1 / dpr, 1 / dpr));
    p.drawImage(QPoint(x0 - margine, y0 - margine), r, QRect(0, 0, margine + sinistra, margine + alto));
    p.drawImage(QPoint(x0 + sinistra, y0 - margine), r, QRect(xDestra, 0, destra + margine, margine + alto));
    p.drawImage(QPoint(x0 - margine, y0 + alto), r, QRect(0, yFascia, margine + sinistra, fascia + sotto));
    p.drawImage(QPoint(x0 + sinistra, y0 + alto), r, QRect(xDestra, yFascia, destra + margine, fascia + sotto));
    p.restore();
    return true;
}

void ImmaginiTacca::disegna(QPainter& p, const QRectF& cornice, double altezza, bool pieno, bool inMoto)
{
    const QRectF r(cornice.topLeft(), QSizeF(cornice.width(), altezza));
    const QTransform& mondo = p.worldTransform();
    const bool semplice = mondo.type() <= QTransform::TxTranslate && p.opacity() == 1
                          && p.compositionMode() == QPainter::CompositionMode_SourceOver && p.device();
    if (pieno || !semplice || r.isEmpty()) {
        FormaTacca::disegna(p, cornice, altezza, pieno);
        return;
    }
    const double dpr = p.device()->devicePixelRatioF();
    const QPointF spostamento(mondo.dx(), mondo.dy());
    const QColor materiale = Disegno::materiale();
    const Posto qui = posto(r, spostamento, dpr);
    const Immagine* pronta = esatta(qui.locale, dpr, materiale);
    if (!pronta && inMoto)
        pronta = anticipata(qui.locale, dpr, materiale);
    if (!pronta && !inMoto) {
        // At rest, the picture of this very shape: asked for while the
        // springs ran, or made now.
        conserva({qui.locale, dpr, materiale, rendi(qui, dpr, materiale)});
        pronta = &esatte_.first();
    }
    if (pronta && !inMoto && esatte_.size() > 1) {
        // At rest only the picture shown is kept; another one is made again
        // while the springs run towards it.
        Immagine tenuta = *pronta;
        esatte_ = {std::move(tenuta)};
        pronta = &esatte_.first();
    }
    if (pronta) {
        p.save();
        p.setWorldTransform(QTransform::fromScale(1 / dpr, 1 / dpr));
        copiaImmagine(p, qui.origine, pronta->immagine);
        p.restore();
        return;
    }
    if (!componi(p, r, spostamento, dpr, materiale))
        FormaTacca::disegna(p, cornice, altezza, false);
}
