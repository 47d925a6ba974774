#pragma once

#include "Pasteboard.h"

#include <QHash>
#include <QMutex>

// Clipboard set by the test. copia() stands for another application's
// copy; setString() is ours and is recorded in `scritture`. Readings may
// come from a worker thread: the offer is guarded.
class FakePasteboard final : public Pasteboard {
    Q_OBJECT
public:
    using Pasteboard::Pasteboard;

    qint64 changeCount() const override
    {
        ++letture;
        return conteggio;
    }
    Contenuto leggi(const QStringList& formati) const override
    {
        QMutexLocker l(&guardia);
        Contenuto c{tipi, testo ? std::optional<QByteArray>(testo->toUtf8()) : std::nullopt, {}};
        for (const QString& f : formati)
            if (dati.contains(f))
                c.dati.insert(f, dati.value(f));
        return c;
    }
    bool segnalaCambi() const override { return segnala; }
    void setString(const QString& t) override
    {
        copia(t);
        scritture << t;
    }

    // A copy of `t` offered as plain text plus `altriTipi` (with their bytes in `altriDati`).
    void copia(const std::optional<QString>& t, const QStringList& altriTipi = {},
               const QHash<QString, QByteArray>& altriDati = {})
    {
        {
            QMutexLocker l(&guardia);
            testo = t;
            tipi = altriTipi;
            if (t)
                tipi.prepend(QStringLiteral("text/plain"));
            dati = altriDati;
        }
        ++conteggio;
        if (segnala)
            emit contatoreCambiato();
    }
    // The owner went away: nothing on offer, as happens mid-write.
    void svuota()
    {
        {
            QMutexLocker l(&guardia);
            testo.reset();
            tipi.clear();
            dati.clear();
        }
        ++conteggio;
        if (segnala)
            emit contatoreCambiato();
    }

    qint64 conteggio = 0;
    QStringList tipi;
    QHash<QString, QByteArray> dati;
    std::optional<QString> testo;
    QStringList scritture;
    mutable int letture = 0; // reads of the change counter
    bool segnala = false;    // announces its changes, as the desktop's does
    mutable QMutex guardia;
};
