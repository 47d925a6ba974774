#include "ContrattoRiconoscimento.h"

#include <QDir>
#include <QFileInfo>

namespace ContrattoRiconoscimento {

QStringList argomenti(const QString& cartellaModello, const QString& file)
{
    QStringList a{QStringLiteral("--modello"), cartellaModello};
    if (!file.isEmpty())
        a << file;
    return a;
}

std::optional<Richiesta> leggi(const QStringList& argomenti)
{
    if (argomenti.size() < 2 || argomenti.size() > 3 || argomenti.at(0) != QLatin1String("--modello")
        || argomenti.at(1).isEmpty())
        return std::nullopt;
    return Richiesta{argomenti.at(1), argomenti.value(2)};
}

std::optional<Modello> trovaModello(const QString& cartella)
{
    const QDir dir(cartella);
    Modello m;
    for (const QFileInfo& f : dir.entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString nome = f.fileName();
        if (f.isDir()) {
            if (m.acustico.isEmpty() && QFileInfo(f.filePath() + QStringLiteral("/mdef")).isFile())
                m.acustico = f.filePath();
        } else if (nome.endsWith(QLatin1String(".dict"))) {
            if (m.dizionario.isEmpty())
                m.dizionario = f.filePath();
        } else if ((nome.endsWith(QLatin1String(".lm.bin")) || nome.endsWith(QLatin1String(".lm")))
                   && !nome.contains(QLatin1String("phone"))) {
            if (m.linguistico.isEmpty())
                m.linguistico = f.filePath();
        }
    }
    if (m.acustico.isEmpty() || m.linguistico.isEmpty() || m.dizionario.isEmpty())
        return std::nullopt;
    return m;
}

} // namespace ContrattoRiconoscimento
