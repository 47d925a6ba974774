#include "SovrapposizioneVideo.h"

#include "DisegnoMedia.h"
#include "ProtocolloVideo.h"

#include <QJsonValue>
#include <cmath>

using DisegnoMedia::carattere;

namespace SovrapposizioneVideo {

namespace {

constexpr double kBordo = 8;
constexpr double kPulsante = 24;
constexpr double kSpazio = 6;
constexpr double kManiglia = 28;
constexpr double kSimboloManiglia = 20;
constexpr double kBordoManiglia = 4;

QColor bianco(double a) { return QColor::fromRgbF(1, 1, 1, float(a)); }
// The thin material of the small round controls, dense enough over any picture.
QColor vetro() { return QColor(38, 38, 42, 190); }

void spinner(QPainter& p, const QPointF& centro, double fase)
{
    // Eight spokes, the brightest one turning once a second.
    const int passo = int(std::floor(fase * 8)) % 8;
    for (int i = 0; i < 8; ++i) {
        const double angolo = (i * 45.0 - 90.0) * M_PI / 180.0;
        const int eta = (passo - i + 8) % 8;
        p.setPen(QPen(bianco(1.0 - eta * 0.11), 2.0, Qt::SolidLine, Qt::RoundCap));
        const QPointF d(std::cos(angolo), std::sin(angolo));
        p.drawLine(centro + d * 4.5, centro + d * 8.5);
    }
}

} // namespace

QColor fondo() { return QColor(24, 24, 27); }

QList<Pulsante> pulsanti(const QSizeF& lato, const Vista& v)
{
    QList<Pulsante> l;
    double destra = lato.width() - kBordo;
    auto aggiungi = [&](Zona z, const QString& simbolo, const QString& aiuto) {
        l << Pulsante{z, QRectF(destra - kPulsante, kBordo, kPulsante, kPulsante), simbolo, aiuto};
        destra -= kPulsante + kSpazio;
    };
    aggiungi(Zona::chiudi, QStringLiteral("xmark"), v.aiutoChiudi);
    if (v.aperto) {
        aggiungi(Zona::riporta, QStringLiteral("arrow.up.forward.app"), v.aiutoTorna);
        aggiungi(Zona::alterna, v.inPausa ? QStringLiteral("play.fill") : QStringLiteral("pause.fill"),
                 v.inPausa ? v.aiutoRiproduci : v.aiutoPausa);
        l << Pulsante{Zona::maniglia,
                      QRectF(lato.width() - kManiglia, lato.height() - kManiglia, kManiglia, kManiglia),
                      QStringLiteral("arrow.up.left.and.arrow.down.right"), {}};
    }
    return l;
}

Zona zona(const QPointF& punto, const QSizeF& lato, const Vista& v)
{
    for (const Pulsante& b : pulsanti(lato, v)) {
        if (b.zona == Zona::maniglia ? b.dove.contains(punto)
                                     : QLineF(punto, b.dove.center()).length() <= kPulsante / 2)
            return b.zona;
    }
    return Zona::nessuna;
}

void disegna(QPainter& p, const QSizeF& lato, const Vista& v, const Opacita& o, double fase)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF tutto(QPointF(0, 0), lato);
    if (!v.aperto) {
        // The state panel: centred, 24 points from the sides.
        const QFont f = carattere(12, QFont::DemiBold);
        const QRectF zonaTesto = tutto.adjusted(24, 0, -24, 0);
        const QRectF misura =
            QFontMetricsF(f).boundingRect(zonaTesto, Qt::AlignHCenter | Qt::TextWordWrap, v.testo);
        const double alto = 22 + 10 + misura.height();
        const double y = (lato.height() - alto) / 2;
        const QRectF icona(lato.width() / 2 - 11, y, 22, 22);
        if (v.pannello == Pannello::caricamento) {
            spinner(p, icona.center(), fase);
        } else {
            const QString nome = v.pannello == Pannello::permesso ? QStringLiteral("hand.raised")
                                                                   : QStringLiteral("exclamationmark.triangle");
            DisegnoMedia::simbolo(p, nome, icona, 22, bianco(0.9));
        }
        p.setFont(f);
        p.setPen(bianco(0.9));
        p.drawText(QRectF(zonaTesto.left(), y + 32, zonaTesto.width(), misura.height()),
                   Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, v.testo);
    } else if (!v.avviso.isEmpty()) {
        const QFont f = carattere(10, QFont::DemiBold);
        QSizeF m = DisegnoMedia::misuraPillola(QStringLiteral("speaker.slash.fill"), v.avviso, f, 8, 4);
        m.setWidth(std::min(m.width(), lato.width() - 2 * kBordo - 3 * (kPulsante + kSpazio)));
        DisegnoMedia::pillola(p, QRectF(QPointF(kBordo, kBordo), m), QStringLiteral("speaker.slash.fill"), v.avviso, f,
                              8, Qt::white, vetro());
    }
    for (const Pulsante& b : pulsanti(lato, v)) {
        if (b.zona == Zona::maniglia) {
            if (o.maniglia <= 0)
                continue;
            p.setOpacity(o.maniglia);
            const QRectF c(b.dove.right() - kBordoManiglia - kSimboloManiglia,
                           b.dove.bottom() - kBordoManiglia - kSimboloManiglia, kSimboloManiglia, kSimboloManiglia);
            p.setPen(Qt::NoPen);
            p.setBrush(vetro());
            p.drawEllipse(c);
            DisegnoMedia::simbolo(p, b.simbolo, c, 9, Qt::white);
            continue;
        }
        if (o.comandi <= 0)
            continue;
        p.setOpacity(o.comandi);
        p.setPen(Qt::NoPen);
        p.setBrush(vetro());
        p.drawEllipse(b.dove);
        DisegnoMedia::simbolo(p, b.simbolo, b.dove, 11, Qt::white);
    }
    p.restore();
}

QJsonObject json(const Vista& v)
{
    return {{QStringLiteral("aperto"), v.aperto},
            {QStringLiteral("pausa"), v.inPausa},
            {QStringLiteral("pannello"), int(v.pannello)},
            {QStringLiteral("testo"), v.testo},
            {QStringLiteral("avviso"), v.avviso},
            {QStringLiteral("riproduci"), v.aiutoRiproduci},
            {QStringLiteral("pausaAiuto"), v.aiutoPausa},
            {QStringLiteral("torna"), v.aiutoTorna},
            {QStringLiteral("chiudi"), v.aiutoChiudi}};
}

std::optional<Vista> daJson(const QJsonObject& o)
{
    Vista v;
    bool ok = true;
    auto testo = [&](const char* campo) {
        const QJsonValue t = o.value(QLatin1String(campo));
        if (!t.isString() || t.toString().size() > ProtocolloVideo::kMassimoTesto)
            ok = false;
        return t.toString();
    };
    const QJsonValue pannello = o.value(QLatin1String("pannello"));
    const int n = pannello.toInt(-1);
    if (!o.value(QLatin1String("aperto")).isBool() || !o.value(QLatin1String("pausa")).isBool() || n < 0 || n > 2)
        return std::nullopt;
    v.aperto = o.value(QLatin1String("aperto")).toBool();
    v.inPausa = o.value(QLatin1String("pausa")).toBool();
    v.pannello = Pannello(n);
    v.testo = testo("testo");
    v.avviso = testo("avviso");
    v.aiutoRiproduci = testo("riproduci");
    v.aiutoPausa = testo("pausaAiuto");
    v.aiutoTorna = testo("torna");
    v.aiutoChiudi = testo("chiudi");
    return ok ? std::optional(v) : std::nullopt;
}

} // namespace SovrapposizioneVideo
