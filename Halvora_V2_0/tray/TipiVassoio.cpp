#include "TipiVassoio.h"

#include <QFileInfo>
#include <QMimeDatabase>

namespace {

// The type of an existing file, or nothing when it cannot be told.
QMimeType tipoDi(const QString& percorso)
{
    if (!QFileInfo::exists(percorso))
        return {};
    const QMimeType tipo = QMimeDatabase().mimeTypeForFile(percorso);
    return tipo.isValid() && !tipo.isDefault() ? tipo : QMimeType();
}

bool discende(const QMimeType& tipo, auto&& prova)
{
    if (prova(tipo.name()))
        return true;
    for (const QString& antenato : tipo.allAncestors())
        if (prova(antenato))
            return true;
    return false;
}

} // namespace

namespace TipiVassoio {

bool eImmagine(const QString& percorso)
{
    const QMimeType tipo = tipoDi(percorso);
    return tipo.isValid() && discende(tipo, [](const QString& n) { return n.startsWith(QLatin1String("image/")); });
}

bool ePdf(const QString& percorso)
{
    const QMimeType tipo = tipoDi(percorso);
    if (!tipo.isValid())
        return QFileInfo(percorso).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0;
    return discende(tipo, [](const QString& n) { return n == QLatin1String("application/pdf"); });
}

bool eDocumento(const QString& percorso)
{
    static const QStringList estensioni{QStringLiteral("rtf"),  QStringLiteral("rtfd"), QStringLiteral("txt"),
                                        QStringLiteral("html"), QStringLiteral("htm"),  QStringLiteral("doc"),
                                        QStringLiteral("docx"), QStringLiteral("md")};
    return estensioni.contains(QFileInfo(percorso).suffix().toLower());
}

} // namespace TipiVassoio
