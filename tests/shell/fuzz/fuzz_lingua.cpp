// Fuzzes how the interface language is read at start: the settings file,
// as anyone may have edited it, gives the chosen language and the one
// whose tables load.
#include "LinguaManager.h"
#include "Traduzioni.h"
#include "UserDefaults.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n)
{
    static QTemporaryDir cartella;
    static int conteggio = 0;
    // A new file each time: the settings of a path already read are cached.
    const QString percorso = cartella.filePath(QStringLiteral("%1.ini").arg(conteggio++));
    {
        QFile f(percorso);
        if (!f.open(QIODevice::WriteOnly) || f.write(reinterpret_cast<const char*>(dati), qint64(n)) != qint64(n))
            return 0;
    }
    {
        UserDefaults defaults(percorso);
        const LinguaManager lingua(defaults, {});
        if (!Lingue::tutte().contains(lingua.scelta()) || Lingue::daRawValue(lingua.sceltaRaw()) != lingua.scelta())
            __builtin_trap();
        const QString avvio = LinguaManager::linguaAllAvvio(defaults);
        const QString effettiva = Traduzioni::linguaEffettiva(avvio);
        if (effettiva != QLatin1String("it") && effettiva != QLatin1String("en") && effettiva != QLatin1String("es"))
            __builtin_trap();
        if (Lingue::daRawValue(defaults.value(LinguaManager::kChiaveLingua).toString()).has_value()
            != (defaults.value(LinguaManager::kChiaveLingua).toString() == lingua.sceltaRaw()))
            __builtin_trap();
    }
    QFile::remove(percorso);
    return 0;
}
