#include "NomiMemo.h"

#include <QFileInfo>
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

QString percorsoUnico(const QString& cartella, const QString& base)
{
    QString nome = base;
    for (int n = 2; nomeOccupato(cartella, nome); ++n)
        nome = QStringLiteral("%1 (%2)").arg(base).arg(n);
    return cartella + QLatin1Char('/') + nome + QStringLiteral(".m4a");
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
