#include "NomiMemo.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextBoundaryFinder>
#include <cmath>

namespace NomiMemo {

QString nomePredefinito(const QDateTime& quando, const QLocale& locale)
{
    return QStringLiteral("Memo ") + locale.toString(quando, QStringLiteral("d MMM HH.mm"));
}

bool nomeOccupato(const QString& cartella, const QString& base)
{
    const QString radice = cartella + QLatin1Char('/') + base;
    return QFileInfo::exists(radice + QStringLiteral(".m4a")) || QFileInfo::exists(radice + QStringLiteral(".txt"));
}

std::optional<QString> riservaPercorsoUnico(const QString& cartella, const QString& base)
{
    for (int n = 1;; ++n) {
        const QString nome = n == 1 ? base : QStringLiteral("%1 (%2)").arg(base).arg(n);
        if (nomeOccupato(cartella, nome))
            continue;
        QFile file(cartella + QLatin1Char('/') + nome + QStringLiteral(".m4a"));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return file.fileName();
        // Taken meanwhile: the next name; anything else: no file can be made here.
        if (!file.exists())
            return std::nullopt;
    }
}

std::optional<QString> nomeDaRinomina(const QString& testo, const QString& ext)
{
    QString nome = testo.trimmed();
    if (nome.isEmpty())
        return std::nullopt;
    // Only the last path component counts; a trailing "/" is ignored.
    while (nome.endsWith(QLatin1Char('/')))
        nome.chop(1);
    nome = nome.mid(nome.lastIndexOf(QLatin1Char('/')) + 1);
    if (!ext.isEmpty() && nome.toLower().endsWith(QLatin1Char('.') + ext.toLower()))
        nome.chop(ext.size() + 1);
    nome.replace(QLatin1Char('/'), QLatin1Char('-'));
    // A leading dot would hide the memo from the list for good.
    if (nome.isEmpty() || nome.startsWith(QLatin1Char('.')))
        return std::nullopt;
    return nome;
}

std::optional<QString> titoloDaTrascrizione(const QString& base, const QString& trascrizione)
{
    if (!base.startsWith(QLatin1String("Memo ")) && !base.startsWith(QLatin1String("Memo_")))
        return std::nullopt;
    static const QRegularExpression spazi(QStringLiteral("\\s+"));
    const QStringList parole = trascrizione.split(spazi, Qt::SkipEmptyParts);
    if (parole.size() < 2)
        return std::nullopt;
    QString titolo = parole.mid(0, 6).join(QLatin1Char(' '));
    const QString bordi = QStringLiteral(" .,;:!?");
    qsizetype inizio = 0, fine = titolo.size();
    while (inizio < fine && bordi.contains(titolo.at(inizio)))
        ++inizio;
    while (fine > inizio && bordi.contains(titolo.at(fine - 1)))
        --fine;
    titolo = titolo.mid(inizio, fine - inizio);
    // Characters as the user sees them: an accent or an emoji counts once.
    QTextBoundaryFinder grafemi(QTextBoundaryFinder::Grapheme, titolo);
    int caratteri = 0;
    qsizetype taglio = titolo.size();
    while (grafemi.toNextBoundary() != -1) {
        if (++caratteri == 50) {
            taglio = grafemi.position();
            break;
        }
    }
    if (caratteri < 4)
        return std::nullopt;
    return titolo.left(taglio);
}

QString percorsoTrascrizione(const QString& percorsoMemo)
{
    const QFileInfo f(percorsoMemo);
    return f.path() + QLatin1Char('/') + f.completeBaseName() + QStringLiteral(".txt");
}

QString testoDurata(double secondi)
{
    const qint64 interi = std::isfinite(secondi) && secondi > 0 ? static_cast<qint64>(secondi) : 0;
    return QStringLiteral("%1:%2")
        .arg(interi / 60, 2, 10, QLatin1Char('0'))
        .arg(interi % 60, 2, 10, QLatin1Char('0'));
}

} // namespace NomiMemo
