#include "TrayDisegno.h"

#include "Simboli.h"

#include <QHelpEvent>
#include <QPainter>
#include <QPixmapCache>
#include <QToolTip>
#include <QIcon>
#include <QMimeDatabase>

namespace TrayDisegno {

QFont carattere(const QFont& base, int pixel, QFont::Weight peso, qreal spaziatura)
{
    QFont f = base;
    f.setPixelSize(pixel);
    f.setWeight(peso);
    if (spaziatura > 0)
        f.setLetterSpacing(QFont::AbsoluteSpacing, spaziatura);
    return f;
}

void simbolo(QPainter& p, const QString& nome, const QRectF& dove, int lato, const QColor& colore)
{
    const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    const QPixmap pm = Simboli::pixmap(nome, lato, colore, dpr);
    const QRectF r(dove.center().x() - lato / 2.0, dove.center().y() - lato / 2.0, lato, lato);
    p.drawPixmap(r, pm, QRectF(QPointF(0, 0), QSizeF(pm.size())));
}

namespace {
void tratteggia(QPainter& p, const QRectF& dove, const QColor& colore)
{
    QPen penna(colore, 2.0, Qt::CustomDashLine, Qt::RoundCap);
    // Dash lengths are in units of the pen width.
    penna.setDashPattern({4.0, 2.0});
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(penna);
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(dove.adjusted(1, 1, -1, -1), 16, 16);
    p.restore();
}
} // namespace

void bordoTratteggiato(QPainter& p, const QRectF& dove, const QColor& colore)
{
    // Kept as a picture: stroking the dashes again costs a good part of
    // every paint of the tray.
    const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    const QRect intero = dove.toAlignedRect();
    if (QRectF(intero) != dove || p.worldTransform().type() > QTransform::TxTranslate) {
        tratteggia(p, dove, colore);
        return;
    }
    const QString chiave = QStringLiteral("halvora-tratteggio|%1x%2|%3|%4")
                               .arg(intero.width())
                               .arg(intero.height())
                               .arg(colore.rgba64().toArgb32(), 0, 16)
                               .arg(dpr);
    QPixmap bordo;
    if (!QPixmapCache::find(chiave, &bordo)) {
        bordo = QPixmap(intero.size() * dpr);
        bordo.setDevicePixelRatio(dpr);
        bordo.fill(Qt::transparent);
        QPainter q(&bordo);
        tratteggia(q, QRectF(QPointF(0, 0), intero.size()), colore);
        q.end();
        QPixmapCache::insert(chiave, bordo);
    }
    p.drawPixmap(intero.topLeft(), bordo);
}

void mostraAiuto(QWidget* w, const QHelpEvent* evento, const QString& testo)
{
    if (testo.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(evento->globalPos(), testo, w);
}

QIcon iconaFile(const QString& percorso)
{
    // The symbol table points Qt at the icon theme on first use.
    (void)Simboli::icona(QStringLiteral("tray.fill"));
    const QMimeType tipo = QMimeDatabase().mimeTypeForFile(percorso);
    for (const QString& nome : {tipo.iconName(), tipo.genericIconName(), QStringLiteral("text-x-generic")}) {
        const QIcon i = QIcon::fromTheme(nome);
        if (!i.isNull())
            return i;
    }
    return {};
}

} // namespace TrayDisegno
