// Fuzzes the calendar store on one file, as another program may have
// written it: its events over two months with repeating ones expanded, its
// open reminders, and, when the first byte is odd, the first reminder
// completed and snoozed, after which the file must still read.
#include "ArchivioCalendario.h"
#include "Ical.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n)
{
    if (n < 1)
        return 0;
    static QTemporaryDir radice;
    const QString cartella = radice.filePath(QStringLiteral("calendario"));
    QDir(cartella).removeRecursively();
    QDir().mkpath(cartella);
    const QString percorso = cartella + QStringLiteral("/Lavoro.ics");
    {
        QFile f(percorso);
        if (!f.open(QIODevice::WriteOnly) || f.write(reinterpret_cast<const char*>(dati) + 1, qint64(n - 1)) != qint64(n - 1))
            return 0;
    }
    ArchivioCalendario archivio(cartella);
    archivio.impostaElencoPredefinito(QStringLiteral("Lavoro.ics"));
    const QDateTime ora(QDate(2026, 3, 2), QTime(10, 0), Qt::UTC);
    const QDateTime da = ora.addDays(-7), a = ora.addDays(60);

    const auto impegni = archivio.impegni(da, a);
    if (!impegni.accesso || impegni.file != QStringList{percorso})
        __builtin_trap();
    for (const Impegno& i : impegni.elementi)
        if (i.id.isEmpty() || i.titolo.isEmpty() || !i.inizio.isValid() || !i.fine.isValid() || i.inizio >= a)
            __builtin_trap();
    const auto promemoria = archivio.promemoria(a);
    for (const Promemoria& p : promemoria.elementi)
        if (p.id.isEmpty() || p.titolo.isEmpty() || (p.scadenza && *p.scadenza >= a))
            __builtin_trap();

    if (dati[0] % 2 && !promemoria.elementi.isEmpty()) {
        const QString id = promemoria.elementi.first().id;
        archivio.completa(id, ora);
        archivio.rimanda(id, ora.addSecs(600));
        // The reminder was read, so the file was understood: a rewrite must read too.
        QFile f(percorso);
        if (!f.open(QIODevice::ReadOnly) || !Ical::leggi(f.readAll()))
            __builtin_trap();
    }
    return 0;
}
