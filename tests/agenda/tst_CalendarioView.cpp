#include "CalendarioManager.h"
#include "CalendarioView.h"
#include "CompositorePromemoria.h"
#include "CompositoreView.h"
#include "DettaturaVocale.h"
#include "ElencoAgenda.h"
#include "FakeAudio.h"
#include "FakeClock.h"
#include "Ical.h"
#include "SupportoAgenda.h"
#include "TestOutput.h"
#include "UserDefaults.h"

#include <QAction>
#include <QDateTimeEdit>
#include <QDesktopServices>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QLabel>
#include <QTest>
#include <QUrl>

using namespace Prova;
using Esito = DettaturaVocale::Esito;

namespace {

const QDate kOggi(2026, 3, 2);
QDateTime alle(int ora, int minuto = 0, int giorni = 0)
{
    return QDateTime(kOggi.addDays(giorni), QTime(ora, minuto), Qt::LocalTime);
}

// The dark notch behind the tab.
class Pannello final : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::black); }
};

// What the store holds of one reminder, read back from its file.
struct Scritto {
    QDateTime scadenza;
    QString regola;       // empty: does not repeat
    int anticipo = 0;     // seconds from the due time to the alarm
    int allarmi = 0;
};

std::optional<Scritto> leggiScritto(const QString& file, const QString& titolo)
{
    Ical::Componente radice = Ical::leggi(leggiFile(file));
    for (icalcomponent* t : Ical::componenti(radice.get(), ICAL_VTODO_COMPONENT)) {
        if (QString::fromUtf8(icalcomponent_get_summary(t)) != titolo)
            continue;
        Scritto s;
        s.scadenza = Ical::data(Ical::scadenza(t));
        if (icalproperty* r = icalcomponent_get_first_property(t, ICAL_RRULE_PROPERTY)) {
            auto regola = icalproperty_get_rrule(r);
            char* testo = icalrecurrencetype_as_string_r(&regola);
            s.regola = QString::fromUtf8(testo);
            free(testo);
        }
        for (icalcomponent* a = icalcomponent_get_first_component(t, ICAL_VALARM_COMPONENT); a;
             a = icalcomponent_get_next_component(t, ICAL_VALARM_COMPONENT)) {
            ++s.allarmi;
            const icaltriggertype trig =
                icalproperty_get_trigger(icalcomponent_get_first_property(a, ICAL_TRIGGER_PROPERTY));
            s.anticipo = icaltime_is_null_time(trig.time) ? icaldurationtype_as_int(trig.duration)
                                                           : int(s.scadenza.secsTo(Ical::data(trig.time)));
        }
        return s;
    }
    return std::nullopt;
}

} // namespace

// The calendar tab on a temporary store folder, the fake clock, the fake
// audio backend and a transcriber that answers when the test says.
class TestCalendarioView : public QObject {
    Q_OBJECT
    QTemporaryDir radice;
    int contatore = 0;
    QList<QUrl> aperti;

    struct Banco {
        FakeClock clock{alle(9)};
        UserDefaults impostazioni;
        std::shared_ptr<ArchivioFallibile> archivio;
        CodaArchivio* coda;
        CalendarioManager manager;
        FakeBackendAudio audio;
        QList<std::function<void(Esito)>> trascrizioni;
        DettaturaVocale::Trascrittore vero; // when set, the real recogniser answers
        Pannello pannello;
        CalendarioView* vista;

        Banco(const QString& cartella, const QString& ini, std::unique_ptr<CodaArchivio> c = std::make_unique<CodaThread>())
            : impostazioni(ini), archivio(std::make_shared<ArchivioFallibile>(cartella)), coda(c.get()),
              manager(clock, impostazioni, archivio, std::move(c))
        {
            auto dettatura = std::make_unique<DettaturaVocale>(
                audio, clock, impostazioni,
                [this](const QString& file, bool solo, std::function<void(Esito)> f) {
                    if (vero)
                        vero(file, solo, std::move(f));
                    else
                        trascrizioni.append(std::move(f));
                });
            pannello.resize(440, 389);
            vista = new CalendarioView(manager, clock, std::move(dettatura), &pannello);
            vista->setGeometry(pannello.rect());
            pannello.show();
            pannello.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&pannello));
            manager.avvia();
            svuota();
        }
        // Every job queued so far has run and its result is applied.
        void svuota()
        {
            for (int giro = 0; giro < 2; ++giro) {
                bool fatto = false;
                coda->accoda(
                    [&fatto] { QMetaObject::invokeMethod(qApp, [&fatto] { fatto = true; }, Qt::QueuedConnection); });
                QTRY_VERIFY_WITH_TIMEOUT(fatto, 5000);
            }
        }
        CompositorePromemoria& compositore() { return vista->compositore(); }
        QLineEdit* campo() { return vista->barra()->campo(); }
        void scrivi(const QString& testo)
        {
            campo()->clear();
            QTest::keyClicks(campo(), testo);
        }
        void invio()
        {
            QTest::keyClick(campo(), Qt::Key_Return);
            svuota();
        }
        std::optional<Scritto> scritto(const QString& titolo)
        {
            const auto elenco = archivio->elencoPredefinito();
            return elenco ? leggiScritto(*elenco, titolo) : std::nullopt;
        }
        QImage render(const QString& nome)
        {
            vista->completaAnimazioni();
            return salvaRender(pannello, nome);
        }
    };

    std::unique_ptr<Banco> banco(const QString& cartella = {})
    {
        ++contatore;
        return std::make_unique<Banco>(cartella.isEmpty() ? radice.filePath(QStringLiteral("cal%1").arg(contatore))
                                                           : cartella,
                                       radice.filePath(QStringLiteral("imp%1.ini").arg(contatore)));
    }
    QString cartellaNuova() { return radice.filePath(QStringLiteral("cal%1").arg(contatore + 1)); }

    static void trigger(QMenu* menu, const QString& testo)
    {
        for (QAction* a : menu->actions())
            if (a->text() == testo)
                return a->trigger();
        QFAIL(qPrintable(QStringLiteral("no item ") + testo));
    }
    static QStringList voci(QMenu* menu)
    {
        QStringList s;
        for (QAction* a : menu->actions())
            s << a->text();
        return s;
    }

public slots:
    void apri(const QUrl& url) { aperti.append(url); }

private slots:
    void initTestCase()
    {
        usaFusoDiProva();
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        QStandardPaths::setTestModeEnabled(true);
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "apri");
    }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    void todaysEventsThenRemindersInTheManagersOrder()
    {
        const QString cartella = cartellaNuova();
        scriviCalendario(cartella, "lavoro.ics",
                         evento("tardi", "Revisione del progetto con un titolo molto lungo che non ci sta in una riga",
                                "DTSTART:20260302T160000\r\nDTEND:20260302T170000\r\nLOCATION:Sala riunioni al terzo "
                                "piano dell'edificio principale\r\n")
                             + evento("ora", "Standup", "DTSTART:20260302T083000\r\nDTEND:20260302T093000\r\n")
                             + evento("via", "Pranzo", "DTSTART:20260302T083000\r\nDTEND:20260302T093000\r\n"
                                                       "STATUS:CANCELLED\r\n")
                             + evento("festa", "Compleanno", "DTSTART;VALUE=DATE:20260302\r\n"));
        scriviCalendario(cartella, "Promemoria.ics",
                         promemoria("sera", "Chiamare Anna", "DUE:20260302T180000\r\nRRULE:FREQ=WEEKLY\r\n")
                             + promemoria("presto", "Bollette", "DUE:20260302T080000\r\n")
                             + promemoria("senza", "Comprare il pane", ""));
        auto b = banco(cartella);
        QCOMPARE(b->vista->corpo(), CalendarioView::Corpo::elenco);
        ElencoAgenda* elenco = b->vista->elenco();
        QCOMPARE(ids(elenco->impegni()), (QStringList{"festa", "ora", "via", "tardi"}));
        QCOMPARE(ids(elenco->promemoria()), (QStringList{"presto", "sera", "senza"}));
        // Events above reminders, each row below the one before.
        QVERIFY(elenco->rettangoloImpegno(3).bottom() < elenco->rettangoloPromemoria(0).top());
        QVERIFY(elenco->rettangoloPromemoria(0).bottom() < elenco->rettangoloPromemoria(1).top());
        QCOMPARE(ElencoAgenda::testoScadenza(elenco->promemoria()[0], b->clock.now()),
                 std::optional<QString>(QStringLiteral("scaduto · 08:00")));
        QCOMPARE(ElencoAgenda::testoScadenza(elenco->promemoria()[1], b->clock.now()),
                 std::optional<QString>(QStringLiteral("18:00")));
        QCOMPARE(ElencoAgenda::testoScadenza(elenco->promemoria()[2], b->clock.now()), std::nullopt);
        b->render(QStringLiteral("calendario-elenco"));
    }

    void underWayAndOverdueAtTheirEdges_data()
    {
        QTest::addColumn<QDateTime>("inizio");
        QTest::addColumn<QDateTime>("fine");
        QTest::addColumn<bool>("annullato");
        QTest::addColumn<bool>("inCorso");
        QTest::newRow("started earlier, ends later") << alle(8) << alle(10) << false << true;
        QTest::newRow("ends exactly now") << alle(8) << alle(9) << false << false;
        QTest::newRow("starts exactly now") << alle(9) << alle(10) << false << true;
        QTest::newRow("later") << alle(9, 1) << alle(10) << false << false;
        QTest::newRow("all day") << kOggi.startOfDay() << kOggi.addDays(1).startOfDay() << false << true;
        QTest::newRow("called off") << alle(8) << alle(10) << true << false;
    }
    void underWayAndOverdueAtTheirEdges()
    {
        QFETCH(QDateTime, inizio);
        QFETCH(QDateTime, fine);
        QFETCH(bool, annullato);
        QFETCH(bool, inCorso);
        QCOMPARE(ElencoAgenda::inCorso(Impegno{"e", "E", inizio, fine, {}, false, {}, annullato}, alle(9)), inCorso);
        // A reminder due at the same moment as the start is overdue only when that is before now.
        QCOMPARE(ElencoAgenda::scaduto(Promemoria{"p", "P", inizio, false}, alle(9)), inizio < alle(9));
    }

    void tickingAReminderCompletesItInTheStore()
    {
        const QString cartella = cartellaNuova();
        scriviCalendario(cartella, "Promemoria.ics",
                         promemoria("a", "Bollette", "DUE:20260302T080000\r\n")
                             + promemoria("b", "Pane", "DUE:20260302T120000\r\n"));
        auto b = banco(cartella);
        ElencoAgenda* elenco = b->vista->elenco();
        QCOMPARE(ids(elenco->promemoria()), (QStringList{"a", "b"}));
        QTest::mouseClick(elenco, Qt::LeftButton, {}, elenco->cerchioPromemoria(1).center());
        b->svuota();
        QCOMPARE(ids(elenco->promemoria()), QStringList{"a"});
        ArchivioCalendario letto(cartella);
        QCOMPARE(ids(letto.promemoria(alle(0, 0, 1)).elementi), QStringList{"a"});
        // A click beside the circle completes nothing.
        QTest::mouseClick(elenco, Qt::LeftButton, {}, elenco->rettangoloPromemoria(0).center());
        b->svuota();
        QCOMPARE(ids(elenco->promemoria()), QStringList{"a"});
    }

    void whichBodyShows_data()
    {
        QTest::addColumn<bool>("negato");
        QTest::addColumn<bool>("promemoriaNegato");
        QTest::addColumn<bool>("niente");
        QTest::addColumn<int>("corpo");
        using C = CalendarioView::Corpo;
        QTest::newRow("both refused, rows held") << true << true << false << int(C::accesso);
        QTest::newRow("events refused") << true << false << false << int(C::elenco);
        QTest::newRow("reminders refused, nothing") << false << true << true << int(C::vuoto);
        QTest::newRow("nothing today") << false << false << true << int(C::vuoto);
        QTest::newRow("something today") << false << false << false << int(C::elenco);
    }
    void whichBodyShows()
    {
        QFETCH(bool, negato);
        QFETCH(bool, promemoriaNegato);
        QFETCH(bool, niente);
        QFETCH(int, corpo);
        QCOMPARE(int(CalendarioView::sceltaCorpo(negato, promemoriaNegato, niente)), corpo);
    }

    void aRefusedStoreShowsTheAccessFaceWhoseButtonOpensTheFolder()
    {
        // A path that cannot become a folder while a plain file is in the way.
        QFile ostacolo(radice.filePath(QStringLiteral("ostacolo")));
        QVERIFY(ostacolo.open(QIODevice::WriteOnly));
        ostacolo.close();
        auto b = banco(ostacolo.fileName() + QStringLiteral("/cal"));
        QCOMPARE(b->vista->corpo(), CalendarioView::Corpo::accesso);
        QVERIFY(b->vista->apriImpostazioni()->isVisible());
        b->render(QStringLiteral("calendario-accesso"));
        aperti.clear();
        QTest::mouseClick(b->vista->apriImpostazioni(), Qt::LeftButton);
        QCOMPARE(aperti, QList<QUrl>{QUrl::fromLocalFile(ostacolo.fileName() + QStringLiteral("/cal"))});
        QVERIFY(b->vista->avvisoImpostazioni()->isHidden());
        // Nothing on this computer opens it: the user is told so under the button.
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QTest::mouseClick(b->vista->apriImpostazioni(), Qt::LeftButton);
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "apri");
        QVERIFY(b->vista->avvisoImpostazioni()->isVisible());
        QCOMPARE(b->vista->avvisoImpostazioni()->text(), QStringLiteral("Nessuna app può aprire le impostazioni dei calendari"));
        b->render(QStringLiteral("calendario-accesso-senza-app"));

        auto vuoto = banco();
        QCOMPARE(vuoto->vista->corpo(), CalendarioView::Corpo::vuoto);
        vuoto->render(QStringLiteral("calendario-vuoto"));
    }

    void returnCreatesAOneTimeReminderInAQuarterOfAnHour()
    {
        auto b = banco();
        QVERIFY(!b->campo()->hasFocus()); // the tab opens without taking the keyboard
        QVERIFY(!b->compositore().scrivendo());
        // The panel's own choices do not apply to Return.
        QTest::mouseClick(b->vista->barra()->dettagli(), Qt::LeftButton);
        trigger(b->vista->pannelloDettagli()->menuRipetizione(), QStringLiteral("Ogni settimana"));
        trigger(b->vista->pannelloDettagli()->menuAnticipo(), QStringLiteral("Un'ora prima"));
        QTest::mouseClick(b->campo(), Qt::LeftButton);
        b->scrivi(QStringLiteral("Chiamare Anna"));
        QVERIFY(b->compositore().scrivendo());
        b->invio();
        const auto s = b->scritto(QStringLiteral("Chiamare Anna"));
        QVERIFY(s);
        QCOMPARE(s->scadenza, alle(9, 15));
        QCOMPARE(s->regola, QString());
        QCOMPARE(s->allarmi, 1);
        QCOMPARE(s->anticipo, 0);
        QCOMPARE(b->campo()->text(), QString());
        QVERIFY(!b->compositore().scrivendo());
        QCOMPARE(b->vista->elenco()->promemoria().size(), 1);
        QVERIFY(b->vista->pannelloDettagli()->isVisible()); // only a creation from the panel closes it
    }

    void theQuickMenuOffersItsDelaysInOrder()
    {
        auto b = banco();
        QMenu* menu = b->vista->barra()->menuRapido();
        QCOMPARE(voci(menu), (QStringList{"Fra 15 minuti", "Fra un'ora", "Stasera alle 18", "Domani alle 9"}));
        QVERIFY(!b->vista->barra()->rapido()->isEnabled());
        b->scrivi(QStringLiteral("Bollette"));
        QVERIFY(b->vista->barra()->rapido()->isEnabled());
        trigger(menu, QStringLiteral("Stasera alle 18"));
        b->svuota();
        const auto s = b->scritto(QStringLiteral("Bollette"));
        QVERIFY(s);
        QCOMPARE(s->scadenza, alle(18));
        QCOMPARE(s->regola, QString());
        QCOMPARE(s->anticipo, 0);
        QCOMPARE(b->campo()->text(), QString());
    }

    void theDetailsPanelCreatesWithItsDateRepetitionAndAlarm()
    {
        auto b = banco();
        b->clock.advance(3600); // the panel's date is taken when it opens, not when the tab was made
        QTest::mouseClick(b->vista->barra()->dettagli(), Qt::LeftButton);
        PannelloDettagli* d = b->vista->pannelloDettagli();
        QVERIFY(d->isVisible());
        QCOMPARE(b->compositore().scadenzaScelta(), alle(10, 15));
        QVERIFY(!d->crea()->isEnabled());
        b->scrivi(QStringLiteral("Dentista"));
        QVERIFY(d->crea()->isEnabled());
        QCOMPARE(b->compositore().testoCrea(), QStringLiteral("Crea per le 10:15"));

        d->quando()->setDateTime(alle(11, 30, 1));
        QCOMPARE(b->compositore().testoCrea(), QStringLiteral("Crea per il 3 mar alle 11:30"));
        QCOMPARE(voci(d->menuRipetizione()),
                 (QStringList{"Non si ripete", "Ogni giorno", "Ogni settimana", "Ogni mese", "Ogni anno"}));
        QCOMPARE(voci(d->menuAnticipo()), (QStringList{"All'ora esatta", "5 minuti prima", "15 minuti prima",
                                                       "Un'ora prima", "Un giorno prima"}));
        trigger(d->menuRipetizione(), QStringLiteral("Ogni settimana"));
        trigger(d->menuAnticipo(), QStringLiteral("Un'ora prima"));
        b->render(QStringLiteral("calendario-dettagli"));

        QTest::mouseClick(d->crea(), Qt::LeftButton);
        b->svuota();
        const auto s = b->scritto(QStringLiteral("Dentista"));
        QVERIFY(s);
        QCOMPARE(s->scadenza, alle(11, 30, 1));
        QCOMPARE(s->regola, QStringLiteral("FREQ=WEEKLY"));
        QCOMPARE(s->anticipo, -3600);
        // The panel leaves, and its choices start over.
        QVERIFY(d->isVisible());
        QTRY_VERIFY(!d->isVisible());
        QCOMPARE(b->compositore().ripetizione(), RipetizionePromemoria::mai);
        QCOMPARE(b->compositore().anticipo(), AnticipoAvviso::allOraEsatta);
        QCOMPARE(b->compositore().scadenzaScelta(), alle(10, 15));
        QCOMPARE(b->campo()->text(), QString());

        // Reopened later: 15 minutes from the new moment.
        b->clock.advance(600);
        QTest::mouseClick(b->vista->barra()->dettagli(), Qt::LeftButton);
        QCOMPARE(b->compositore().scadenzaScelta(), alle(10, 25));
    }

    void aFailedCreationKeepsEverythingAndSaysWhy()
    {
        auto b = banco();
        QTest::mouseClick(b->vista->barra()->dettagli(), Qt::LeftButton);
        trigger(b->vista->pannelloDettagli()->menuRipetizione(), QStringLiteral("Ogni giorno"));
        b->scrivi(QStringLiteral("Pane"));
        b->archivio->fallisci = true;
        QTest::mouseClick(b->vista->pannelloDettagli()->crea(), Qt::LeftButton);
        b->svuota();
        QCOMPARE(b->vista->erroreCreazione()->testo(), QStringLiteral("Promemoria non salvato: disco pieno"));
        QVERIFY(b->vista->erroreCreazione()->isVisible());
        QCOMPARE(b->campo()->text(), QStringLiteral("Pane"));
        QVERIFY(b->vista->pannelloDettagli()->isVisible());
        QCOMPARE(b->compositore().ripetizione(), RipetizionePromemoria::ogniGiorno);
        b->render(QStringLiteral("calendario-errore-creazione"));

        // Blanks: nothing is made, the blanks stay and the old message goes.
        b->archivio->fallisci = false;
        b->scrivi(QStringLiteral("   "));
        QVERIFY(!b->vista->barra()->rapido()->isEnabled());
        QVERIFY(!b->vista->pannelloDettagli()->crea()->isEnabled());
        b->invio();
        QCOMPARE(b->campo()->text(), QStringLiteral("   "));
        QVERIFY(!b->vista->erroreCreazione()->isVisible());
        QVERIFY(b->manager.promemoria().isEmpty());
    }

    void aSecondPressWhileTheStoreWorksMakesNoTwin()
    {
        FakeClock clock{alle(9)};
        UserDefaults impostazioni(radice.filePath(QStringLiteral("gemello.ini")));
        auto coda = std::make_unique<CodaManuale>();
        CodaManuale* manuale = coda.get();
        CalendarioManager manager(clock, impostazioni,
                                  std::make_shared<ArchivioCalendario>(radice.filePath(QStringLiteral("gemello"))),
                                  std::move(coda));
        manager.avvia();
        manuale->eseguiTutti();
        FakeBackendAudio audio;
        DettaturaVocale dettatura(audio, clock, impostazioni);
        CompositorePromemoria compositore(manager, clock, dettatura);
        compositore.setNuovoPromemoria(QStringLiteral("Pane"));
        compositore.creaRapido(QuandoRicordare::fraUnOra);
        compositore.creaRapido(QuandoRicordare::fraUnOra);
        QCOMPARE(manuale->lavori.size(), size_t(1));
        manuale->eseguiTutti();
        QTRY_COMPARE(compositore.nuovoPromemoria(), QString());
        // Answered: the next title goes through.
        compositore.setNuovoPromemoria(QStringLiteral("Latte"));
        manuale->eseguiTutti(); // the refresh after the creation
        compositore.creaRapido(QuandoRicordare::fraUnOra);
        QCOMPARE(manuale->lavori.size(), size_t(1));
    }

    void blankTitles_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<bool>("vuoto");
        QTest::newRow("empty") << "" << true;
        QTest::newRow("spaces and tabs") << " \t  " << true;
        QTest::newRow("a line break counts") << " \n " << false;
        QTest::newRow("words") << "  Pane " << false;
    }
    void blankTitles()
    {
        QFETCH(QString, testo);
        QFETCH(bool, vuoto);
        auto b = banco();
        b->compositore().setNuovoPromemoria(testo);
        QCOMPARE(b->compositore().testoVuoto(), vuoto);
    }

    void dictationFillsOrExtendsTheTitle()
    {
        auto b = banco();
        QAbstractButton* mic = b->vista->barra()->microfono();
        QCOMPARE(mic->toolTip(), QStringLiteral("Detta il promemoria"));
        QTest::mouseClick(mic, Qt::LeftButton);
        QVERIFY(b->vista->dettatura().inCorso());
        QCOMPARE(mic->toolTip(), QStringLiteral("Ferma e trascrivi"));
        b->render(QStringLiteral("calendario-dettatura"));
        QTest::mouseClick(mic, Qt::LeftButton);
        b->audio.registratori.last()->concludi(true);
        QVERIFY(!mic->isEnabled()); // transcribing
        b->render(QStringLiteral("calendario-trascrizione"));
        QCOMPARE(b->trascrizioni.size(), 1);
        b->trascrizioni[0]({Esito::Tipo::testo, QStringLiteral("comprare il latte")});
        QTRY_COMPARE(b->campo()->text(), QStringLiteral("comprare il latte"));
        QVERIFY(mic->isEnabled());

        // Typed meanwhile: the transcript comes after one space.
        QTest::mouseClick(mic, Qt::LeftButton);
        QTest::mouseClick(mic, Qt::LeftButton);
        b->audio.registratori.last()->concludi(true);
        b->scrivi(QStringLiteral("Ricorda:"));
        b->trascrizioni[1]({Esito::Tipo::testo, QStringLiteral("latte")});
        QTRY_COMPARE(b->campo()->text(), QStringLiteral("Ricorda: latte"));

        // A failure leaves the field alone and shows its message.
        QTest::mouseClick(mic, Qt::LeftButton);
        QTest::mouseClick(mic, Qt::LeftButton);
        b->audio.registratori.last()->concludi(true);
        b->trascrizioni[2]({Esito::Tipo::nonDisponibile, {}});
        QTRY_VERIFY(b->vista->erroreDettatura()->isVisible());
        QCOMPARE(b->vista->erroreDettatura()->testo(), QStringLiteral("Riconoscimento vocale non disponibile."));
        QCOMPARE(b->campo()->text(), QStringLiteral("Ricorda: latte"));
        b->render(QStringLiteral("calendario-errore-dettatura"));
    }

    void dictatedSpeechReachesTheField()
    {
        auto b = banco();
        TrascrittoreAudio riconoscitore;
        b->vero = riconoscitore.funzione();
        b->audio.audioRegistrato = QStringLiteral(HALVORA_AUDIO_PROVA "/frase.m4a");
        QAbstractButton* mic = b->vista->barra()->microfono();
        QTest::mouseClick(mic, Qt::LeftButton);
        const QString registrazione = b->vista->dettatura().file();
        QVERIFY(QFile::exists(registrazione));
        QTest::mouseClick(mic, Qt::LeftButton);
        b->audio.registratori.last()->concludi(true);
        QTRY_VERIFY_WITH_TIMEOUT(!b->campo()->text().isEmpty(), 60000);
        QVERIFY2(b->campo()->text().startsWith(QStringLiteral("remind me to call")), qPrintable(b->campo()->text()));
        QVERIFY(!b->vista->dettatura().inElaborazione());
        QVERIFY(!QFile::exists(registrazione));
        b->render(QStringLiteral("calendario-dettatura-riconosciuta"));
    }

    void theHeaderDateFollowsTheLocale_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("data");
        QTest::newRow("it") << QLocale(QLocale::Italian, QLocale::Italy) << QStringLiteral("lunedì 2 marzo");
        QTest::newRow("en") << QLocale(QLocale::English, QLocale::UnitedStates) << QStringLiteral("Monday, March 2");
        QTest::newRow("es") << QLocale(QLocale::Spanish, QLocale::Spain) << QStringLiteral("lunes, 2 de marzo");
    }
    void theHeaderDateFollowsTheLocale()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, data);
        QCOMPARE(CalendarioView::dataDiOggi(kOggi, locale), data);
    }
};

QTEST_MAIN(TestCalendarioView)
#include "tst_CalendarioView.moc"
