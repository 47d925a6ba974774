#include "AggiornamentoManager.h"
#include "AttivitaManager.h"
#include "CalendarioManager.h"
#include "CameraManager.h"
#include "ClipboardManager.h"
#include "ClipboardView.h"
#include "CompactMediaCard.h"
#include "DropManager.h"
#include "FakeAudio.h"
#include "FakeCamera.h"
#include "FakeClock.h"
#include "FakeFrontApplication.h"
#include "FakeInvioVicino.h"
#include "FakeNotifiche.h"
#include "FakePasteboard.h"
#include "MediaManager.h"
#include "MediaPlayerView.h"
#include "NotchStateManager.h"
#include "PannelloAperto.h"
#include "PomodoroManager.h"
#include "RootNotchView.h"
#include "SlotScheda.h"
#include "SmartTrayView.h"
#include "SuonoAllarme.h"
#include "TestOutput.h"
#include "UserDefaults.h"
#include "LettoreUsoIAFisso.h"
#include "SettingsManager.h"
#include "UsoIACardView.h"
#include "UsoIAMonitor.h"
#include "VoiceManager.h"
#include "VoiceMemoView.h"
#include "X11Desktop.h"

#include <QPainter>
#include <QPointer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// The root view's managers come from the factory it is given, and the open
// panel shows the view of the active tab. The managers here sit on fakes and
// a clock that never moves, so nothing reaches the desktop.
class SuonoMuto final : public SuonoAllarme {
public:
    void suona() override {}
};

class TestRootModuli : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    struct Banco {
        FakeClock clock;
        NotchStateManager stato{clock};
        AttivitaManager attivita{clock};
        UserDefaults impostazioni;
        X11Desktop desktop;
        FakePasteboard appunti;
        FakeFrontApplication frontale;
        FakeInvioVicino invio;
        FakeBackendAudio audio;
        FakeNotifiche notifiche;
        SuonoMuto suono;
        std::shared_ptr<StatoCameraFinta> camera = std::make_shared<StatoCameraFinta>();
        QString memo;
        std::unique_ptr<RootNotchView> root;

        Banco(const QString& ini, const QString& cartellaMemo, bool conManager)
            : impostazioni(ini), memo(cartellaMemo)
        {
            FabbricaManager f;
            if (conManager) {
                f.drop = [this] { return std::make_unique<DropManager>(invio); };
                f.voice = [this] { return std::make_unique<VoiceManager>(audio, clock, memo); };
                f.media = [this] {
                    ConfigurazioneMedia c;
                    c.programmaHelper = QStringLiteral("/nonexistent/halvora-nowplaying");
                    return std::make_unique<MediaManager>(clock, c);
                };
                f.pomodoro = [this] { return std::make_unique<PomodoroManager>(clock, notifiche, suono); };
                f.usoIA = [this] {
                    const LetturaUsoIA claude{FornitoreIA::claude, LimiteIA{42, std::nullopt, false},
                                              LimiteIA{10, std::nullopt, false}, clock.now()};
                    UsoIAMonitor::Lettori lettori{{FornitoreIA::claude, std::make_shared<LettoreUsoIAFisso>(claude)},
                                                  {FornitoreIA::codex, std::make_shared<LettoreUsoIAFisso>(std::nullopt)}};
                    return std::make_unique<UsoIAMonitor>(clock, impostazioni, frontale, lettori,
                                                          QStringLiteral("halvora"));
                };
                f.camera = [this] {
                    return std::make_unique<CameraManager>(std::make_unique<FakeSessioneCamera>(camera));
                };
                f.clipboard = [this] {
                    return std::make_unique<ClipboardManager>(appunti, frontale, impostazioni, clock);
                };
            }
            root = std::make_unique<RootNotchView>(
                stato, attivita, QSize(800, 600),
                RootNotchView::Servizi{clock, impostazioni, desktop, NotchGeometry::Posizione::corrente(), {},
                                       std::move(f)});
            root->setGeometry(0, 0, 800, 600);
        }
        QWidget* apri(NotchTab tab)
        {
            stato.setState(NotchState::expanded);
            stato.setActiveTab(tab);
            root->completaAnimazioni();
            return root->pannelloAperto()->modulo();
        }
        // The closed strip and the card under it.
        void renderChiusa(const QString& nome)
        {
            root->completaAnimazioni();
            salva(QRect(0, 0, 800, 200), nome);
        }
        QImage render(const QString& nome)
        {
            return salva(root->rettangoloTacca().toAlignedRect(), nome);
        }
        QImage salva(const QRect& r, const QString& nome)
        {
            QImage img(r.size(), QImage::Format_ARGB32);
            img.fill(QColor(128, 128, 128));
            QPainter p(&img);
            p.drawImage(0, 0, root->grab(r).toImage());
            p.end();
            img.save(QDir(cartellaOutputTest()).filePath(nome + QStringLiteral(".png")));
            return img;
        }
    };

    std::unique_ptr<Banco> banco(bool conManager = true)
    {
        static int n = 0;
        ++n;
        return std::make_unique<Banco>(dir.filePath(QStringLiteral("m%1.ini").arg(n)),
                                       dir.filePath(QStringLiteral("doc%1").arg(n)), conManager);
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
    }

    void theManagersAreMadeOnceInTheirOrder()
    {
        FakeClock clock;
        NotchStateManager stato{clock};
        AttivitaManager attivita{clock};
        UserDefaults impostazioni(dir.filePath(QStringLiteral("ordine.ini")));
        X11Desktop desktop;
        QStringList fatti;
        auto annota = [&fatti](const char* nome) {
            return [&fatti, nome] {
                fatti << QString::fromLatin1(nome);
                return nullptr;
            };
        };
        FabbricaManager f;
        f.drop = annota("drop");
        f.voice = annota("voice");
        f.pomodoro = annota("pomodoro");
        f.media = annota("media");
        f.camera = annota("camera");
        f.clipboard = annota("clipboard");
        f.calendario = annota("calendario");
        f.aggiornamento = annota("aggiornamento");
        f.usoIA = annota("usoIA");
        RootNotchView root(stato, attivita, QSize(800, 600),
                           {clock, impostazioni, desktop, NotchGeometry::Posizione::corrente(), {}, f});
        stato.setState(NotchState::expanded);
        for (NotchTab t : kTutteLeSchede)
            stato.setActiveTab(t);
        QCOMPARE(fatti, (QStringList{"drop", "voice", "pomodoro", "media", "camera", "clipboard", "calendario",
                                     "aggiornamento", "usoIA"}));
    }

    void eachTabShowsItsFeatureView_data()
    {
        QTest::addColumn<NotchTab>("tab");
        QTest::addColumn<QString>("classe");
        QTest::newRow("media") << NotchTab::media << QStringLiteral("MediaPlayerView");
        QTest::newRow("memo") << NotchTab::memo << QStringLiteral("VoiceMemoView");
        QTest::newRow("clipboard") << NotchTab::clipboard << QStringLiteral("ClipboardView");
        QTest::newRow("tray") << NotchTab::tray << QStringLiteral("SmartTrayView");
        QTest::newRow("mirror") << NotchTab::mirror << QStringLiteral("MirrorView");
        QTest::newRow("pomodoro") << NotchTab::pomodoro << QStringLiteral("PomodoroView");
        QTest::newRow("calendario") << NotchTab::calendario << QString();
    }

    void eachTabShowsItsFeatureView()
    {
        QFETCH(NotchTab, tab);
        QFETCH(QString, classe);
        auto b = banco();
        // Start elsewhere so the tab under test is a change.
        b->stato.setActiveTab(tab == NotchTab::calendario ? NotchTab::media : NotchTab::calendario);
        QWidget* m = b->apri(tab);
        PannelloAperto* pannello = b->root->pannelloAperto();
        if (classe.isEmpty()) {
            QVERIFY(!m);
            return;
        }
        QVERIFY(m);
        QCOMPARE(QString::fromLatin1(m->metaObject()->className()), classe);
        QCOMPARE(m->parentWidget(), pannello);
        const QRect area = pannello->areaModulo();
        QCOMPARE(m->geometry().topLeft(), area.topLeft());
        QCOMPARE(m->width(), area.width());
        QVERIFY(m->height() <= area.height() && m->height() > 0);
        QVERIFY(m->isVisibleTo(pannello));
        const QImage img = b->render(QStringLiteral("modulo-") + QString::fromLatin1(QTest::currentDataTag()));
        // Something is drawn in the module area, over the dark panel.
        const QImage zona = img.copy(area.adjusted(0, 0, 0, -area.height() / 2));
        QSet<QRgb> colori;
        for (int y = 0; y < zona.height(); y += 3)
            for (int x = 0; x < zona.width(); x += 3)
                colori.insert(zona.pixel(x, y));
        QVERIFY2(colori.size() > 4, qPrintable(QString::number(colori.size())));
    }

    void oneModulePerTabChange()
    {
        auto b = banco();
        QPointer<QWidget> primo = b->apri(NotchTab::media);
        QVERIFY(primo);
        b->stato.setActiveTab(NotchTab::media);
        QCOMPARE(b->root->pannelloAperto()->modulo(), primo.data());
        QPointer<QWidget> secondo = b->apri(NotchTab::tray);
        QVERIFY(secondo && secondo != primo);
        QVERIFY(primo->isHidden());
        QTRY_VERIFY(!primo); // the old module is released
        QCOMPARE(b->root->pannelloAperto()->modulo(), secondo.data());
    }

    void theSettingsPageHidesTheModule()
    {
        auto b = banco();
        QWidget* m = b->apri(NotchTab::clipboard);
        QVERIFY(m && m->isVisibleTo(b->root->pannelloAperto()));
        b->root->barra().setShowSettings(true);
        QVERIFY(!m->isVisibleTo(b->root->pannelloAperto()));
        b->root->barra().setShowSettings(false);
        QVERIFY(m->isVisibleTo(b->root->pannelloAperto()));
    }

    void theMediaPollFollowsTheNotch()
    {
        auto b = banco();
        MediaManager& m = *b->root->mediaManager();
        QCOMPARE(m.intervalloCorrente(), 6.0); // closed, nothing playing
        b->apri(NotchTab::media);
        QCOMPARE(m.intervalloCorrente(), 1.5);
        b->stato.setActiveTab(NotchTab::tray);
        QCOMPARE(m.intervalloCorrente(), 6.0);
        b->stato.setIsMediaActive(true);
        QCOMPARE(m.intervalloCorrente(), 3.0);
        b->stato.setState(NotchState::compact);
        QCOMPARE(m.intervalloCorrente(), 3.0);
    }

    void theMusicCardHangsUnderTheClosedNotch()
    {
        auto b = banco();
        b->stato.setHaTaccaFisica(false);
        b->stato.setIsMediaActive(true);
        auto* card = qobject_cast<CompactMediaCard*>(b->root->slot()->scheda());
        QVERIFY(card);
        QCOMPARE(card->rettangoloCard().size(), QSizeF(CompactMediaCard::kCard));
        b->renderChiusa(QStringLiteral("scheda-musica"));
        // The card is centred under the strip.
        const QRect r = b->root->slot()->geometry();
        QVERIFY(std::abs(r.center().x() - 400) <= 1);
        b->stato.setIsMediaActive(false);
        QVERIFY(!b->root->slot()->scheda());
    }

    void thePowerButtonPausesTheRunningPomodoroAndCloses()
    {
        auto b = banco();
        PomodoroManager& p = *b->root->pomodoroManager();
        p.startTimer();
        QVERIFY(p.isActive());
        b->apri(NotchTab::media);
        PannelloAperto& pannello = *b->root->pannelloAperto();
        QTest::mouseClick(&pannello, Qt::LeftButton, {}, pannello.rettangoloPower().center());
        QVERIFY(!p.isActive());
        QCOMPARE(p.sessionState(), PomodoroSessionState::paused);
        QCOMPARE(b->stato.currentState(), NotchState::compact);
    }

    void theUsageCardFollowsTheSettingAndTheFrontProvider()
    {
        auto b = banco();
        b->stato.setHaTaccaFisica(false);
        UsoIAMonitor& monitor = *b->root->usoIA();
        b->frontale.attiva(AppInfo{idApplicazione(FornitoreIA::claude).first(), QStringLiteral("Claude"), 1});
        b->root->settingsManager().setMostraUsoIA(false);
        QVERIFY(!monitor.attivo());
        b->root->settingsManager().setMostraUsoIA(true);
        QVERIFY(monitor.attivo());
        QTRY_VERIFY(qobject_cast<UsoIACardView*>(b->root->slot()->scheda()));
        QVERIFY(b->stato.isSchedaVisibile());
        auto* card = qobject_cast<UsoIACardView*>(b->root->slot()->scheda());
        QCOMPARE(card->rettangoloScheda().size(), UsoIACardView::kScheda);
        b->renderChiusa(QStringLiteral("scheda-uso-ia"));
        // Switched off: the monitor stops and the card goes.
        b->root->settingsManager().setMostraUsoIA(false);
        QVERIFY(!monitor.attivo());
        QVERIFY(!b->root->slot()->scheda());
    }

    void leavingTheMirrorTabOrClosingStopsTheCamera_data()
    {
        QTest::addColumn<bool>("chiudendo");
        QTest::newRow("another tab") << false;
        QTest::newRow("closed notch") << true;
    }

    void leavingTheMirrorTabOrClosingStopsTheCamera()
    {
        QFETCH(bool, chiudendo);
        auto b = banco();
        CameraManager& camera = *b->root->cameraManager();
        b->apri(NotchTab::mirror);
        b->root->barra().setShowSettings(true);
        camera.avviaSessione();
        QTRY_VERIFY(camera.isSessionRunning());
        if (chiudendo)
            b->stato.setState(NotchState::compact);
        else
            b->stato.setActiveTab(NotchTab::pomodoro);
        QTRY_VERIFY(!camera.isSessionRunning());
        QCOMPARE(b->camera->fermate.load(), 1);
        // Closing also turns the settings page back to the tabs.
        QCOMPARE(b->root->barra().showSettings(), !chiudendo);
    }

    void withoutAFactoryThereAreNoManagersAndNoModules()
    {
        auto b = banco(false);
        QVERIFY(!b->root->mediaManager() && !b->root->dropManager() && !b->root->usoIA());
        for (NotchTab t : kTutteLeSchede)
            QVERIFY(!b->apri(t));
    }
};

QTEST_MAIN(TestRootModuli)
#include "tst_RootModuli.moc"
