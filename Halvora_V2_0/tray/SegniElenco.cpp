#include "SegniElenco.h"

#include <utility>

namespace {

QString romano(int n)
{
    static const std::pair<int, const char*> cifre[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"},
                                                        {90, "xc"},  {50, "l"},   {40, "xl"},  {10, "x"},   {9, "ix"},
                                                        {5, "v"},    {4, "iv"},   {1, "i"}};
    QString r;
    for (const auto& [valore, segno] : cifre)
        for (; n >= valore && r.size() < 32; n -= valore)
            r += QLatin1String(segno);
    return r;
}

QString lettere(int n)
{
    if (n <= 0)
        return {};
    return QString(qMin((n - 1) / 26 + 1, 8), QChar(u'a' + (n - 1) % 26));
}

} // namespace

namespace SegniElenco {

QString numero(Numerazione numerazione, int n)
{
    switch (numerazione) {
    case Numerazione::decimale:
        return QString::number(n);
    case Numerazione::decimaleDueCifre:
        return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
    case Numerazione::romanaMaiuscola:
        return romano(n).toUpper();
    case Numerazione::romanaMinuscola:
        return romano(n);
    case Numerazione::letteraMaiuscola:
        return lettere(n).toUpper();
    case Numerazione::letteraMinuscola:
        return lettere(n);
    case Numerazione::nessuna:
        break;
    }
    return {};
}

QString punto(const QString& testo)
{
    QString r;
    for (const QChar c : testo) {
        if (c.unicode() >= 0xE000 && c.unicode() <= 0xF8FF)
            r += QChar(u'\u2022');
        else if (c.unicode() >= 0x20 && !c.isSurrogate() && c.unicode() < 0xFFFE)
            r += c;
    }
    return r.isEmpty() ? QStringLiteral("\u2022") : r;
}

} // namespace SegniElenco
