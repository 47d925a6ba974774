#include "LogoClaude.h"

#include <QTransform>
#include <cstdlib>
#include <locale>
#include <sstream>

namespace {

// A neutral sparkle of our own standing for the provider's artwork.
constexpr char kContorno[] =
    "M12 1.5C12.9 7.2 16.8 11.1 22.5 12C16.8 12.9 12.9 16.8 12 22.5C11.1 16.8 7.2 12.9 1.5 12"
    "C7.2 11.1 11.1 7.2 12 1.5Z"
    "M19 3.2c.3 1.7 1.5 2.9 3.2 3.2c-1.7.3-2.9 1.5-3.2 3.2c-.3-1.7-1.5-2.9-3.2-3.2c1.7-.3 2.9-1.5 3.2-3.2z"
    "M4.6 16.6l1.1 2.1 2.1 1.1-2.1 1.1-1.1 2.1-1.1-2.1-2.1-1.1 2.1-1.1z";

bool separatore(char c)
{
    return c == ',' || c == ' ';
}

bool cifra(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

std::optional<double> leggiNumeroSVG(QByteArrayView dati, qsizetype& pos)
{
    qsizetype i = pos;
    while (i < dati.size() && separatore(dati[i]))
        ++i;
    if (i >= dati.size())
        return std::nullopt;
    const qsizetype inizio = i;
    if (dati[i] == '+' || dati[i] == '-')
        ++i;
    const bool daPunto = i < dati.size() && dati[i] == '.';
    if (i >= dati.size() || !(cifra(dati[i]) || (daPunto && i + 1 < dati.size() && cifra(dati[i + 1]))))
        return std::nullopt;
    bool punto = false;
    while (i < dati.size()) {
        if (cifra(dati[i])) {
            ++i;
        } else if (dati[i] == '.' && !punto) {
            punto = true;
            ++i;
        } else {
            break;
        }
    }
    // C-locale conversion, whatever the program's locale.
    std::istringstream in(std::string(dati.data() + inizio, static_cast<size_t>(i - inizio)));
    in.imbue(std::locale::classic());
    double v = 0;
    if (dati[inizio] == '+')
        in.ignore(1);
    in >> v;
    if (in.fail())
        return std::nullopt;
    pos = i;
    return v;
}

QPainterPath analizzaPercorsoSVG(QByteArrayView dati)
{
    QPainterPath p;
    QPointF corrente, inizioTratto;
    char comando = 0;
    qsizetype i = 0;
    for (;;) {
        while (i < dati.size() && separatore(dati[i]))
            ++i;
        if (i >= dati.size())
            break;
        const char c = dati[i];
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
            ++i;
            if (c == 'Z' || c == 'z') {
                p.closeSubpath();
                corrente = inizioTratto;
                comando = c;
                continue;
            }
            comando = c;
        }
        const bool relativo = comando >= 'a' && comando <= 'z';
        const QPointF base = relativo ? corrente : QPointF();
        auto numeri = [&](int n, double* out) {
            for (int k = 0; k < n; ++k) {
                auto v = leggiNumeroSVG(dati, i);
                if (!v)
                    return false;
                out[k] = *v;
            }
            return true;
        };
        double v[6];
        switch (comando) {
        case 'M':
        case 'm':
            if (!numeri(2, v))
                return p;
            corrente = inizioTratto = base + QPointF(v[0], v[1]);
            p.moveTo(corrente);
            comando = relativo ? 'l' : 'L';
            break;
        case 'L':
        case 'l':
            if (!numeri(2, v))
                return p;
            corrente = base + QPointF(v[0], v[1]);
            p.lineTo(corrente);
            break;
        case 'H':
        case 'h':
            if (!numeri(1, v))
                return p;
            corrente.setX(relativo ? corrente.x() + v[0] : v[0]);
            p.lineTo(corrente);
            break;
        case 'V':
        case 'v':
            if (!numeri(1, v))
                return p;
            corrente.setY(relativo ? corrente.y() + v[0] : v[0]);
            p.lineTo(corrente);
            break;
        case 'C':
        case 'c':
            if (!numeri(6, v))
                return p;
            p.cubicTo(base + QPointF(v[0], v[1]), base + QPointF(v[2], v[3]), base + QPointF(v[4], v[5]));
            corrente = base + QPointF(v[4], v[5]);
            break;
        default: // unsupported command, a number after Z or before any command
            return p;
        }
    }
    return p;
}

namespace LogoClaude {

const QPainterPath& percorsoLogo()
{
    static const QPainterPath p = [] {
        QPainterPath contorno = analizzaPercorsoSVG(kContorno);
        contorno.setFillRule(Qt::WindingFill);
        return contorno;
    }();
    return p;
}

QPainterPath percorso(const QRectF& r)
{
    const double lato = std::min(r.width(), r.height());
    const double scala = lato / 24.0;
    QTransform t;
    t.translate(r.center().x() - lato * 0.5, r.center().y() - lato * 0.5);
    t.scale(scala, scala);
    return t.map(percorsoLogo());
}

} // namespace LogoClaude
