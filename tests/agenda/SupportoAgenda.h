#pragma once

#include "ArchivioCalendario.h"
#include "CodaArchivio.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <atomic>
#include <ctime>
#include <vector>

// Helpers shared by the agenda tests.
namespace Prova {

// Writes a calendar file with the given components (VEVENT/VTODO text).
inline void scriviCalendario(const QString& cartella, const QString& nome, const QString& componenti,
                             const QString& intestazione = {})
{
    QDir().mkpath(cartella);
    QFile f(QDir(cartella).filePath(nome));
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    QString testo = QStringLiteral("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Prova//IT\r\n") + intestazione
        + componenti + QStringLiteral("END:VCALENDAR\r\n");
    f.write(testo.toUtf8());
}

// An iCalendar floating time for a local QDateTime.
inline QString ics(const QDateTime& d) { return d.toLocalTime().toString(QStringLiteral("yyyyMMdd'T'HHmmss")); }
inline QString icsData(const QDate& d) { return d.toString(QStringLiteral("yyyyMMdd")); }

inline QString evento(const QString& uid, const QString& titolo, const QString& righe)
{
    return QStringLiteral("BEGIN:VEVENT\r\nUID:%1\r\nSUMMARY:%2\r\n%3END:VEVENT\r\n").arg(uid, titolo, righe);
}

inline QString promemoria(const QString& uid, const QString& titolo, const QString& righe)
{
    return QStringLiteral("BEGIN:VTODO\r\nUID:%1\r\nSUMMARY:%2\r\n%3END:VTODO\r\n").arg(uid, titolo, righe);
}

// The ids of a list of events or reminders, in order.
inline QStringList ids(const auto& lista)
{
    QStringList s;
    for (const auto& x : lista)
        s.append(x.id);
    return s;
}

// A zone with an offset and summer time, so that floating, UTC and zoned
// times cannot be mistaken for one another.
inline void usaFusoDiProva()
{
    qputenv("TZ", "Europe/Rome");
    tzset();
}

// Times written as the Italian interface writes them ("09:30").
inline void usaOrarioItaliano() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }

inline QByteArray leggiFile(const QString& percorso)
{
    QFile f(percorso);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

} // namespace Prova

// A store whose writes fail on request, as a full disk would make them.
class ArchivioFallibile final : public ArchivioCalendario {
public:
    using ArchivioCalendario::ArchivioCalendario;
    std::atomic<bool> fallisci{false};

protected:
    bool scrivi(const QString& percorso, const QByteArray& contenuto, QString* errore) override
    {
        if (fallisci) {
            *errore = QStringLiteral("disco pieno");
            return false;
        }
        return ArchivioCalendario::scrivi(percorso, contenuto, errore);
    }
};

// A queue whose jobs run only when the test says, in any order.
class CodaManuale final : public CodaArchivio {
public:
    void accoda(std::function<void()> lavoro) override { lavori.push_back(std::move(lavoro)); }
    void esegui(size_t i)
    {
        auto lavoro = std::move(lavori.at(i));
        lavori.erase(lavori.begin() + long(i));
        lavoro();
    }
    void eseguiTutti()
    {
        while (!lavori.empty())
            esegui(0);
    }
    std::vector<std::function<void()>> lavori;
};
