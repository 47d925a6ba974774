#include "IllustrazioneGuida.h"

#include "BarraSchede.h"
#include "Colori.h"
#include "Disegno.h"
#include "LetturaUsoIA.h"
#include "Simboli.h"
#include "UsoIACardView.h"

#include <QPainter>
#include <cmath>

namespace IllustrazioneGuida {

namespace {

constexpr QSizeF kChip{34, 22};
constexpr double kSpazioChip = 8;
constexpr double kSimboloSpento = 13;
constexpr double kSimboloAcceso = 16;

QColor mescola(const QColor& a, const QColor& b, double t)
{
    auto m = [t](float x, float y) { return static_cast<float>(x + (y - x) * t); };
    return QColor::fromRgbF(m(a.redF(), b.redF()), m(a.greenF(), b.greenF()), m(a.blueF(), b.blueF()),
                            m(a.alphaF(), b.alphaF()));
}

qreal dprDi(const QPainter& p)
{
    return p.device() ? p.device()->devicePixelRatioF() : 1.0;
}

// A symbol of `lato` pixels centred on `centro`.
void simbolo(QPainter& p, const QString& nome, QPointF centro, double lato, const QColor& colore)
{
    const int l = std::max(1, static_cast<int>(std::lround(lato)));
    p.drawPixmap(QPointF(centro.x() - l / 2.0, centro.y() - l / 2.0), Simboli::pixmap(nome, l, colore, dprDi(p)));
}

void disegnaModuli(QPainter& p, const QRectF& area, const Evidenza& evidenza)
{
    const int n = static_cast<int>(evidenza.size());
    const double larghezza = n * kChip.width() + (n - 1) * kSpazioChip;
    double x = area.center().x() - larghezza / 2;
    const double y = area.center().y() - kChip.height() / 2;
    for (int i = 0; i < n; ++i, x += kChip.width() + kSpazioChip) {
        const NotchTab tab = kTutteLeSchede[i];
        const double e = std::clamp(evidenza[i], 0.0, 1.0);
        const QRectF chip(QPointF(x, y), kChip);
        QColor velo = BarraSchede::colore(tab);
        velo.setAlphaF(static_cast<float>(0.2 * e));
        p.setPen(Qt::NoPen);
        p.setBrush(mescola(Disegno::primario(0.08), velo, e));
        p.drawPath(Disegno::rettangoloContinuo(chip, 7));
        const QColor colore = mescola(Disegno::primario(0.3), BarraSchede::colore(tab), e);
        simbolo(p, BarraSchede::simbolo(tab), chip.center(),
                kSimboloSpento + (kSimboloAcceso - kSimboloSpento) * e, colore);
    }
}

// The closed strip with a music card hanging under it.
void disegnaSottoTacca(QPainter& p, const QRectF& area)
{
    const double cx = area.center().x();
    const QRectF striscia(cx - 48, area.top() + 1, 96, 12);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawPath(Disegno::rettangoloContinuo(striscia, 0, 5));
    p.setPen(QPen(Disegno::primario(0.12), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(Disegno::rettangoloContinuo(striscia.adjusted(0.5, -1, -0.5, -0.5), 0, 5));

    const QRectF scheda(cx - 70, striscia.bottom() + 4, 140, 22);
    p.setPen(Qt::NoPen);
    p.setBrush(Disegno::primario(0.1));
    p.drawPath(Disegno::rettangoloContinuo(scheda, 8));
    simbolo(p, QStringLiteral("music.note"), QPointF(scheda.left() + 13, scheda.center().y()), 12, Colori::rosa());
    // Title and artist as two soft lines.
    p.setBrush(Disegno::primario(0.6));
    p.drawRoundedRect(QRectF(scheda.left() + 25, scheda.top() + 6, 58, 4), 2, 2);
    p.setBrush(Disegno::primario(0.3));
    p.drawRoundedRect(QRectF(scheda.left() + 25, scheda.top() + 13, 38, 3), 1.5, 1.5);
    // A few wave bars at the trailing end.
    const double altezze[] = {6, 11, 8, 13, 7};
    double x = scheda.right() - 34;
    p.setBrush(Colori::rosa());
    for (double h : altezze) {
        p.drawRoundedRect(QRectF(x, scheda.center().y() - h / 2, 3, h), 1.5, 1.5);
        x += 5;
    }
}

// The two agents' usage rings with a bell between them.
void disegnaAgenti(QPainter& p, const QRectF& area)
{
    const double lato = 34;
    const double cy = area.center().y();
    const double cx = area.center().x();
    const struct {
        FornitoreIA fornitore;
        qint64 percentuale;
        double dx;
    } anelli[] = {{FornitoreIA::claude, 35, -56}, {FornitoreIA::codex, 62, 56}};
    for (const auto& a : anelli) {
        const QRectF q(cx + a.dx - lato / 2, cy - lato / 2, lato, lato);
        AnelloUsoIA::disegna(p, q, LimiteIA{a.percentuale, std::nullopt, false}, 3);
        SimboloFornitore::disegna(p, QRectF(q.center() - QPointF(8, 8), QSizeF(16, 16)), a.fornitore);
    }
    const QRectF chip(cx - kChip.width() / 2, cy - kChip.height() / 2, kChip.width(), kChip.height());
    p.setPen(Qt::NoPen);
    p.setBrush(Disegno::primario(0.08));
    p.drawPath(Disegno::rettangoloContinuo(chip, 7));
    simbolo(p, QStringLiteral("bell.fill"), chip.center(), 14, Disegno::primario(0.85));
}

void disegnaImpostazioni(QPainter& p, const QRectF& area)
{
    const double cy = area.center().y();
    QColor rosso = Colori::rosso();
    rosso.setAlphaF(0.8f);
    simbolo(p, QStringLiteral("gearshape.fill"), QPointF(area.center().x() - 20, cy), 24, Disegno::secondario());
    simbolo(p, QStringLiteral("power.circle.fill"), QPointF(area.center().x() + 20, cy), 24, rosso);
}

} // namespace

Tipo tipoPagina(int pagina)
{
    switch (pagina) {
    case 8: return Tipo::sottoTacca;
    case 9: return Tipo::agenti;
    case 10: return Tipo::impostazioni;
    default: return Tipo::moduli;
    }
}

Evidenza evidenzaPagina(int pagina, std::optional<NotchTab> modulo)
{
    Evidenza e{};
    for (size_t i = 0; i < e.size(); ++i)
        e[i] = pagina == 0 || modulo == kTutteLeSchede[i] ? 1.0 : 0.0;
    return e;
}

void disegna(QPainter& p, Tipo tipo, const QRectF& area, const Evidenza& evidenza, double opacita)
{
    if (opacita <= 0)
        return;
    p.save();
    p.setOpacity(p.opacity() * std::min(opacita, 1.0));
    p.setRenderHint(QPainter::Antialiasing);
    switch (tipo) {
    case Tipo::moduli: disegnaModuli(p, area, evidenza); break;
    case Tipo::sottoTacca: disegnaSottoTacca(p, area); break;
    case Tipo::agenti: disegnaAgenti(p, area); break;
    case Tipo::impostazioni: disegnaImpostazioni(p, area); break;
    }
    p.restore();
}

} // namespace IllustrazioneGuida
