// Fuzzes the settings store's round trip: keys and values of every kind the
// store takes (texts with any UTF-16 unit, lists, bytes, numbers, dates)
// set and removed in any order, saved and read again by a new store, give
// back what was set, and the file reads whole.
#include "FileIni.h"
#include "Lettore.h"
#include "UgualeIni.h"
#include "UserDefaults.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

namespace {

// A text up to a zero byte: UTF-8, or raw UTF-16 units when its first byte is odd.
QString testo(Lettore& l)
{
    const bool utf16 = l.byte() % 2;
    const QByteArray r = l.testo();
    if (!utf16)
        return QString::fromUtf8(r);
    return QString(reinterpret_cast<const QChar*>(r.constData()), r.size() / 2);
}

QVariant valore(Lettore& l)
{
    switch (l.byte() % 9) {
    case 0:
        return QVariant();
    case 1:
        return bool(l.byte() % 2);
    case 2:
        return l.numero<int>();
    case 3:
        return l.numero<qlonglong>();
    case 4:
        return l.numero<double>();
    case 5:
        return testo(l);
    case 6: {
        QStringList lista;
        for (int i = l.byte() % 5; i > 0; --i)
            lista << testo(l);
        return lista;
    }
    case 7:
        return testo(l).toLatin1();
    default: {
        // From 4700 BC to a million years on: what QSettings' own
        // serialised form (a 32-bit Julian day) can hold.
        constexpr qint64 primo = -210'000'000'000'000, ampiezza = 31'600'000'000'000'000;
        return QDateTime::fromMSecsSinceEpoch(primo + qint64(l.numero<quint64>() % ampiezza), Qt::UTC);
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n)
{
    static QTemporaryDir cartella;
    const QString percorso = cartella.filePath(QStringLiteral("Halvora.ini"));
    QFile::remove(percorso);
    QVariantMap atteso;
    auto controlla = [&](UserDefaults& d) {
        d.sync();
        UserDefaults riletta(percorso);
        QFile f(percorso);
        const bool letto = f.open(QIODevice::ReadOnly) || atteso.isEmpty();
        if (!letto || riletta.fileMessoDaParte() || FileIni::leggi(f.isOpen() ? f.readAll() : QByteArray()).valori.keys() != atteso.keys())
            __builtin_trap();
        for (auto it = atteso.cbegin(); it != atteso.cend(); ++it)
            if (!riletta.contains(it.key()) || !ugualeLetto(it.value(), riletta.value(it.key())))
                __builtin_trap();
    };
    {
        UserDefaults d(percorso);
        Lettore l{dati, n};
        while (!l.fine()) {
            const uint8_t op = l.byte() % 3;
            const QString chiave = testo(l);
            const QString normale = FileIni::chiaveNormale(chiave);
            if (op == 0) {
                const QVariant v = valore(l);
                d.setValue(chiave, v);
                if (!normale.isEmpty())
                    atteso.insert(normale, v);
            } else if (op == 1) {
                d.remove(chiave);
                for (auto it = atteso.begin(); it != atteso.end();)
                    it = it.key() == normale || it.key().startsWith(normale + QLatin1Char('/')) ? atteso.erase(it)
                                                                                               : std::next(it);
            } else {
                controlla(d);
            }
        }
        controlla(d);
    }
    return 0;
}
