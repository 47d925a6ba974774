#include "AnalisiUsoIA.h"

#include <cmath>

namespace {

// Days from 1970-01-01 to a proleptic Gregorian date.
qint64 giorniDaEpoca(qint64 a, unsigned m, unsigned g)
{
    a -= m <= 2;
    const qint64 era = (a >= 0 ? a : a - 399) / 400;
    const unsigned aae = static_cast<unsigned>(a - era * 400);
    const unsigned gda = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + g - 1;
    const unsigned gde = aae * 365 + aae / 4 - aae / 100 + gda;
    return era * 146097 + static_cast<qint64>(gde) - 719468;
}

unsigned giorniNelMese(qint64 a, unsigned m)
{
    static constexpr unsigned giorni[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool bisestile = (a % 4 == 0 && a % 100 != 0) || a % 400 == 0;
    return m == 2 && bisestile ? 29 : giorni[m - 1];
}

struct Lettore {
    QByteArrayView t;
    qsizetype i = 0;

    bool fine() const { return i >= t.size(); }
    bool prendi(char c)
    {
        if (fine() || t[i] != c)
            return false;
        ++i;
        return true;
    }
    // Exactly `n` digits.
    std::optional<unsigned> cifre(int n)
    {
        unsigned v = 0;
        for (int k = 0; k < n; ++k) {
            if (fine() || t[i] < '0' || t[i] > '9')
                return std::nullopt;
            v = v * 10 + static_cast<unsigned>(t[i++] - '0');
        }
        return v;
    }
};

std::optional<QDateTime> daMillisecondi(qint64 ms)
{
    if (ms < 0 || ms >= kSecondiDataMassima * 1000)
        return std::nullopt;
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
}

} // namespace

std::optional<qint64> percentualeArrotondata(double valore)
{
    if (!std::isfinite(valore))
        return std::nullopt;
    const double r = std::round(valore);
    // 2^63 is exactly representable; anything at or past it does not fit.
    if (r >= 9223372036854775808.0 || r < -9223372036854775808.0)
        return std::nullopt;
    return static_cast<qint64>(r);
}

std::optional<QDateTime> dataDaSecondi(double secondi)
{
    if (!std::isfinite(secondi) || secondi < 0 || secondi >= static_cast<double>(kSecondiDataMassima))
        return std::nullopt;
    return daMillisecondi(static_cast<qint64>(std::floor(secondi * 1000.0)));
}

std::optional<QDateTime> dataDopo(const QDateTime& base, double secondi)
{
    if (!base.isValid() || !std::isfinite(secondi) || std::fabs(secondi) >= static_cast<double>(kSecondiDataMassima))
        return std::nullopt;
    return daMillisecondi(base.toMSecsSinceEpoch() + static_cast<qint64>(std::floor(secondi * 1000.0)));
}

std::optional<QDateTime> dataISO(QByteArrayView testo)
{
    if (testo.size() > 64)
        return std::nullopt;
    Lettore l{testo};
    const auto anno = l.cifre(4);
    if (!anno || !l.prendi('-'))
        return std::nullopt;
    const auto mese = l.cifre(2);
    if (!mese || *mese < 1 || *mese > 12 || !l.prendi('-'))
        return std::nullopt;
    const auto giorno = l.cifre(2);
    if (!giorno || *giorno < 1 || *giorno > giorniNelMese(*anno, *mese) || !l.prendi('T'))
        return std::nullopt;
    const auto ora = l.cifre(2);
    if (!ora || *ora > 23 || !l.prendi(':'))
        return std::nullopt;
    const auto minuto = l.cifre(2);
    if (!minuto || *minuto > 59 || !l.prendi(':'))
        return std::nullopt;
    const auto secondo = l.cifre(2);
    if (!secondo || *secondo > 59)
        return std::nullopt;
    qint64 ms = 0;
    if (l.prendi('.')) {
        int cifreLette = 0;
        while (!l.fine() && l.t[l.i] >= '0' && l.t[l.i] <= '9') {
            if (cifreLette < 3)
                ms = ms * 10 + (l.t[l.i] - '0');
            ++cifreLette;
            ++l.i;
        }
        if (cifreLette == 0)
            return std::nullopt;
        for (int k = cifreLette; k < 3; ++k)
            ms *= 10;
    }
    qint64 scostamento = 0; // seconds east of UTC
    if (!l.prendi('Z')) {
        if (l.fine() || (l.t[l.i] != '+' && l.t[l.i] != '-'))
            return std::nullopt;
        const int segno = l.t[l.i++] == '-' ? -1 : 1;
        const auto oreZona = l.cifre(2);
        if (!oreZona || *oreZona > 23)
            return std::nullopt;
        unsigned minutiZona = 0;
        if (!l.fine()) {
            l.prendi(':');
            const auto m = l.cifre(2);
            if (!m || *m > 59)
                return std::nullopt;
            minutiZona = *m;
        }
        scostamento = segno * static_cast<qint64>(*oreZona * 3600 + minutiZona * 60);
    }
    if (!l.fine())
        return std::nullopt;
    const qint64 secondi =
        giorniDaEpoca(*anno, *mese, *giorno) * 86400 + *ora * 3600 + *minuto * 60 + *secondo - scostamento;
    return daMillisecondi(secondi * 1000 + ms);
}

std::optional<QDateTime> dataAzzeramento(const QJsonValue& valore)
{
    if (!valore.isString())
        return std::nullopt;
    return dataISO(valore.toString().toUtf8());
}
