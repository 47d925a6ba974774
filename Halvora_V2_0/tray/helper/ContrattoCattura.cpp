#include "ContrattoCattura.h"

#include <QDir>
#include <QFileInfo>

namespace ContrattoCattura {

QStringList argomenti(const Richiesta& r)
{
    QStringList a;
    switch (r.modo) {
    case ScreenshotMode::area:
        a << QStringLiteral("-i");
        break;
    case ScreenshotMode::window:
        a << QStringLiteral("-i") << QStringLiteral("-W");
        break;
    case ScreenshotMode::fullScreen:
        a << QStringLiteral("-x");
        break;
    }
    if (r.pidEscluso > 0)
        a << QStringLiteral("--escludi") << QString::number(r.pidEscluso);
    return a << r.percorso;
}

std::optional<Richiesta> leggi(const QStringList& argomenti)
{
    Richiesta r;
    bool interattiva = false, finestra = false, silenziosa = false;
    for (qsizetype i = 0; i < argomenti.size(); ++i) {
        const QString& a = argomenti[i];
        if (a == QLatin1String("-i"))
            interattiva = true;
        else if (a == QLatin1String("-W"))
            finestra = true;
        else if (a == QLatin1String("-x"))
            silenziosa = true;
        else if (a == QLatin1String("--escludi") && i + 1 < argomenti.size()) {
            bool ok = false;
            r.pidEscluso = argomenti[++i].toLongLong(&ok);
            if (!ok || r.pidEscluso <= 0)
                return std::nullopt;
        } else if (!a.startsWith(QLatin1Char('-')) && r.percorso.isEmpty())
            r.percorso = a;
        else
            return std::nullopt;
    }
    // Exactly one mode, and a path to write.
    if (r.percorso.isEmpty() || interattiva == silenziosa || (finestra && !interattiva))
        return std::nullopt;
    r.modo = silenziosa ? ScreenshotMode::fullScreen : finestra ? ScreenshotMode::window : ScreenshotMode::area;
    return r;
}

QString temporaneo(const QString& percorso)
{
    const QFileInfo f(percorso);
    return f.dir().filePath(QLatin1Char('.') + f.fileName() + QStringLiteral(".parziale"));
}

} // namespace ContrattoCattura
