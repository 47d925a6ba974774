#include "BloccoNowPlaying.h"

#include "Processi.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace BloccoNowPlaying {

QString escapa(const QString& valore)
{
    QString r;
    r.reserve(valore.size() + 8);
    for (QChar c : valore) {
        switch (c.unicode()) {
        case '\\': r += QLatin1String("\\\\"); break;
        case '"': r += QLatin1String("\\\""); break;
        case '\n': r += QLatin1String("\\n"); break;
        case '\r': r += QLatin1String("\\u000d"); break;
        case '-': r += QLatin1String("\\u002d"); break;
        default:
            // Other separators of lines would split the block's lines too.
            if (c == QChar::LineSeparator || c == QChar::ParagraphSeparator || c.unicode() < 0x20)
                r += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                r += c;
        }
    }
    return r;
}

namespace {
QString numero(double v) { return QString::number(std::isfinite(v) ? v : 0.0, 'f', 3); }
QString riga(const QString& chiave, const QString& valore) { return QStringLiteral("    %1 = %2;\n").arg(chiave, valore); }
QString testo(const QString& v) { return QLatin1Char('"') + escapa(v) + QLatin1Char('"'); }
} // namespace

QString blocco(const std::optional<StatoMpris>& s, const QDateTime& ora)
{
    QString b = kInizio + QLatin1Char('\n');
    if (s) {
        const double velocita = s->inRiproduzione() ? (s->velocita > 0 ? s->velocita : 1.0) : 0.0;
        b += QLatin1String("{\n");
        b += riga(QStringLiteral("\"__title\""), testo(s->titolo));
        if (!s->artisti.isEmpty())
            b += riga(QStringLiteral("trackArtistName"), testo(s->artisti.join(QStringLiteral(", "))));
        b += riga(QStringLiteral("\"__playbackRate\""), numero(velocita));
        b += riga(QStringLiteral("elapsedTime"), QStringLiteral("(%1)").arg(numero(s->posizioneUs / 1.0e6)));
        if (s->durataUs > 0)
            b += riga(QStringLiteral("duration"), QStringLiteral("(%1)").arg(numero(s->durataUs / 1.0e6)));
        b += riga(QStringLiteral("elapsedTimeTimestamp"),
                  testo(QLocale::c().toString(ora.toUTC(), QStringLiteral("yyyy-MM-dd HH:mm:ss '+0000'"))));
        b += QLatin1String("}\n");
        // The name runs to the end of the line; line breaks in it would end it early.
        QString nome = s->identita.isEmpty() ? s->desktop : s->identita;
        nome.replace(QRegularExpression(QStringLiteral("[\\r\\n\\x{2028}\\x{2029}]")), QStringLiteral(" "));
        QString id = s->desktop;
        id.remove(QRegularExpression(QStringLiteral("[^A-Za-z0-9_.\\-]")));
        // The line is not escaped, so no run of dashes may form a marker in it.
        static const QRegularExpression trattini(QStringLiteral("-{2,}"));
        nome.replace(trattini, QStringLiteral("-"));
        id.replace(trattini, QStringLiteral("-"));
        if (!id.isEmpty())
            b += QStringLiteral("percorso: %1 (%2) %3\n").arg(id).arg(s->pid).arg(nome.trimmed().isEmpty() ? id : nome);
    }
    b += kFine + QLatin1Char('\n');
    return b;
}

} // namespace BloccoNowPlaying

std::optional<StatoMpris> SceltaPlayer::osserva(const QList<StatoMpris>& stati)
{
    QHash<QString, Storia> nuova;
    const StatoMpris* migliore = nullptr;
    qint64 ordineMigliore = -1;
    bool miglioreSuona = false;
    for (const StatoMpris& s : stati) {
        const bool nostro = pidEscluso_ != 0 && (figli_ ? Processi::discendeDa(s.pid, pidEscluso_) : s.pid == pidEscluso_);
        if (s.desktop == desktopEscluso_ || nostro)
            continue;
        Storia h = storia_.value(s.nomeBus);
        if (h.stato != s.stato)
            h.ordine = ++contatore_;
        h.stato = s.stato;
        nuova.insert(s.nomeBus, h);
        const bool suona = s.inRiproduzione();
        if (!suona && s.stato != QLatin1String("Paused"))
            continue;
        if (s.titolo.trimmed().isEmpty())
            continue;
        if ((suona && !miglioreSuona) || (suona == miglioreSuona && h.ordine > ordineMigliore)) {
            migliore = &s;
            ordineMigliore = h.ordine;
            miglioreSuona = suona;
        }
    }
    storia_ = std::move(nuova);
    if (!migliore)
        return std::nullopt;
    return *migliore;
}
