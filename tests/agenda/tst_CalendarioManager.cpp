#include "CalendarioManager.h"
#include "FakeClock.h"
#include "SupportoAgenda.h"
#include "UserDefaults.h"

#include <QDesktopServices>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace Prova;

namespace {
const QDate kOggi(2026, 3, 2);
QDateTime alle(int ora, int minuto = 0, int secondo = 0)
{
    return QDateTime(kOggi, QTime(ora, minuto, secondo), Qt::LocalTime);
}
} // namespace

// The calendar model on a temporary store folder, with the fake clock. The
// store runs on a real worker thread unless a test needs to order its jobs.
class TestCalendarioManager : public QObject {
    Q_OBJECT
    QTemporaryDir radice;
    int contatore = 0;
    QString cartella;
    std::unique_ptr<UserDefaults> impostazioni;
    QList<QUrl> aperti;

    struct Banco {
        FakeClock clock;
        std::shared_ptr<ArchivioFallibile> archivio;
        CodaArchivio* coda = nullptr;
        std::unique_ptr<CalendarioManager> manager;
        Banco(const QString& cartella, UserDefaults& impostazioni, const QDateTime& inizio,
              std::unique_ptr<CodaArchivio> c = std::make_unique<CodaThread>())
            : clock(inizio), archivio(std::make_shared<ArchivioFallibile>(cartella)), coda(c.get()),
              manager(std::make_unique<CalendarioManager>(clock, impostazioni, archivio, std::move(c)))
        {
        }
        // Waits until every job queued so far has run and posted its result,
        // and those results are applied (twice: a result may queue a refresh).
        void svuota()
        {
            for (int giro = 0; giro < 2; ++giro) {
                bool fatto = false;
                coda->accoda([&fatto] { QMetaObject::invokeMethod(qApp, [&fatto] { fatto = true; }, Qt::QueuedConnection); });
                QTRY_VERIFY_WITH_TIMEOUT(fatto, 5000);
            }
        }
        void avanza(double secondi)
        {
            clock.advance(secondi);
            svuota();
        }
    };

public slots:
    void apri(const QUrl& url) { aperti.append(url); }

private slots:
    void initTestCase()
    {
        Prova::usaFusoDiProva();
        Prova::usaOrarioItaliano();
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "apri");
    }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    void init()
    {
        cartella = radice.filePath(QStringLiteral("cal%1").arg(++contatore));
        impostazioni = std::make_unique<UserDefaults>(radice.filePath(QStringLiteral("imp%1.ini").arg(contatore)));
    }

    void todaysEventsInOrderWithTheirTimeTexts()
    {
        scriviCalendario(cartella, "lavoro.ics",
                         evento("tardi", "Revisione", "DTSTART:20260302T160000\r\nDTEND:20260302T170000\r\n")
                             + evento("ogni", "Standup", "DTSTART:20260101T093000\r\nDTEND:20260101T094500\r\nRRULE:FREQ=DAILY\r\n")
                             + evento("ieri", "Ieri", "DTSTART:20260301T100000\r\n"));
        scriviCalendario(cartella, "casa.ics", evento("festa", "Compleanno", "DTSTART;VALUE=DATE:20260302\r\n"));
        Banco b(cartella, *impostazioni, alle(9));
        QVERIFY(!b.manager->attivo());
        b.manager->avvia();
        b.svuota();

        const auto& l = b.manager->impegniDiOggi();
        QCOMPARE(ids(l).size(), 3);
        QCOMPARE(l[0].titolo, QStringLiteral("Compleanno"));
        QCOMPARE(l[0].orario(), QStringLiteral("tutto il giorno"));
        QCOMPARE(l[1].titolo, QStringLiteral("Standup"));
        QCOMPARE(l[1].orario(), QString("09:30") + QChar(0x2013) + "09:45");
        QCOMPARE(l[2].orario(), QString("16:00") + QChar(0x2013) + "17:00");
        QCOMPARE(b.manager->prossimo(), std::nullopt); // 1800 s ahead
        QCOMPARE(impostazioni->boolValue("calendario.giaUsato", false), true);
    }

    void theNextEventComesWithinFifteenMinutes_data()
    {
        QTest::addColumn<int>("anticipo");
        QTest::addColumn<bool>("prossimo");
        QTest::newRow("900 s") << 900 << true;
        QTest::newRow("901 s") << 901 << false;
    }
    void theNextEventComesWithinFifteenMinutes()
    {
        QFETCH(int, anticipo);
        QFETCH(bool, prossimo);
        scriviCalendario(cartella, "a.ics",
                         evento("e", "Dentista", "DTSTART:20260302T091500\r\nLOCATION:Via Roma 3\r\n")
                             + evento("g", "Ferie", "DTSTART;VALUE=DATE:20260302\r\n"));
        Banco b(cartella, *impostazioni, alle(9, 15).addSecs(-anticipo));
        QSignalSpy cambi(b.manager.get(), &CalendarioManager::prossimoChanged);
        b.manager->avvia();
        b.svuota();
        QCOMPARE(b.manager->prossimo().has_value(), prossimo);
        if (prossimo) {
            QCOMPARE(b.manager->prossimo()->luogo, std::optional<QString>("Via Roma 3"));
            QCOMPARE(cambi.count(), 1);
        }
        // The 30 s refresh moves it in, and never republishes an unchanged one.
        b.avanza(30);
        QVERIFY(b.manager->prossimo().has_value());
        b.avanza(30);
        QCOMPARE(cambi.count(), 1);
        // Once started it is no longer the next one.
        b.avanza(900);
        QCOMPARE(b.manager->prossimo(), std::nullopt);
    }

    void aDueReminderIsAnnouncedOnceAndAgainAfterASnooze()
    {
        scriviCalendario(cartella, "Promemoria.ics",
                         promemoria("p", "Chiamare Anna", "DUE:20260302T090000\r\n")
                             + promemoria("vecchio", "Ieri", "DUE:20260301T090000\r\n")
                             + promemoria("dopo", "Dopo", "DUE:20260302T090200\r\n"));
        Banco b(cartella, *impostazioni, alle(9, 0, 0));
        QSignalSpy annunci(b.manager.get(), &CalendarioManager::daAvvisareChanged);
        b.manager->avvia();
        b.svuota();
        QCOMPARE(ids(b.manager->promemoria()), (QStringList{"vecchio", "p", "dopo"}));
        QVERIFY(b.manager->daAvvisare());
        QCOMPARE(b.manager->daAvvisare()->id, QStringLiteral("p"));

        // While the card shows, "dopo" falls due but waits.
        b.avanza(150);
        QCOMPARE(b.manager->daAvvisare()->id, QStringLiteral("p"));

        b.manager->rimandaDaAvvisare();
        b.svuota();
        QCOMPARE(b.manager->daAvvisare()->id, QStringLiteral("dopo")); // the next due one takes the card
        b.manager->setDaAvvisare(std::nullopt);                       // the shell drops it
        b.avanza(30);
        QCOMPARE(b.manager->daAvvisare(), std::nullopt); // announced once only

        // Snoozed at 09:02:30: due again at 09:12:00 (the minute of +600 s).
        b.avanza(510); // 09:11:30
        QCOMPARE(b.manager->daAvvisare(), std::nullopt);
        b.avanza(30);  // 09:12:00
        QVERIFY(b.manager->daAvvisare());
        QCOMPARE(b.manager->daAvvisare()->id, QStringLiteral("p"));
        QCOMPARE(*b.manager->daAvvisare()->scadenza, alle(9, 12));
        QCOMPARE(annunci.count(), 5); // p, cleared, dopo, cleared, p
    }

    void anEditByAnotherProgramIsPickedUp()
    {
        scriviCalendario(cartella, "a.ics", evento("e1", "Uno", "DTSTART:20260302T100000\r\n"));
        Banco b(cartella, *impostazioni, alle(9));
        b.manager->avvia();
        b.svuota();
        QCOMPARE(b.manager->impegniDiOggi().size(), 1);

        scriviCalendario(cartella, "a.ics",
                         evento("e1", "Uno", "DTSTART:20260302T100000\r\n") + evento("e2", "Due", "DTSTART:20260302T110000\r\n"));
        QTRY_COMPARE_WITH_TIMEOUT(b.manager->impegniDiOggi().size(), 2, 5000);
        // A new calendar file in the folder, then a reminder added to it.
        scriviCalendario(cartella, "b.ics", evento("e3", "Tre", "DTSTART:20260302T120000\r\n"));
        QTRY_COMPARE_WITH_TIMEOUT(b.manager->impegniDiOggi().size(), 3, 5000);
        scriviCalendario(cartella, "b.ics",
                         evento("e3", "Tre", "DTSTART:20260302T120000\r\n") + promemoria("n", "Nuovo", "DUE:20260302T200000\r\n"));
        QTRY_COMPARE_WITH_TIMEOUT(b.manager->promemoria().size(), 1, 5000);
        QCOMPARE(b.clock.nextDue(), 30.0); // nothing of this needed the 30 s timer
    }

    void anOlderRefreshNeverReplacesANewerOne()
    {
        auto coda = std::make_unique<CodaManuale>();
        CodaManuale* manuale = coda.get();
        Banco b(cartella, *impostazioni, alle(9), std::move(coda));
        b.manager->avvia();
        QCOMPARE(manuale->lavori.size(), size_t(2)); // events, reminders
        scriviCalendario(cartella, "a.ics", evento("e1", "Nuovo", "DTSTART:20260302T100000\r\n"));
        b.manager->aggiornaImpegni(); // a newer refresh of the events

        manuale->esegui(2); // the newer one finishes first and sees the event
        QCoreApplication::processEvents();
        QCOMPARE(b.manager->impegniDiOggi().size(), 1);

        QFile::remove(QDir(cartella).filePath("a.ics"));
        manuale->esegui(0); // the older one reads an empty folder, too late
        QCoreApplication::processEvents();
        QCOMPARE(b.manager->impegniDiOggi().size(), 1);
        manuale->eseguiTutti();
        QCoreApplication::processEvents();
    }

    void accessIsReadAgainAtEveryRefresh()
    {
        // A path that cannot become a folder while a plain file is in the way.
        const QString ostacolo = radice.filePath(QStringLiteral("ostacolo%1").arg(contatore));
        QFile f(ostacolo);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        const QString negata = ostacolo + "/calendario";
        Banco b(negata, *impostazioni, alle(9));
        b.manager->avvia();
        b.svuota();
        QVERIFY(b.manager->accessoNegato());
        QVERIFY(b.manager->accessoPromemoriaNegato());

        QVERIFY(QFile::remove(ostacolo));
        scriviCalendario(negata, "a.ics", evento("e", "Visibile", "DTSTART:20260302T100000\r\n"));
        b.avanza(30);
        QVERIFY(!b.manager->accessoNegato());
        QVERIFY(!b.manager->accessoPromemoriaNegato());
        QCOMPARE(b.manager->impegniDiOggi().size(), 1);
    }

    void creationOutcomesAndTheirTexts()
    {
        Banco b(cartella, *impostazioni, alle(9));
        QList<EsitoCreazione> esiti;
        const auto registra = [&](const EsitoCreazione& e) { esiti.append(e); };
        const QDateTime scadenza = alle(18);

        // Creating starts the manager; blanks only: nothing written, no text.
        b.manager->creaPromemoria(" \n\t ", scadenza, RipetizionePromemoria::mai, AnticipoAvviso::allOraEsatta, registra);
        QVERIFY(b.manager->attivo());
        QCOMPARE(esiti.size(), 1);
        QCOMPARE(esiti[0].tipo, EsitoCreazione::Tipo::titoloVuoto);
        QCOMPARE(esiti[0].messaggio(), std::nullopt);

        b.manager->creaPromemoria("  Comprare il latte \n", scadenza, RipetizionePromemoria::mai,
                                  AnticipoAvviso::allOraEsatta, registra);
        b.svuota();
        QCOMPARE(esiti.size(), 2);
        QCOMPARE(esiti[1].tipo, EsitoCreazione::Tipo::creato);
        QCOMPARE(b.manager->promemoria().size(), 1);
        QCOMPARE(b.manager->promemoria()[0].titolo, QStringLiteral("Comprare il latte"));

        b.archivio->fallisci = true;
        b.manager->creaPromemoria("Pane", scadenza, RipetizionePromemoria::mai, AnticipoAvviso::allOraEsatta, registra);
        b.svuota();
        QCOMPARE(esiti[2].messaggio(), std::optional<QString>("Promemoria non salvato: disco pieno"));
        b.archivio->fallisci = false;

        QSettings(QDir(cartella).filePath("archivio.ini"), QSettings::IniFormat).remove("elencoPredefinito");
        b.manager->creaPromemoria("Pane", scadenza, RipetizionePromemoria::mai, AnticipoAvviso::allOraEsatta, registra);
        b.svuota();
        QCOMPARE(esiti[3].messaggio(), std::optional<QString>("Nessun elenco predefinito nell'app Promemoria."));
        QCOMPARE(b.manager->promemoria().size(), 1);

        QFile ostacolo(radice.filePath("ostacolo-crea"));
        QVERIFY(ostacolo.open(QIODevice::WriteOnly));
        Banco negato(ostacolo.fileName() + "/cal", *impostazioni, alle(9));
        negato.manager->creaPromemoria("Pane", scadenza, RipetizionePromemoria::mai, AnticipoAvviso::allOraEsatta, registra);
        negato.svuota();
        QCOMPARE(esiti[4].messaggio(), std::optional<QString>("Accesso ai Promemoria non concesso."));
    }

    // A failed "Fatto" or "Dopo" keeps the card and says why, by the
    // reminder, until that reminder's next action succeeds.
    void aFailedCardActionKeepsTheCardAndSaysWhy_data()
    {
        QTest::addColumn<bool>("rimanda");
        QTest::addColumn<QString>("messaggio");
        QTest::newRow("done") << false << "Non completato: disco pieno";
        QTest::newRow("later") << true << "Non rimandato: disco pieno";
    }
    void aFailedCardActionKeepsTheCardAndSaysWhy()
    {
        QFETCH(bool, rimanda);
        QFETCH(QString, messaggio);
        scriviCalendario(cartella, "Promemoria.ics", promemoria("p", "Bollette", "DUE:20260302T085900\r\n"));
        Banco b(cartella, *impostazioni, alle(9));
        QSignalSpy errori(b.manager.get(), &CalendarioManager::operazioneFallita);
        b.manager->avvia();
        b.svuota();
        QVERIFY(b.manager->daAvvisare());
        const auto azione = [&] { rimanda ? b.manager->rimandaDaAvvisare() : b.manager->completaDaAvvisare(); };

        b.archivio->fallisci = true;
        azione();
        b.svuota();
        QVERIFY(b.manager->daAvvisare());
        QCOMPARE(b.manager->promemoria().size(), 1);
        QCOMPARE(errori.count(), 1);
        QCOMPARE(b.manager->erroreDi("p"), messaggio);

        b.archivio->fallisci = false;
        azione();
        b.svuota();
        QCOMPARE(b.manager->daAvvisare(), std::nullopt);
        QCOMPARE(b.manager->erroreDi("p"), QString());
        QCOMPARE(errori.count(), 1);
    }

    void cardActionsOnAReminderDeletedElsewhere()
    {
        scriviCalendario(cartella, "Promemoria.ics", promemoria("p", "Bollette", "DUE:20260302T085900\r\n"));
        auto coda = std::make_unique<CodaManuale>();
        CodaManuale* manuale = coda.get();
        Banco b(cartella, *impostazioni, alle(9), std::move(coda));
        b.manager->avvia();
        manuale->eseguiTutti();
        QCoreApplication::processEvents();
        QVERIFY(b.manager->daAvvisare());

        scriviCalendario(cartella, "Promemoria.ics", QString());
        b.manager->rimandaDaAvvisare();
        b.manager->rimandaDaAvvisare(); // a second press while the first is saved does nothing
        b.manager->completaDaAvvisare();
        QCOMPARE(manuale->lavori.size(), size_t(1));
        manuale->eseguiTutti();
        QCoreApplication::processEvents();
        QVERIFY(b.manager->daAvvisare()); // snoozing what is gone leaves the card

        b.manager->completaDaAvvisare();
        manuale->eseguiTutti();
        QCoreApplication::processEvents();
        QCOMPARE(b.manager->daAvvisare(), std::nullopt); // done clears it
    }

    void startsByItselfOnceUsedAndOnlyOnce()
    {
        impostazioni->setValue("calendario.giaUsato", true);
        Banco b(cartella, *impostazioni, alle(9));
        QVERIFY(b.manager->attivo());
        b.manager->avvia();
        b.manager->avvia();
        b.svuota();
        QCOMPARE(b.clock.pending(), 1); // one 30 s timer, once the reads are back within their limits
        // The store folder was created with its default list.
        QVERIFY(b.archivio->elencoPredefinito().has_value());

        b.manager->apriImpostazioniPrivacy();
        QCOMPARE(aperti, QList<QUrl>{QUrl::fromLocalFile(cartella)});
    }
};

QTEST_MAIN(TestCalendarioManager)
#include "tst_CalendarioManager.moc"
