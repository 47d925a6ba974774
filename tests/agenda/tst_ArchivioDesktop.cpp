#include "ArchivioCalendario.h"
#include "ArchivioDesktop.h"
#include "ArchivioSistema.h"
#include "BusEds.h"
#include "CalendarioManager.h"
#include "FakeClock.h"
#include "Ical.h"
#include "SupportoAgenda.h"
#include "UserDefaults.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QSignalSpy>

using namespace Prova;

namespace {

const QDate kOggi(2026, 3, 2);
QDateTime alle(int ora, int minuto = 0, int secondo = 0) { return QDateTime(kOggi, QTime(ora, minuto, secondo), Qt::LocalTime); }

QString giorno(int scarto) { return icsData(kOggi.addDays(scarto)); }

const char* const kNewYork = "BEGIN:VTIMEZONE\r\nTZID:America/New_York\r\n"
                             "BEGIN:STANDARD\r\nDTSTART:19701101T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\r\n"
                             "TZOFFSETFROM:-0400\r\nTZOFFSETTO:-0500\r\nEND:STANDARD\r\n"
                             "BEGIN:DAYLIGHT\r\nDTSTART:19700308T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\r\n"
                             "TZOFFSETFROM:-0500\r\nTZOFFSETTO:-0400\r\nEND:DAYLIGHT\r\nEND:VTIMEZONE\r\n";

} // namespace

// The agenda on the desktop's calendar store: Evolution Data Server on a
// private bus, in a fresh home with its own "Personal" calendar and task
// list and sources added by writing the files it reads. Another program
// (client_eds, straight on libecal) writes and reads beside the manager.
class TestArchivioDesktop : public QObject {
    Q_OBJECT
    std::unique_ptr<BusEds> bus;
    QTemporaryDir radice;
    int contatore = 0;

    struct Banco {
        FakeClock clock;
        UserDefaults impostazioni;
        std::shared_ptr<ArchivioSistema> archivio;
        CodaArchivio* coda;
        std::unique_ptr<CalendarioManager> manager;
        Banco(const QString& cartella, const QString& ini, const QString& elenco)
            : clock(alle(9)), impostazioni(ini),
              archivio(std::make_shared<ArchivioSistema>(std::make_unique<ArchivioDesktop>(elenco),
                                                         std::make_unique<ArchivioCalendario>(cartella)))
        {
            auto c = std::make_unique<CodaThread>();
            coda = c.get();
            manager = std::make_unique<CalendarioManager>(clock, impostazioni, archivio, std::move(c));
            manager->avvia();
            svuota();
        }
        // Until every job queued so far has run and its result is applied.
        void svuota()
        {
            for (int giro = 0; giro < 2; ++giro) {
                bool fatto = false;
                coda->accoda([&fatto] { QMetaObject::invokeMethod(qApp, [&fatto] { fatto = true; }, Qt::QueuedConnection); });
                QTRY_VERIFY_WITH_TIMEOUT(fatto, 10000);
            }
        }
        std::optional<Promemoria> promemoria(const QString& titolo) const
        {
            for (const Promemoria& p : manager->promemoria())
                if (p.titolo == titolo)
                    return p;
            return std::nullopt;
        }
    };

    std::unique_ptr<Banco> banco(const QString& elenco = {}, QString cartella = {})
    {
        ++contatore;
        if (cartella.isEmpty())
            cartella = radice.filePath(QStringLiteral("cartella%1").arg(contatore));
        return std::make_unique<Banco>(cartella, radice.filePath(QStringLiteral("imp%1.ini").arg(contatore)), elenco);
    }

    static QString client(const QStringList& argomenti)
    {
        QProcess p;
        p.start(QStringLiteral(HALVORA_CLIENT_EDS), argomenti);
        p.waitForFinished(10000);
        if (p.exitCode() != 0)
            qWarning("client_eds: %s", p.readAllStandardError().constData());
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    void scrivi(const QString& sorgente, const QString& componenti)
    {
        QFile f(radice.filePath(QStringLiteral("scritto%1.ics").arg(++contatore)));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Prova//IT\r\n" + componenti + "END:VCALENDAR\r\n").toUtf8());
        f.close();
        client({"scrivi", sorgente, f.fileName()});
    }
    // An item as the other program reads it back.
    static Ical::Componente letto(const QString& sorgente, const QString& uid)
    {
        return Ical::Componente(icalcomponent_new_from_string(client({"leggi", sorgente, uid}).toUtf8().constData()));
    }
    static QDateTime scadenza(icalcomponent* todo)
    {
        icalproperty* due = icalcomponent_get_first_property(todo, ICAL_DUE_PROPERTY);
        icaltimetype t = icalproperty_get_due(due);
        icalparameter* tzid = icalproperty_get_first_parameter(due, ICAL_TZID_PARAMETER);
        t.zone = tzid ? icaltimezone_get_builtin_timezone(icalparameter_get_tzid(tzid)) : nullptr;
        return Ical::data(t);
    }
    static QString allarme(icalcomponent* todo)
    {
        icalcomponent* a = icalcomponent_get_first_component(todo, ICAL_VALARM_COMPONENT);
        return a ? QString::fromUtf8(icalproperty_as_ical_string(icalcomponent_get_first_property(a, ICAL_TRIGGER_PROPERTY)))
                       .trimmed()
                 : QString();
    }

private slots:
    void initTestCase()
    {
        usaFusoDiProva();
        usaOrarioItaliano();
        bus = std::make_unique<BusEds>();
        QVERIFY(bus->pronto());
        bus->scriviSorgente("lavoro", "[Data Source]\nDisplayName=Lavoro\nEnabled=true\nParent=local-stub\n\n"
                                      "[Calendar]\nBackendName=local\nColor=#e01b24\nSelected=true\n");
        bus->scriviSorgente("spesa", "[Data Source]\nDisplayName=Spesa\nEnabled=true\nParent=local-stub\n\n"
                                     "[Task List]\nBackendName=local\nColor=#2ec27e\nSelected=true\n");
        // A calendar its store cannot open: the others are shown all the same.
        bus->scriviSorgente("rotto", "[Data Source]\nDisplayName=Rotto\nEnabled=true\nParent=local-stub\n\n"
                                     "[Calendar]\nBackendName=inesistente\nSelected=true\n");
    }
    void cleanupTestCase() { bus.reset(); }

    void eventsAndRemindersOfEveryCalendarWithTheirColours()
    {
        scrivi("system-calendar",
               kNewYork + evento("standup", "Standup", "DTSTART:" + giorno(-7) + "T093000\r\nDTEND:" + giorno(-7) + "T094500\r\nRRULE:FREQ=DAILY\r\n")
                   + evento("ferie", "Ferie", "DTSTART;VALUE=DATE:" + giorno(0) + "\r\nDTEND;VALUE=DATE:" + giorno(1) + "\r\n")
                   + evento("ny", "New York", "DTSTART;TZID=America/New_York:" + giorno(0) + "T080000\r\nDTEND;TZID=America/New_York:" + giorno(0) + "T090000\r\n")
                   + evento("annullato", "Annullato", "STATUS:CANCELLED\r\nDTSTART:" + giorno(0) + "T150000\r\nDTEND:" + giorno(0) + "T160000\r\n")
                   + evento("ieri", "Ieri", "DTSTART:" + giorno(-1) + "T100000\r\nDTEND:" + giorno(-1) + "T110000\r\n"));
        scrivi("lavoro", evento("revisione", "Revisione", "DTSTART:" + giorno(0) + "T160000\r\nDTEND:" + giorno(0) + "T170000\r\nLOCATION:Sala 2\r\n"));
        scrivi("system-task-list",
               promemoria("anna", "Chiamare Anna", "DUE:" + giorno(0) + "T090000\r\n")
                   + promemoria("fatto", "Fatto", "DUE:" + giorno(0) + "T080000\r\nSTATUS:COMPLETED\r\nCOMPLETED:20260302T070000Z\r\n")
                   + promemoria("domani", "Domani", "DUE:" + giorno(1) + "T090000\r\n"));
        scrivi("spesa", promemoria("latte", "Latte", ""));
        // Reminders kept in the folder before the desktop's store was used are read too.
        const QString cartella = radice.filePath(QStringLiteral("cartella-vecchia"));
        scriviCalendario(cartella, "Promemoria.ics", promemoria("vecchio", "Vecchio", "DUE:" + giorno(0) + "T080000\r\n"));

        auto b = banco({}, cartella);
        const CalendarioManager& m = *b->manager;
        QVERIFY(!m.accessoNegato());
        QVERIFY(!m.accessoPromemoriaNegato());
        QCOMPARE(ids(m.impegniDiOggi()),
                 (QStringList{"ferie", "standup/" + alle(9, 30).toUTC().toString(Qt::ISODate), "ny", "annullato", "revisione"}));
        const auto& e = m.impegniDiOggi();
        QCOMPARE(e[0].orario(), QStringLiteral("tutto il giorno"));
        QCOMPARE(e[1].orario(), QString("09:30") + QChar(0x2013) + "09:45");
        QCOMPARE(e[2].inizio, alle(14)); // 08:00 in New York
        QVERIFY(e[3].annullato);
        QCOMPARE(e[4].luogo, std::optional<QString>("Sala 2"));
        QCOMPARE(e[4].colore, QColor("#e01b24"));
        QVERIFY(e[1].colore.isValid());
        QVERIFY(e[1].colore != e[4].colore);

        QCOMPARE(ids(m.promemoria()), (QStringList{"vecchio", "anna", "latte"}));
        QCOMPARE(m.daAvvisare()->id, QStringLiteral("anna"));
        QVERIFY(b->archivio->usaDesktop().value());
        // Only the services read are started: the contacts' birthdays would start the address book's.
        const QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
        QVERIFY(bus->isServiceRegistered(QStringLiteral("org.gnome.evolution.dataserver.Calendar8")));
        QVERIFY(!bus->isServiceRegistered(QStringLiteral("org.gnome.evolution.dataserver.AddressBook10")));
    }

    void aReminderMadeHereIsWhatAnotherClientReads()
    {
        auto b = banco();
        QList<EsitoCreazione> esiti;
        const auto registra = [&](const EsitoCreazione& e) { esiti.append(e); };
        b->manager->creaPromemoria("Bollette", alle(18, 30, 45), RipetizionePromemoria::ogniSettimana,
                                   AnticipoAvviso::quindiciMinuti, registra);
        b->svuota();
        QCOMPARE(esiti.value(0).tipo, EsitoCreazione::Tipo::creato);
        const auto bollette = b->promemoria("Bollette");
        QVERIFY(bollette && bollette->siRipete);

        Ical::Componente todo = letto("system-task-list", bollette->id);
        QVERIFY(todo);
        QCOMPARE(scadenza(todo.get()), alle(18, 30));
        icalrecurrencetype regola = icalproperty_get_rrule(icalcomponent_get_first_property(todo.get(), ICAL_RRULE_PROPERTY));
        QCOMPARE(icalrecurrencetype_as_string(&regola), "FREQ=WEEKLY");
        QCOMPARE(allarme(todo.get()), QStringLiteral("TRIGGER;RELATED=END:-PT15M"));

        // A list the settings name takes new reminders; a one-off one rings at its time.
        auto spesa = banco(QStringLiteral("Spesa"));
        spesa->manager->creaPromemoria("Pane", alle(18), RipetizionePromemoria::mai, AnticipoAvviso::allOraEsatta, registra);
        spesa->svuota();
        const auto pane = spesa->promemoria("Pane");
        QVERIFY(pane);
        todo = letto("spesa", pane->id);
        QVERIFY(todo);
        QCOMPARE(allarme(todo.get()), QStringLiteral("TRIGGER;VALUE=DATE-TIME:20260302T170000Z"));

        // Done, and snoozed: the other program sees both.
        spesa->manager->completaPromemoria(*pane);
        spesa->svuota();
        QVERIFY(!spesa->promemoria("Pane"));
        todo = letto("spesa", pane->id);
        QCOMPARE(icalcomponent_get_status(todo.get()), ICAL_STATUS_COMPLETED);

        QCOMPARE(b->manager->daAvvisare()->id, QStringLiteral("anna"));
        b->clock.advance(45);
        b->manager->rimandaDaAvvisare();
        b->svuota();
        QCOMPARE(b->manager->daAvvisare(), std::nullopt);
        todo = letto("system-task-list", "anna");
        QCOMPARE(scadenza(todo.get()), alle(9, 10));
        QCOMPARE(allarme(todo.get()), QStringLiteral("TRIGGER;VALUE=DATE-TIME:20260302T081045Z"));
    }

    void aChangeByAnotherProgramArrivesWithoutWaiting()
    {
        auto b = banco();
        QCOMPARE(b->manager->prossimo(), std::nullopt);
        scrivi("lavoro", evento("riunione", "Riunione", "DTSTART:" + giorno(0) + "T090900\r\nDTEND:" + giorno(0) + "T100000\r\n"));
        QTRY_VERIFY_WITH_TIMEOUT(b->manager->prossimo().has_value(), 5000);
        QCOMPARE(b->manager->prossimo()->id, QStringLiteral("riunione"));
        QCOMPARE(b->manager->prossimo()->colore, QColor("#e01b24"));
        scrivi("spesa", promemoria("uova", "Uova", ""));
        QTRY_VERIFY_WITH_TIMEOUT(b->promemoria("Uova").has_value(), 5000);
        QCOMPARE(b->clock.nextDue(), 30.0); // nothing of this waited for the 30 s refresh
    }

    // A store that stops answering (its processes stopped, as a hung one):
    // a write is cut short at its limit and says why, so the composer can
    // try again; a refresh keeps what was shown and says the store does not
    // answer; and the manager's end does not wait on the store.
    void aStoreThatStopsAnsweringIsCutShortAtItsLimit()
    {
        auto b = banco();
        QVERIFY(!b->manager->impegniDiOggi().isEmpty());
        const QList<Impegno> mostrati = b->manager->impegniDiOggi();
        bus->sospendi(true);
        auto riprendi = qScopeGuard([this] { bus->sospendi(false); });

        std::optional<EsitoCreazione> esito;
        b->manager->creaPromemoria("Pane", alle(18), RipetizionePromemoria::mai, AnticipoAvviso::allOraEsatta,
                                   [&](const EsitoCreazione& e) { esito = e; });
        b->manager->aggiornaTutto();
        QTest::qWait(500);
        QVERIFY(!esito); // the store holds them
        b->clock.advance(CalendarioManager::kLimiteArchivio);
        QTRY_VERIFY_WITH_TIMEOUT(esito.has_value() && b->manager->nonRisponde(), 5000);
        QCOMPARE(esito->messaggio(), std::optional<QString>("Promemoria non salvato: Il calendario non risponde."));
        QCOMPARE(b->manager->impegniDiOggi(), mostrati);
        QVERIFY(!b->manager->accessoNegato());

        QElapsedTimer fine;
        fine.start();
        b.reset();
        QCOMPARE_LT(fine.elapsed(), 2000);

        // Going on again, it answers the next run as before.
        riprendi.dismiss();
        bus->sospendi(false);
        auto dopo = banco();
        QVERIFY(!dopo->manager->nonRisponde());
        QCOMPARE(dopo->manager->impegniDiOggi().size(), mostrati.size());
    }

    // Last: the store leaves the bus for good.
    void withTheStoreGoneTheAccessStateShowsAndTheFolderIsUntouched()
    {
        auto b = banco();
        const QString cartella = b->archivio->cartella();
        QVERIFY(!b->manager->impegniDiOggi().isEmpty());
        QSignalSpy negato(b->manager.get(), &CalendarioManager::accessoNegatoChanged);

        bus->togliStore();
        QTRY_VERIFY_WITH_TIMEOUT(b->manager->accessoNegato() && b->manager->accessoPromemoriaNegato(), 5000);
        b->clock.advance(30);
        b->svuota();
        QVERIFY(b->manager->accessoNegato());
        QCOMPARE(negato.count(), 1);
        std::optional<EsitoCreazione> esito;
        b->manager->creaPromemoria("Pane", alle(18), RipetizionePromemoria::mai, AnticipoAvviso::allOraEsatta,
                                   [&](const EsitoCreazione& e) { esito = e; });
        b->svuota();
        QCOMPARE(esito->tipo, EsitoCreazione::Tipo::accessoNegato);
        QVERIFY(!QFileInfo::exists(cartella));

        // The next run finds no store on the bus and keeps to the folder.
        auto dopo = banco();
        QVERIFY(!dopo->archivio->usaDesktop().value());
        QVERIFY(!dopo->manager->accessoPromemoriaNegato());
        dopo->manager->creaPromemoria("Pane", alle(18), RipetizionePromemoria::mai, AnticipoAvviso::allOraEsatta);
        dopo->svuota();
        QVERIFY(dopo->promemoria("Pane"));
        QVERIFY(leggiFile(QDir(dopo->archivio->cartella()).filePath("Promemoria.ics")).contains("SUMMARY:Pane"));
    }
};

QTEST_MAIN(TestArchivioDesktop)
#include "tst_ArchivioDesktop.moc"
