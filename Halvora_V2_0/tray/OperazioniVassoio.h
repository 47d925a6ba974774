#pragma once

#include "Conversione.h"
#include "Interruzione.h"
#include "OperazioneVassoio.h"

#include <QStringList>

// The work of each tray operation, run on a conversion worker: the
// converters called on the inputs (already of the operation's kind) in
// order, a failing input skipped, the others still converted.
namespace OperazioniVassoio {

EsitoVassoio esegui(OperazioneVassoio operazione, const QStringList& ingressi, const Conversione& conversione,
                    const QString& cartella, const Interruzione& stop);

} // namespace OperazioniVassoio
