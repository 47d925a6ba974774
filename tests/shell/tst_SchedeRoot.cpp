#include "ArchivioCalendario.h"
#include "AttivitaManager.h"
#include "CalendarioManager.h"
#include "FakeAudio.h"
#include "FakeClock.h"
#include "FakeNotifiche.h"
#include "ImpegnoCardView.h"
#include "NotchStateManager.h"
#include "PomodoroManager.h"
#include "PromemoriaCardView.h"
#include "RegistrazioneCardView.h"
#include "RootNotchView.h"
#include "SettingsManager.h"
#include "SlotScheda.h"
#include "SuonoAllarme.h"
#include "SupportoAgenda.h"
#include "TestOutput.h"
#include "TimerCardView.h"
#include "UserDefaults.h"
#include "VistaAreaScheda.h"
#include "VoiceManager.h"
#include "X11Desktop.h"
#include "SuonoMuto.h"

#include <QDir>
#include <QGraphicsOpacityEffect>
#include <QPointer>
#include <QPropertyAnimation>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// The agenda and recording cards in the root view's slot, with the real
// managers on fakes: a calendar folder of their own, silent audio, the
// fake clock (09:00 on 2 March 2026).
class TestSchedeRoot : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    struct Banco {
        FakeClock clock;
        NotchStateManager stato{clock};
        AttivitaManager attivita{clock};
        UserDefaults impostazioni;
        X11Desktop desktop;
        FakeBackendAudio audio;
        FakeNotifiche notifiche;
        SuonoMuto suono;
        QString cartella;
        std::unique_ptr<RootNotchView> root;

        Banco(const QString& radice) : impostazioni(radice + QStringLiteral(".ini")), cartella(radice + QStringLiteral("/cal"))
        {
            FabbricaManager f;
            f.voice = [this, radice] { return std::make_unique<VoiceManager>(audio, clock, radice + QStringLiteral("/doc")); };
            f.pomodoro = [this] { return std::make_unique<PomodoroManager>(clock, notifiche, suono); };
            f.calendario = [this] {
                return std::make_unique<CalendarioManager>(clock, impostazioni,
                                                           std::make_shared<ArchivioCalendario>(cartella));
            };
            root = std::make_unique<RootNotchView>(
                stato, attivita, QSize(800, 600),
                RootNotchView::Servizi{clock, impostazioni, desktop, NotchGeometry::Posizione::corrente(), {},
                                       std::move(f)});
            root->setGeometry(0, 0, 800, 600);
            stato.setHaTaccaFisica(false);
        }
        PomodoroManager& pomodoro() { return *root->pomodoroManager(); }
        CalendarioManager& calendario() { return *root->calendarioManager(); }
        VoiceManager& voce() { return *root->voiceManager(); }
        QWidget* scheda() { return root->slot()->scheda(); }
        // A countdown of `secondi` that is running.
        void avviaTimer(int secondi)
        {
            pomodoro().setCurrentMode(TimerMode::custom);
            pomodoro().setCustomMinutes(0);
            pomodoro().setCustomSeconds(secondi);
            pomodoro().startTimer();
        }
        void avviaCalendario(const QString& componenti)
        {
            Prova::scriviCalendario(cartella, QStringLiteral("prova.ics"), componenti);
            calendario().avvia();
        }
        void render(const QString& nome)
        {
            root->completaAnimazioni();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the card that left
            salvaSuFondo(*root, QRect(0, 0, 800, 160), QColor(128, 128, 128), nome);
        }
    };

    std::unique_ptr<Banco> banco()
    {
        static int n = 0;
        return std::make_unique<Banco>(dir.filePath(QStringLiteral("b%1").arg(++n)));
    }

    // Wake-ups so far of each of Qt's pooled threads, by thread id.
    static QMap<QString, qint64> risvegliInPool()
    {
        QMap<QString, qint64> m;
        const QDir task(QStringLiteral("/proc/self/task"));
        for (const QString& t : task.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile nome(task.filePath(t + QStringLiteral("/comm"))), stato(task.filePath(t + QStringLiteral("/status")));
            if (!nome.open(QIODevice::ReadOnly) || nome.readAll().trimmed() != "Thread (pooled)"
                || !stato.open(QIODevice::ReadOnly))
                continue;
            for (const QByteArray& r : stato.readAll().split('\n'))
                if (r.startsWith("voluntary_ctxt_switches:"))
                    m[t] = r.mid(24).trimmed().toLongLong();
        }
        return m;
    }
    // No pooled thread woke since `prima` (threads that went away meanwhile aside).
    static bool nessunRisveglio(const QMap<QString, qint64>& prima)
    {
        const QMap<QString, qint64> dopo = risvegliInPool();
        for (auto it = dopo.cbegin(); it != dopo.cend(); ++it)
            if (!prima.contains(it.key()) || prima.value(it.key()) != it.value())
                return false;
        return true;
    }

    static double opacita(QWidget* w)
    {
        auto* e = qobject_cast<QGraphicsOpacityEffect*>(w->graphicsEffect());
        return e ? e->opacity() : 1.0;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        Prova::usaFusoDiProva();
    }

    void theRunningTimerFollowsItsSetting()
    {
        auto b = banco();
        b->avviaTimer(30);
        QVERIFY(b->stato.isTimerAttivo());
        QVERIFY(qobject_cast<TimerCardView*>(b->scheda()));
        QVERIFY(b->stato.isSchedaVisibile());
        QVERIFY(!b->stato.schedaRichiedeClick()); // counting, it lets clicks through
        b->render(QStringLiteral("root-scheda-timer"));
        // Fades under the pointer while it counts.
        b->stato.setIsMediaCardHovered(true);
        auto* effetto = qobject_cast<QGraphicsOpacityEffect*>(b->scheda()->graphicsEffect());
        QVERIFY(effetto);
        auto* dissolvenza = effetto->findChild<QPropertyAnimation*>();
        QVERIFY(dissolvenza);
        QCOMPARE(dissolvenza->endValue().toDouble(), 0.0);
        b->stato.setIsMediaCardHovered(false);

        b->root->settingsManager().setMostraSchedaTimer(false);
        QVERIFY(!b->stato.isTimerAttivo());
        QVERIFY(!b->scheda());
        QVERIFY(!b->stato.isSchedaVisibile());
        b->root->settingsManager().setMostraSchedaTimer(true);
        QVERIFY(qobject_cast<TimerCardView*>(b->scheda()));
    }

    void aRingingAlarmTakesTheSlotFromTheRecordingAndNeedsAClick()
    {
        auto b = banco();
        b->voce().startRecording();
        QTRY_VERIFY(b->stato.registrazioneAttiva());
        QVERIFY(qobject_cast<RegistrazioneCardView*>(b->scheda()));
        QVERIFY(b->stato.schedaRichiedeClick()); // its stop button takes clicks
        b->render(QStringLiteral("root-scheda-registrazione"));

        b->avviaTimer(2);
        b->stato.setIsMediaCardHovered(true);
        b->clock.advance(3);
        QVERIFY(b->pomodoro().allarmeAttivo());
        auto* timer = qobject_cast<TimerCardView*>(b->scheda());
        QVERIFY(timer);
        QVERIFY(timer->inAllarme());
        QCOMPARE(b->root->slot()->marcatore()->width(), qRound(TimerCardView::kAllarme.width()));
        QVERIFY(b->stato.schedaRichiedeClick());
        QCOMPARE(opacita(timer), 1.0); // the ringing alarm never fades
        b->render(QStringLiteral("root-scheda-timer-allarme"));
        // Rotation cannot take it away while it rings.
        b->clock.advance(4.5);
        QCOMPARE(b->scheda(), timer);

        QTest::mouseClick(timer->pulsanteFerma(), Qt::LeftButton);
        QVERIFY(!b->pomodoro().allarmeAttivo());
        QVERIFY(qobject_cast<RegistrazioneCardView*>(b->scheda())); // the countdown is over
        QTest::mouseClick(static_cast<RegistrazioneCardView*>(b->scheda())->pulsanteStop(), Qt::LeftButton);
        QTRY_VERIFY(!b->stato.registrazioneAttiva());
        QVERIFY(!b->scheda());
        QVERIFY(!b->stato.schedaRichiedeClick());
    }

    void aDueReminderBeatsThePersistentCards_data()
    {
        QTest::addColumn<bool>("fatto");
        QTest::newRow("done") << true;
        QTest::newRow("later") << false;
    }
    void aDueReminderBeatsThePersistentCards()
    {
        QFETCH(bool, fatto);
        auto b = banco();
        b->avviaTimer(600);
        b->voce().startRecording();
        QTRY_VERIFY(b->stato.registrazioneAttiva());
        b->stato.setIsMediaActive(true);
        b->avviaCalendario(Prova::promemoria(QStringLiteral("p"), QStringLiteral("Chiamare Anna"),
                                             QStringLiteral("DUE:20260302T085900\r\n")));
        QTRY_VERIFY(b->calendario().daAvvisare());
        auto* card = qobject_cast<PromemoriaCardView*>(b->scheda());
        QVERIFY(card);
        QCOMPARE(card->promemoria().titolo, QStringLiteral("Chiamare Anna"));
        QVERIFY(b->stato.schedaRichiedeClick());
        QVERIFY(b->stato.isSchedaVisibile());
        b->render(QStringLiteral("root-scheda-promemoria"));
        b->clock.advance(4.5); // the rotation does not move it
        QCOMPARE(b->scheda(), card);

        QTest::mouseClick(fatto ? card->pulsanteFatto() : card->pulsanteDopo(), Qt::LeftButton);
        QTRY_VERIFY(!b->calendario().daAvvisare());
        QVERIFY(!qobject_cast<PromemoriaCardView*>(b->scheda()));
        QVERIFY(b->stato.schedaRichiedeClick()); // still recording
        if (fatto) {
            QTRY_VERIFY(b->calendario().promemoria().isEmpty()); // completed in the store
        } else {
            // Due again ten minutes on, on the minute.
            const auto scadenza = [&] {
                const auto& l = b->calendario().promemoria();
                return l.size() == 1 ? l.first().scadenza.value_or(QDateTime()) : QDateTime();
            };
            QTRY_COMPARE(scadenza(), QDateTime(QDate(2026, 3, 2), QTime(9, 10), Qt::LocalTime));
        }
    }

    void theAppointmentWithinTheQuarterHour()
    {
        auto b = banco();
        b->avviaCalendario(Prova::evento(QStringLiteral("e"), QStringLiteral("Revisione"),
                                         QStringLiteral("DTSTART:20260302T091000\r\nDTEND:20260302T100000\r\n"
                                                        "LOCATION:Sala Blu\r\n")));
        QTRY_VERIFY(b->calendario().prossimo());
        auto* card = qobject_cast<ImpegnoCardView*>(b->scheda());
        QVERIFY(card);
        QCOMPARE(card->sottotitolo(), QStringLiteral("fra 10 minuti · Sala Blu"));
        QVERIFY(b->stato.isSchedaVisibile());
        QVERIFY(!b->stato.schedaRichiedeClick());
        b->render(QStringLiteral("root-scheda-impegno"));

        // With the timer as well, the two take turns every 4.5 s.
        b->avviaTimer(300);
        QVERIFY(qobject_cast<TimerCardView*>(b->scheda()) || qobject_cast<ImpegnoCardView*>(b->scheda()));
        const bool primaImpegno = qobject_cast<ImpegnoCardView*>(b->scheda());
        b->clock.advance(4.5);
        QCOMPARE(bool(qobject_cast<ImpegnoCardView*>(b->scheda())), !primaImpegno);
        b->pomodoro().resetTimer();

        b->root->settingsManager().setMostraProssimoImpegno(false);
        QVERIFY(!b->scheda());
        QVERIFY(!b->stato.isSchedaVisibile());
        b->root->settingsManager().setMostraProssimoImpegno(true);
        QVERIFY(qobject_cast<ImpegnoCardView*>(b->scheda()));
    }

    // On screen, the rotation's cards are made once and come back as they
    // were; neither their swaps nor a due reminder's pulse wake a pooled
    // thread of Qt's: every frame is copies of pictures made beforehand.
    void cardsThatMoveAreMadeOnceAndWakeNoPooledThread()
    {
        auto b = banco();
        b->impostazioni.setValue(QStringLiteral("guidaVista"), true); // else the guide opens the notch
        b->root->setAttribute(Qt::WA_TranslucentBackground);
        b->root->show();
        QVERIFY(QTest::qWaitForWindowExposed(b->root.get()));
        b->avviaCalendario(Prova::evento(QStringLiteral("e"), QStringLiteral("Revisione"),
                                         QStringLiteral("DTSTART:20260302T091000\r\nDTEND:20260302T100000\r\n")));
        QTRY_VERIFY(b->calendario().prossimo());
        b->avviaTimer(300);
        auto giro = [&] {
            b->clock.advance(4.5);
            QTest::qWait(1200); // the springs of the cards coming and going come to rest
        };
        giro();
        giro(); // each card has been drawn once
        const QPointer<QWidget> prima = b->scheda();
        const auto pool = risvegliInPool();
        giro();
        QVERIFY(b->scheda() != prima);
        giro();
        QCOMPARE(b->scheda(), prima.data());
        QVERIFY(nessunRisveglio(pool));

        b->pomodoro().resetTimer();
        b->avviaCalendario(Prova::promemoria(QStringLiteral("p"), QStringLiteral("Chiamare Anna"),
                                             QStringLiteral("DUE:20260302T085900\r\n")));
        QTRY_VERIFY(qobject_cast<PromemoriaCardView*>(b->scheda()));
        QTest::qWait(1200);
        const auto pulsazione = risvegliInPool();
        for (int i = 0; i < 30; ++i) {
            b->clock.advance(1.0 / 15);
            QTest::qWait(5);
        }
        QVERIFY(nessunRisveglio(pulsazione));
    }
};

QTEST_MAIN(TestSchedeRoot)
#include "tst_SchedeRoot.moc"
