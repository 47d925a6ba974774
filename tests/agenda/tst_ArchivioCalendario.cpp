#include "ArchivioCalendario.h"
#include "Colori.h"
#include "Ical.h"
#include "SupportoAgenda.h"

#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

using namespace Prova;

namespace {

const QDate kOggi(2026, 3, 2); // a Monday
QDateTime alle(int giorniDaOggi, int ora, int minuto = 0, int secondo = 0)
{
    return QDateTime(kOggi.addDays(giorniDaOggi), QTime(ora, minuto, secondo), Qt::LocalTime);
}

// The one reminder of a file, parsed with libical for checks on what was written.
struct TodoLetto {
    Ical::Componente radice;
    icalcomponent* todo = nullptr;
    explicit TodoLetto(const QString& percorso, const QString& uid = {})
        : radice(Ical::leggi(leggiFile(percorso)))
    {
        for (icalcomponent* t : Ical::componenti(radice.get(), ICAL_VTODO_COMPONENT))
            if (uid.isEmpty() || uid == QString::fromUtf8(icalcomponent_get_uid(t)))
                todo = t;
    }
    int contaAllarmi(bool assoluti) const
    {
        int n = 0;
        for (icalcomponent* a = icalcomponent_get_first_component(todo, ICAL_VALARM_COMPONENT); a;
             a = icalcomponent_get_next_component(todo, ICAL_VALARM_COMPONENT)) {
            auto trig = icalproperty_get_trigger(icalcomponent_get_first_property(a, ICAL_TRIGGER_PROPERTY));
            n += (!icaltime_is_null_time(trig.time)) == assoluti;
        }
        return n;
    }
    icaltriggertype primoTrigger() const
    {
        icalcomponent* a = icalcomponent_get_first_component(todo, ICAL_VALARM_COMPONENT);
        return icalproperty_get_trigger(icalcomponent_get_first_property(a, ICAL_TRIGGER_PROPERTY));
    }
    icalproperty* trigger(bool assoluto) const
    {
        for (icalcomponent* a = icalcomponent_get_first_component(todo, ICAL_VALARM_COMPONENT); a;
             a = icalcomponent_get_next_component(todo, ICAL_VALARM_COMPONENT)) {
            icalproperty* p = icalcomponent_get_first_property(a, ICAL_TRIGGER_PROPERTY);
            if ((!icaltime_is_null_time(icalproperty_get_trigger(p).time)) == assoluto)
                return p;
        }
        return nullptr;
    }
    QDateTime scadenza() const { return Ical::data(Ical::scadenza(todo)); }
};

QStringList inizi(const QList<Impegno>& impegni)
{
    QStringList s;
    for (const auto& i : impegni)
        s.append(i.inizio.toLocalTime().toString(QStringLiteral("MM-dd HH:mm")) + (i.interaGiornata ? "*" : ""));
    return s;
}

} // namespace

class TestArchivioCalendario : public QObject {
    Q_OBJECT
    QTemporaryDir radice;
    int contatore = 0;

    // A fresh store folder per test.
    QString nuovaCartella() { return radice.filePath(QStringLiteral("cal%1").arg(++contatore)); }

private slots:
    void initTestCase()
    {
        usaFusoDiProva();
        usaOrarioItaliano();
    }

    void occurrencesOfToday_data()
    {
        QTest::addColumn<QString>("righe");
        QTest::addColumn<QStringList>("attesi"); // starts, "*" for all-day

        QTest::newRow("single timed") << "DTSTART:20260302T093000\r\nDTEND:20260302T100000\r\n"
                                      << QStringList{"03-02 09:30"};
        QTest::newRow("yesterday") << "DTSTART:20260301T093000\r\nDTEND:20260301T100000\r\n" << QStringList{};
        QTest::newRow("ended at midnight") << "DTSTART:20260301T230000\r\nDTEND:20260302T000000\r\n" << QStringList{};
        QTest::newRow("over midnight") << "DTSTART:20260301T230000\r\nDTEND:20260302T010000\r\n"
                                       << QStringList{"03-01 23:00"};
        QTest::newRow("all-day") << "DTSTART;VALUE=DATE:20260302\r\nDTEND;VALUE=DATE:20260303\r\n"
                                 << QStringList{"03-02 00:00*"};
        QTest::newRow("all-day without end") << "DTSTART;VALUE=DATE:20260302\r\n" << QStringList{"03-02 00:00*"};
        QTest::newRow("all-day ended yesterday") << "DTSTART;VALUE=DATE:20260301\r\nDTEND;VALUE=DATE:20260302\r\n"
                                                 << QStringList{};
        QTest::newRow("utc") << "DTSTART:20260302T080000Z\r\nDURATION:PT1H\r\n" << QStringList{"03-02 09:00"};
        QTest::newRow("zoned") << "DTSTART;TZID=America/New_York:20260302T040000\r\nDURATION:PT1H\r\n"
                               << QStringList{"03-02 10:00"};
        QTest::newRow("daily for a year") << "DTSTART:20250101T090000\r\nDTEND:20250101T091500\r\nRRULE:FREQ=DAILY\r\n"
                                          << QStringList{"03-02 09:00"};
        QTest::newRow("weekly on its Monday") << "DTSTART:20260105T100000\r\nRRULE:FREQ=WEEKLY\r\n"
                                              << QStringList{"03-02 10:00"};
        QTest::newRow("weekly on Tuesday") << "DTSTART:20260106T100000\r\nRRULE:FREQ=WEEKLY\r\n" << QStringList{};
        QTest::newRow("weekly by day") << "DTSTART:20260106T100000\r\nRRULE:FREQ=WEEKLY;BYDAY=MO,TU\r\n"
                                       << QStringList{"03-02 10:00"};
        QTest::newRow("monthly on the 2nd") << "DTSTART:20251102T080000\r\nRRULE:FREQ=MONTHLY\r\n"
                                            << QStringList{"03-02 08:00"};
        QTest::newRow("except today") << "DTSTART:20250101T090000\r\nRRULE:FREQ=DAILY\r\nEXDATE:20260302T090000\r\n"
                                      << QStringList{};
        QTest::newRow("count reaches today") << "DTSTART:20260228T090000\r\nRRULE:FREQ=DAILY;COUNT=3\r\n"
                                             << QStringList{"03-02 09:00"};
        QTest::newRow("count ends yesterday") << "DTSTART:20260228T090000\r\nRRULE:FREQ=DAILY;COUNT=2\r\n"
                                              << QStringList{};
        QTest::newRow("until yesterday") << "DTSTART:20250101T090000\r\nRRULE:FREQ=DAILY;UNTIL=20260301T235959\r\n"
                                         << QStringList{};
        QTest::newRow("twice a day") << "DTSTART:20260101T090000\r\nRRULE:FREQ=DAILY;BYHOUR=9,14\r\n"
                                     << QStringList{"03-02 09:00", "03-02 14:00"};
        QTest::newRow("extra date") << "DTSTART:20260101T090000\r\nRDATE:20260302T160000\r\n"
                                    << QStringList{"03-02 16:00"};
        QTest::newRow("nightly over midnight")
            << "DTSTART:20260101T230000\r\nDTEND:20260102T010000\r\nRRULE:FREQ=DAILY\r\n"
            << QStringList{"03-01 23:00", "03-02 23:00"};
        QTest::newRow("yearly all-day") << "DTSTART;VALUE=DATE:20000302\r\nRRULE:FREQ=YEARLY\r\n"
                                        << QStringList{"03-02 00:00*"};
        QTest::newRow("zoned daily") << "DTSTART;TZID=Europe/London:20250601T090000\r\nRRULE:FREQ=DAILY\r\n"
                                     << QStringList{"03-02 10:00"};
        // Walked from the window, not from a start centuries before it
        // (past the bound on occurrences a rule may walk), in the Gregorian
        // calendar all the way back: 1 March 1013 was a Monday.
        QTest::newRow("weekly since the year 1013") << "DTSTART:10130301T090000\r\nRRULE:FREQ=WEEKLY\r\n"
                                                    << QStringList{"03-02 09:00"};
        QTest::newRow("every twelve hours since the year 1013")
            << "DTSTART:10130302T090000\r\nDURATION:PT1H\r\nRRULE:FREQ=HOURLY;INTERVAL=12\r\n"
            << QStringList{"03-02 09:00", "03-02 21:00"};
    }
    void occurrencesOfToday()
    {
        QFETCH(QString, righe);
        QFETCH(QStringList, attesi);
        const QString cartella = nuovaCartella();
        scriviCalendario(cartella, "lavoro.ics", evento("e1", "Riunione", righe));
        ArchivioCalendario archivio(cartella);
        const auto l = archivio.impegni(alle(0, 0), alle(1, 0));
        QVERIFY(l.accesso);
        QCOMPARE(inizi(l.elementi), attesi);
        for (const auto& i : l.elementi)
            QCOMPARE(i.titolo, QStringLiteral("Riunione"));
    }

    void anOccurrenceMovedByItsOwnComponentReplacesTheRuleOne()
    {
        const QString cartella = nuovaCartella();
        scriviCalendario(cartella, "a.ics",
                         evento("s", "Standup", "DTSTART:20260101T090000\r\nRRULE:FREQ=DAILY\r\n")
                             + evento("s", "Standup spostato",
                                      "RECURRENCE-ID:20260302T090000\r\nDTSTART:20260302T113000\r\n"));
        ArchivioCalendario archivio(cartella);
        const auto l = archivio.impegni(alle(0, 0), alle(1, 0));
        QCOMPARE(inizi(l.elementi), QStringList{"03-02 11:30"});
        QCOMPARE(l.elementi[0].titolo, QStringLiteral("Standup spostato"));
    }

    // What the calendar tab lists and the next-appointment card announces
    // for files as calendar programs write them.
    void zonesAndCancellationsAsWriters_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QTime>("ora");
        QTest::addColumn<QStringList>("righe"); // "~" before a called-off event
        QTest::addColumn<QString>("prossimo");

        const auto cal = [](const QString& componenti, const QString& intestazione = {}) {
            return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Prova//IT\r\n" + intestazione + componenti
                + "END:VCALENDAR\r\n";
        };
        QTest::newRow("cancelled event")
            << cal(evento("a", "Riunione", "DTSTART:20260302T100500\r\nDTEND:20260302T110000\r\nSTATUS:CANCELLED\r\n"))
            << QTime(9, 55) << QStringList{"~10:05–11:00 Riunione"} << QString();
        QTest::newRow("cancelled occurrence")
            << cal(evento("s", "Standup", "DTSTART:20260101T090000\r\nDTEND:20260101T091500\r\nRRULE:FREQ=DAILY\r\n")
                   + evento("s", "Standup",
                            "RECURRENCE-ID:20260302T090000\r\nDTSTART:20260302T090000\r\n"
                            "DTEND:20260302T091500\r\nSTATUS:CANCELLED\r\n"))
            << QTime(8, 50) << QStringList{"~09:00–09:15 Standup"} << QString();
        QTest::newRow("Windows zone")
            << cal(evento("w", "Budget", "DTSTART;TZID=Eastern Standard Time:20260302T080000\r\nDURATION:PT1H\r\n"))
            << QTime(13, 50) << QStringList{"14:00–15:00 Budget"} << "Budget";
        QTest::newRow("unknown zone, calendar's zone")
            << cal(evento("x", "Call", "DTSTART;TZID=Customized Time Zone:20260302T080000\r\nDURATION:PT1H\r\n"),
                   "X-WR-TIMEZONE:America/New_York\r\n")
            << QTime(13, 50) << QStringList{"14:00–15:00 Call"} << "Call";
        QTest::newRow("unknown zone, calendar's zone by its Windows name")
            << cal(evento("x", "Call", "DTSTART;TZID=Fuso del cliente:20260302T080000\r\nDURATION:PT1H\r\n"),
                   "X-WR-TIMEZONE:Pacific Standard Time\r\n")
            << QTime(16, 50) << QStringList{"17:00–18:00 Call"} << "Call";
        QTest::newRow("nothing resolves: floating")
            << cal(evento("f", "Locale", "DTSTART;TZID=Ora di Marte:20260302T080000\r\nDURATION:PT1H\r\n"))
            << QTime(7, 50) << QStringList{"08:00–09:00 Locale"} << "Locale";
        // IANA zones without VTIMEZONE, a cancelled event before an open one,
        // a cancelled occurrence of a daily event.
        QTest::newRow("python3-icalendar") << QString::fromUtf8(leggiFile(HALVORA_CALENDARI_PROVA "/icalendar.ics"))
                                           << QTime(9, 58)
                                           << QStringList{"~09:00–09:15 Standup", "~10:10–11:00 Revisione",
                                                          "10:12–10:30 Caffè", "14:00–15:00 Call con New York"}
                                           << "Caffè";
        QTest::newRow("Outlook") << QString::fromUtf8(leggiFile(HALVORA_CALENDARI_PROVA "/outlook.ics")) << QTime(9, 55)
                                 << QStringList{"~10:05–11:00 Annullato: Riunione di reparto",
                                                "14:00–15:00 Budget trimestrale", "18:00–18:30 Punto con Seattle"}
                                 << QString();
    }
    void zonesAndCancellationsAsWriters()
    {
        QFETCH(QString, file);
        QFETCH(QTime, ora);
        QFETCH(QStringList, righe);
        QFETCH(QString, prossimo);
        const QString cartella = nuovaCartella();
        QDir().mkpath(cartella);
        QFile f(QDir(cartella).filePath("scaricato.ics"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(file.toUtf8());
        f.close();
        ArchivioCalendario archivio(cartella);
        auto l = archivio.impegni(alle(0, 0), alle(1, 0));
        Agenda::ordinaImpegni(l.elementi);
        QStringList mostrate;
        for (const Impegno& i : l.elementi)
            mostrate << (i.annullato ? "~" : "") + i.orario() + " " + i.titolo;
        QCOMPARE(mostrate, righe);
        const auto p = Agenda::prossimo(l.elementi, alle(0, ora.hour(), ora.minute()));
        QCOMPARE(p ? p->titolo : QString(), prossimo);
    }

    void fieldsOfEventsAndCalendars()
    {
        const QString cartella = nuovaCartella();
        scriviCalendario(cartella, "a.ics",
                         evento("e1", "Pranzo", "DTSTART:20260302T130000\r\nLOCATION:Trattoria\r\n")
                             + "BEGIN:VEVENT\r\nDTSTART:20260302T150000\r\nLOCATION:\r\nEND:VEVENT\r\n"
                             + evento("r", "Ogni giorno", "DTSTART:20260101T070000\r\nRRULE:FREQ=HOURLY;INTERVAL=12\r\n"),
                         "COLOR:tomato\r\n");
        scriviCalendario(cartella, "b.ics", evento("e2", "Palestra", "DTSTART:20260302T180000\r\n"));
        ArchivioCalendario archivio(cartella);
        const auto l = archivio.impegni(alle(0, 0), alle(1, 0));
        QCOMPARE(l.elementi.size(), 5);
        QCOMPARE(l.file.size(), 2);

        const Impegno& pranzo = l.elementi[0];
        QCOMPARE(pranzo.id, QStringLiteral("e1"));
        QCOMPARE(pranzo.luogo, std::optional<QString>(QStringLiteral("Trattoria")));
        QCOMPARE(pranzo.colore, QColor("tomato"));
        QCOMPARE(pranzo.fine, pranzo.inizio); // no end and no duration: a moment

        const Impegno& senzaNulla = l.elementi[1];
        QCOMPARE(senzaNulla.titolo, QStringLiteral("Impegno"));
        QCOMPARE(senzaNulla.luogo, std::nullopt);
        QVERIFY(!senzaNulla.id.isEmpty());
        QVERIFY(archivio.impegni(alle(0, 0), alle(1, 0)).elementi[1].id != senzaNulla.id);

        // Two occurrences of one event on the same day stay distinct rows.
        QVERIFY(l.elementi[2].id.startsWith("r/"));
        QVERIFY(l.elementi[2].id != l.elementi[3].id);

        QCOMPARE(l.elementi[4].colore, Colori::indaco()); // a calendar without colour
    }

    void openRemindersDueByTheLimit()
    {
        const QString cartella = nuovaCartella();
        scriviCalendario(cartella, "p.ics",
                         promemoria("ieri", "Ieri", "DUE:20260301T100000\r\n")
                             + promemoria("oggi", "Oggi", "DUE:20260302T170000\r\nRRULE:FREQ=WEEKLY\r\n")
                             + promemoria("domani", "Domani", "DUE:20260303T000000\r\n")
                             + promemoria("senza", "Senza data", "")
                             + promemoria("fatto", "Fatto", "DUE:20260302T080000\r\nSTATUS:COMPLETED\r\n")
                             + promemoria("annullato", "Annullato", "DUE:20260302T080000\r\nSTATUS:CANCELLED\r\n")
                             + promemoria("giorno", "Tutto oggi", "DUE;VALUE=DATE:20260302\r\n")
                             + "BEGIN:VTODO\r\nUID:anonimo\r\nDUE:20260302T120000\r\nEND:VTODO\r\n");
        ArchivioCalendario archivio(cartella);
        const auto l = archivio.promemoria(alle(1, 0));
        QCOMPARE(ids(l.elementi), (QStringList{"ieri", "oggi", "senza", "giorno", "anonimo"}));
        QCOMPARE(l.elementi[1].siRipete, true);
        QCOMPARE(l.elementi[0].siRipete, false);
        QCOMPARE(l.elementi[2].scadenza, std::nullopt);
        QCOMPARE(*l.elementi[3].scadenza, alle(0, 0));
        QCOMPARE(l.elementi[4].titolo, QStringLiteral("Promemoria"));
    }

    void aCreatedReminderReadsBackFromItsFile_data()
    {
        QTest::addColumn<int>("ripetizione");
        QTest::addColumn<int>("anticipo");
        QTest::addColumn<QString>("regola"); // empty: none
        QTest::newRow("weekly, 15 minutes before")
            << int(RipetizionePromemoria::ogniSettimana) << int(AnticipoAvviso::quindiciMinuti) << "FREQ=WEEKLY";
        QTest::newRow("once, a day before") << int(RipetizionePromemoria::mai) << int(AnticipoAvviso::unGiorno) << "";
        QTest::newRow("daily, on time") << int(RipetizionePromemoria::ogniGiorno) << int(AnticipoAvviso::allOraEsatta)
                                        << "FREQ=DAILY";
        QTest::newRow("yearly, an hour before")
            << int(RipetizionePromemoria::ogniAnno) << int(AnticipoAvviso::unOra) << "FREQ=YEARLY";
    }
    void aCreatedReminderReadsBackFromItsFile()
    {
        QFETCH(int, ripetizione);
        QFETCH(int, anticipo);
        QFETCH(QString, regola);
        const QString cartella = nuovaCartella();
        ArchivioCalendario archivio(cartella);
        const QDateTime scadenza = alle(0, 14, 37, 45);
        const int offset = Scelte::offset(AnticipoAvviso(anticipo));
        QCOMPARE(archivio.crea({"Chiamare Anna", scadenza, RipetizionePromemoria(ripetizione), offset}, alle(0, 9)),
                 EsitoCreazione(EsitoCreazione::Tipo::creato));

        const auto elenco = archivio.elencoPredefinito();
        QVERIFY(elenco);
        TodoLetto letto(*elenco);
        QVERIFY(letto.todo);
        QCOMPARE(QString::fromUtf8(icalcomponent_get_summary(letto.todo)), QStringLiteral("Chiamare Anna"));
        QCOMPARE(letto.scadenza(), alle(0, 14, 37)); // the seconds are dropped

        icalproperty* rrule = icalcomponent_get_first_property(letto.todo, ICAL_RRULE_PROPERTY);
        if (regola.isEmpty()) {
            QVERIFY(!rrule);
            QCOMPARE(letto.contaAllarmi(true), 1);
            QCOMPARE(letto.contaAllarmi(false), 0);
            // The alarm keeps the seconds of the chosen time.
            QCOMPARE(Ical::data(letto.primoTrigger().time), scadenza.addSecs(offset));
        } else {
            QVERIFY(rrule);
            auto r = icalproperty_get_rrule(rrule);
            char* testo = icalrecurrencetype_as_string_r(&r);
            QCOMPARE(QString::fromUtf8(testo), regola); // interval 1, no end
            free(testo);
            QCOMPARE(letto.contaAllarmi(true), 0);
            QCOMPARE(letto.contaAllarmi(false), 1);
            QCOMPARE(icaldurationtype_as_int(letto.primoTrigger().duration), offset);
            icalparameter* rel = icalproperty_get_first_parameter(letto.trigger(false), ICAL_RELATED_PARAMETER);
            QVERIFY(rel && icalparameter_get_related(rel) == ICAL_RELATED_END);
        }

        const auto l = archivio.promemoria(alle(1, 0));
        QCOMPARE(l.elementi.size(), 1);
        QCOMPARE(l.elementi[0].titolo, QStringLiteral("Chiamare Anna"));
        QCOMPARE(l.elementi[0].siRipete, !regola.isEmpty());
    }

    void creationFailuresWriteNothing()
    {
        const QString cartella = nuovaCartella();
        ArchivioFallibile archivio(cartella);
        QVERIFY(archivio.accesso()); // creates the folder and its default list
        const QString elenco = *archivio.elencoPredefinito();
        const NuovoPromemoria nuovo{"Latte", alle(0, 18), RipetizionePromemoria::mai, 0};

        archivio.fallisci = true;
        QCOMPARE(archivio.crea(nuovo, alle(0, 9)), EsitoCreazione::nonSalvato("disco pieno"));
        archivio.fallisci = false;

        // A default list we cannot parse is reported, never overwritten.
        QFile(elenco).remove();
        {
            QFile f(elenco);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("questo non è un calendario");
        }
        QCOMPARE(archivio.crea(nuovo, alle(0, 9)).tipo, EsitoCreazione::Tipo::nonSalvato);
        QCOMPARE(leggiFile(elenco), QByteArray("questo non è un calendario"));

        QSettings(QDir(cartella).filePath("archivio.ini"), QSettings::IniFormat).remove("elencoPredefinito");
        QCOMPARE(archivio.crea(nuovo, alle(0, 9)), EsitoCreazione(EsitoCreazione::Tipo::nessunElenco));
        // A setting that points outside the folder counts as none.
        archivio.impostaElencoPredefinito("../fuori.ics");
        QCOMPARE(archivio.crea(nuovo, alle(0, 9)), EsitoCreazione(EsitoCreazione::Tipo::nessunElenco));

        // A folder that cannot exist: no access, and nothing created.
        QFile ostacolo(radice.filePath("un-file"));
        QVERIFY(ostacolo.open(QIODevice::WriteOnly));
        ArchivioCalendario negato(radice.filePath("un-file/calendario"));
        QVERIFY(!negato.accesso());
        QCOMPARE(negato.crea(nuovo, alle(0, 9)), EsitoCreazione(EsitoCreazione::Tipo::accessoNegato));
        QVERIFY(!negato.impegni(alle(0, 0), alle(1, 0)).accesso);
    }

    void completingClosesAOneOffReminderAndAdvancesARepeatingOne()
    {
        const QString cartella = nuovaCartella();
        scriviCalendario(cartella, "p.ics",
                         promemoria("uno", "Una volta", "DUE:20260302T090000\r\n")
                             + promemoria("ogni", "Ogni giorno",
                                          "DTSTART:20260301T090000\r\nDUE:20260302T090000\r\nRRULE:FREQ=DAILY\r\n"
                                          "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:x\r\n"
                                          "TRIGGER;RELATED=END:-PT5M\r\nEND:VALARM\r\n")
                             + promemoria("due", "Due volte", "DUE:20260302T090000\r\nRRULE:FREQ=DAILY;COUNT=2\r\n")
                             + promemoria("ny", "Da New York",
                                          "DTSTART;TZID=Eastern Standard Time:20260301T080000\r\n"
                                          "DUE;TZID=Eastern Standard Time:20260302T080000\r\nRRULE:FREQ=DAILY\r\n"));
        ArchivioCalendario archivio(cartella);
        const QString file = QDir(cartella).filePath("p.ics");

        QCOMPARE(archivio.completa("uno", alle(0, 9, 5)).tipo, EsitoScrittura::Tipo::fatto);
        QCOMPARE(icalcomponent_get_status(TodoLetto(file, "uno").todo), ICAL_STATUS_COMPLETED);

        QCOMPARE(archivio.completa("ogni", alle(0, 9, 5)).tipo, EsitoScrittura::Tipo::fatto);
        {
            TodoLetto ogni(file, "ogni");
            QVERIFY(icalcomponent_get_status(ogni.todo) != ICAL_STATUS_COMPLETED);
            QCOMPARE(ogni.scadenza(), alle(1, 9));
            QCOMPARE(ogni.contaAllarmi(false), 1); // its alarm serves the next occurrence
        }
        // Snoozed today, then done: the next one is still at 09:00, not at the snoozed time.
        QCOMPARE(archivio.rimanda("ogni", alle(1, 9, 12, 30)).tipo, EsitoScrittura::Tipo::fatto);
        QCOMPARE(TodoLetto(file, "ogni").scadenza(), alle(1, 9, 12));
        QCOMPARE(archivio.completa("ogni", alle(1, 9, 20)).tipo, EsitoScrittura::Tipo::fatto);
        {
            TodoLetto ogni(file, "ogni");
            QCOMPARE(ogni.scadenza(), alle(2, 9));
            QCOMPARE(ogni.contaAllarmi(true), 0); // the snooze alarm is spent
            QCOMPARE(ogni.contaAllarmi(false), 1);
        }

        // A rule with two occurrences: the first completion advances, the second closes.
        archivio.completa("due", alle(0, 9, 5));
        QCOMPARE(TodoLetto(file, "due").scadenza(), alle(1, 9));
        QVERIFY(icalcomponent_get_status(TodoLetto(file, "due").todo) != ICAL_STATUS_COMPLETED);
        archivio.completa("due", alle(1, 9, 5));
        QCOMPARE(icalcomponent_get_status(TodoLetto(file, "due").todo), ICAL_STATUS_COMPLETED);

        // The next due time keeps its zone, written by a name other programs read.
        archivio.completa("ny", alle(0, 14, 5));
        QCOMPARE(TodoLetto(file, "ny").scadenza(), alle(1, 14));
        QVERIFY(leggiFile(file).contains("DUE;TZID=America/New_York:20260303T080000"));

        QCOMPARE(archivio.completa("sconosciuto", alle(0, 9)).tipo, EsitoScrittura::Tipo::nonTrovato);
        QCOMPARE(ids(archivio.promemoria(alle(1, 0)).elementi), QStringList{});
    }

    void snoozingMovesTheDueTimeAndItsAlarm()
    {
        const QString cartella = nuovaCartella();
        const QString allarme = "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:x\r\nTRIGGER;VALUE=DATE-TIME:20260302T080000Z"
                                "\r\nEND:VALARM\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:x\r\n"
                                "TRIGGER;RELATED=END:-PT15M\r\nEND:VALARM\r\n";
        scriviCalendario(cartella, "p.ics",
                         promemoria("uno", "Una volta", "DUE:20260302T090000\r\n" + allarme)
                             + promemoria("ogni", "Ogni settimana",
                                          "DTSTART:20260302T090000\r\nDUE:20260302T090000\r\nRRULE:FREQ=WEEKLY\r\n" + allarme));
        ArchivioCalendario archivio(cartella);
        const QString file = QDir(cartella).filePath("p.ics");
        const QDateTime quando = alle(0, 9, 10, 40);

        QCOMPARE(archivio.rimanda("uno", quando).tipo, EsitoScrittura::Tipo::fatto);
        TodoLetto uno(file, "uno");
        QCOMPARE(uno.scadenza(), alle(0, 9, 10));
        QCOMPARE(uno.contaAllarmi(true), 1);
        QCOMPARE(uno.contaAllarmi(false), 0);
        QCOMPARE(Ical::data(icalproperty_get_trigger(uno.trigger(true)).time), quando);

        QCOMPARE(archivio.rimanda("ogni", quando).tipo, EsitoScrittura::Tipo::fatto);
        TodoLetto ogni(file, "ogni");
        QCOMPARE(ogni.scadenza(), alle(0, 9, 10));
        QCOMPARE(ogni.contaAllarmi(true), 1);
        QCOMPARE(ogni.contaAllarmi(false), 1); // kept for the later occurrences
        QVERIFY(icalcomponent_get_first_property(ogni.todo, ICAL_RRULE_PROPERTY));

        QCOMPARE(archivio.rimanda("altro", quando).tipo, EsitoScrittura::Tipo::nonTrovato);
    }

    void aRewriteKeepsEveryCalendarOfTheFileAndNeverDropsALine()
    {
        const QString cartella = nuovaCartella();
        const QString file = QDir(cartella).filePath("p.ics");
        const QString calendario = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Prova//IT\r\n%1END:VCALENDAR\r\n";
        QDir().mkpath(cartella);
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write((calendario.arg(promemoria("a", "Primo", "DUE:20260302T090000\r\n"))
                     + calendario.arg(promemoria("b", "Secondo", "DUE:20260302T100000\r\n")))
                        .toUtf8());
        }
        ArchivioCalendario archivio(cartella);
        QCOMPARE(archivio.completa("a", alle(0, 9, 5)).tipo, EsitoScrittura::Tipo::fatto);
        QCOMPARE(Ical::calendari(TodoLetto(file).radice.get()).size(), 2);
        QCOMPARE(ids(archivio.promemoria(alle(1, 0)).elementi), QStringList{"b"});

        // A line libical cannot read would come back as an error note in its place.
        const QByteArray rotto = calendario.arg(promemoria("c", "Terzo", "DUE:20260302T090000\r\nDTSTART:2026\r\n"))
                                     .toUtf8();
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(rotto);
        }
        QCOMPARE(archivio.completa("c", alle(0, 9, 5)).tipo, EsitoScrittura::Tipo::nonSalvato);
        QCOMPARE(archivio.rimanda("c", alle(0, 10)).tipo, EsitoScrittura::Tipo::nonSalvato);
        archivio.impostaElencoPredefinito("p.ics");
        QCOMPARE(archivio.crea({"Latte", alle(0, 18), RipetizionePromemoria::mai, 0}, alle(0, 9)).tipo,
                 EsitoCreazione::Tipo::nonSalvato);
        QCOMPARE(leggiFile(file), rotto);
    }

    // What saves cut off by a kill left in the folder, at its first use: a
    // whole calendar newer than its file (or whose file is gone) takes its
    // place; one whose file changed since, or whose file is unknown, is kept
    // aside and told; a cut one goes.
    void leftoversOfCutOffSavesAreRecoveredOrKeptAside_data()
    {
        QTest::addColumn<QString>("nome");       // the leftover's name
        QTest::addColumn<bool>("intero");        // a whole calendar
        QTest::addColumn<int>("eta");            // seconds its file was saved after it (negative: before)
        QTest::addColumn<QString>("titolo");     // the reminder read from Promemoria.ics afterwards
        QTest::addColumn<QStringList>("aParte"); // names kept aside
        QTest::newRow("whole, its file older") << ".salvataggio-Ab12Cd.Promemoria.ics" << true << -60 << "Nuovo"
                                               << QStringList{};
        QTest::newRow("whole, its file gone") << ".salvataggio-Ab12Cd.Promemoria.ics" << true << 0 << "Nuovo"
                                              << QStringList{};
        QTest::newRow("whole, its file newer") << ".salvataggio-Ab12Cd.Promemoria.ics" << true << 60 << "Vecchio"
                                               << QStringList{"Promemoria.ics.recuperato"};
        QTest::newRow("whole, of no known file") << ".salvataggio-Ab12Cd" << true << -60 << "Vecchio"
                                                 << QStringList{"Promemoria.ics.recuperato"};
        QTest::newRow("cut") << ".salvataggio-Ab12Cd.Promemoria.ics" << false << -60 << "Vecchio" << QStringList{};
    }
    void leftoversOfCutOffSavesAreRecoveredOrKeptAside()
    {
        QFETCH(QString, nome);
        QFETCH(bool, intero);
        QFETCH(int, eta);
        QFETCH(QString, titolo);
        QFETCH(QStringList, aParte);
        const QString cartella = nuovaCartella();
        const QDir dir(cartella);
        scriviCalendario(cartella, nome, promemoria("p1", "Nuovo", "DUE:20260302T090000\r\n"));
        QByteArray avanzo = leggiFile(dir.filePath(nome));
        if (!intero) {
            avanzo.truncate(avanzo.size() - 20);
            QFile(dir.filePath(nome)).resize(avanzo.size());
        }
        if (QString(QTest::currentDataTag()) != QLatin1String("whole, its file gone")) {
            scriviCalendario(cartella, "Promemoria.ics", promemoria("p1", "Vecchio", "DUE:20260302T090000\r\n"));
            QFile f(dir.filePath("Promemoria.ics"));
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(QFileInfo(dir.filePath(nome)).lastModified().addSecs(eta),
                                  QFileDevice::FileModificationTime));
        }
        ArchivioCalendario archivio(cartella);
        const Lettura<Promemoria> l = archivio.promemoria(alle(1, 0));
        QCOMPARE(l.elementi.value(0).titolo, titolo);
        QStringList attesi;
        for (const QString& a : aParte)
            attesi << dir.filePath(a);
        QCOMPARE(l.messiDaParte, attesi);
        QCOMPARE(dir.entryList(QDir::Hidden | QDir::Files), QStringList{"Promemoria.ics"} + aParte);
        for (const QString& a : attesi)
            QCOMPARE(leggiFile(a), avanzo); // kept whole
        QVERIFY(archivio.promemoria(alle(1, 0)).messiDaParte.isEmpty()); // told once
    }

    void aFileChangedByAnotherProgramIsReadAgain()
    {
        const QString cartella = nuovaCartella();
        scriviCalendario(cartella, "a.ics", evento("e1", "Prima", "DTSTART:20260302T090000\r\n"));
        ArchivioCalendario archivio(cartella);
        QCOMPARE(archivio.impegni(alle(0, 0), alle(1, 0)).elementi[0].titolo, QStringLiteral("Prima"));
        // Same size, rewritten in place within the same second.
        scriviCalendario(cartella, "a.ics", evento("e1", "Dopo!", "DTSTART:20260302T090000\r\n"));
        QCOMPARE(archivio.impegni(alle(0, 0), alle(1, 0)).elementi[0].titolo, QStringLiteral("Dopo!"));
        QFile::remove(QDir(cartella).filePath("a.ics"));
        QVERIFY(archivio.impegni(alle(0, 0), alle(1, 0)).elementi.isEmpty());

        // A file that is not a calendar is skipped without hiding the others,
        // and read again once it is mended.
        scriviCalendario(cartella, "b.ics", evento("e2", "Buono", "DTSTART:20260302T100000\r\n"));
        QFile rotto(QDir(cartella).filePath("a.ics"));
        QVERIFY(rotto.open(QIODevice::WriteOnly));
        rotto.write("non è un calendario");
        rotto.close();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Calendario illeggibile: .*a\\.ics"));
        QCOMPARE(archivio.impegni(alle(0, 0), alle(1, 0)).elementi.size(), 1);
        QTest::failOnWarning(QRegularExpression("Calendario illeggibile")); // reported once only
        QCOMPARE(archivio.impegni(alle(0, 0), alle(1, 0)).elementi.size(), 1);
        QFile(QDir(cartella).filePath("a.ics")).resize(0);                     // empty: a calendar with nothing
        QCOMPARE(archivio.impegni(alle(0, 0), alle(1, 0)).elementi.size(), 1);
        scriviCalendario(cartella, "a.ics", evento("e1", "Di nuovo", "DTSTART:20260302T090000\r\n"));
        QCOMPARE(archivio.impegni(alle(0, 0), alle(1, 0)).elementi.size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestArchivioCalendario)
#include "tst_ArchivioCalendario.moc"
