#include "BarraScreenshotVassoio.h"

#include "ColoriAppunti.h"
#include "Testi.h"
#include "TrayDisegno.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QPainter>

namespace {

constexpr int kSopraEtichetta = 16;
constexpr int kSottoEtichetta = 4;
constexpr int kTitolo = 13;     // headline
constexpr int kDidascalia = 11; // caption
constexpr int kSimbolo = 13;
constexpr int kMargineV = 8;
constexpr int kMargineH = 6;
constexpr int kTraBottoni = 8;

struct Bottone {
    ScreenshotMode modo;
    const char* titolo;
    const char* simbolo;
};
constexpr Bottone kBottoni[] = {
    {ScreenshotMode::fullScreen, QT_TRANSLATE_NOOP("Halvora", "Intero"), "square.fill"},
    {ScreenshotMode::area, QT_TRANSLATE_NOOP("Halvora", "Area"), "square.dashed"},
    {ScreenshotMode::window, QT_TRANSLATE_NOOP("Halvora", "Finestra"), "macwindow"},
};


int altezzaBottone(const QFont& base)
{
    return 2 * kMargineV + qMax(kSimbolo, QFontMetrics(TrayDisegno::carattere(base, kDidascalia, QFont::Medium)).height());
}

} // namespace

namespace BarraScreenshotVassoio {

QRect etichetta(const QFont& base, const QSize& dimensione)
{
    const int alta = QFontMetrics(TrayDisegno::carattere(base, kTitolo, QFont::Bold, 1.5)).height();
    return QRect(0, dimensione.height() - altezzaBottone(base) - kSottoEtichetta - alta, dimensione.width(), alta);
}

QRect bottone(ScreenshotMode modo, const QFont& base, const QSize& dimensione)
{
    const int y = etichetta(base, dimensione).bottom() + 1 + kSottoEtichetta;
    const int largo = (dimensione.width() - 2 * kTraBottoni) / 3;
    int i = 0;
    while (i < 2 && kBottoni[i].modo != modo)
        ++i;
    const int x = i * (largo + kTraBottoni);
    return QRect(x, y, i == 2 ? dimensione.width() - x : largo, dimensione.height() - y);
}

int altezza(const QFont& base)
{
    return kSopraEtichetta + etichetta(base, {0, 0}).height() + kSottoEtichetta + altezzaBottone(base);
}

void disegna(QPainter& p, const QFont& base, const QSize& dimensione)
{
    p.setFont(TrayDisegno::carattere(base, kTitolo, QFont::Bold, 1.5));
    p.setPen(TrayDisegno::secondario());
    p.drawText(etichetta(base, dimensione), Qt::AlignCenter, Testi::tr("SCREENSHOT"));

    const QFont f = TrayDisegno::carattere(base, kDidascalia, QFont::Medium);
    const QFontMetrics fm(f);
    p.setFont(f);
    for (const Bottone& b : kBottoni) {
        const QRectF r = QRectF(bottone(b.modo, base, dimensione)).adjusted(0.5, 0.5, -0.5, -0.5);
        p.setPen(QPen(ColoriAppunti::conOpacita(Qt::white, 0.1), 1));
        p.setBrush(ColoriAppunti::materialeUltraSottile());
        p.drawRoundedRect(r, 10, 10);
        // Symbol and title centred together, as one label inside the padding.
        const QRectF interno = r.adjusted(kMargineH, kMargineV, -kMargineH, -kMargineV);
        const QString titolo = fm.elidedText(Testi::tr(b.titolo), Qt::ElideRight, int(interno.width()) - kSimbolo - 4);
        const qreal largo = kSimbolo + 4 + fm.horizontalAdvance(titolo);
        const qreal x = interno.center().x() - largo / 2;
        TrayDisegno::simbolo(p, QString::fromLatin1(b.simbolo), QRectF(x, interno.top(), kSimbolo, interno.height()),
                             kSimbolo, Qt::white);
        p.setPen(Qt::white);
        // Not clipped to the padding: an accent on a capital ("Área") rises above it.
        p.drawText(QRectF(x + kSimbolo + 4, interno.top(), largo - kSimbolo - 4, interno.height()),
                   Qt::AlignVCenter | Qt::AlignLeft | Qt::TextDontClip, titolo);
    }
}

} // namespace BarraScreenshotVassoio
