#pragma once

#include "ProprietaParagrafo.h"
#include "ProprietaRun.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

// The styles part of a Word document (word/styles.xml): the document's
// default properties and each style's own, with the style it is based on.
struct StiliDocx {
    struct Stile {
        QString basatoSu;
        ProprietaRun run;
        ProprietaParagrafo paragrafo;
    };

    ProprietaRun run;            // the document's defaults
    ProprietaParagrafo paragrafo;
    QHash<QString, Stile> perId;
    QString predefinito;         // the default paragraph style

    // What the part holds, as far as it reads; an empty part holds no style.
    static StiliDocx leggi(const QByteArray& xml);
    // The chain from the base style to `id`, the base first.
    QList<const Stile*> catena(const QString& id) const;
};
