// The notch as a desktop's compositor shows it: over a white window, on a
// screen without a notch and (through the screen fake) with one, and the
// persistent card giving way to a full-screen window; and the notch reached
// by a pointer that jumps there.
#include "AppDelegate.h"
#include "AppRealeX11.h"
#include "FakeClock.h"
#include "FakeFrontApplication.h"
#include "FakePuntatore.h"
#include "FakeScreens.h"
#include "FakeTastoGlobale.h"
#include "InstallazioneCardView.h"
#include "LettoreUsoIAFisso.h"
#include "NotchAccessRouter.h"
#include "NotchPanel.h"
#include "RootNotchView.h"
#include "ScorciatoiaTacca.h"
#include "SlotScheda.h"
#include "TestOutput.h"
#include "UserDefaults.h"
#include "UsoIACardView.h"
#include "UsoIAMonitor.h"
#include "X11Puntatore.h"

#include <QAbstractButton>

#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A loaded machine runs many displays at once: wait generously.
constexpr int kAttesa = 15000;

QImage schermata(const QString& nome)
{
    QTest::qWait(400); // the compositor's next frame
    return salvaImmagine(QGuiApplication::primaryScreen()->grabWindow(0).toImage(), nome);
}

void wmctrl(const QWidget& finestra, const QString& azione)
{
    QProcess::execute(QStringLiteral("wmctrl"), {QStringLiteral("-i"), QStringLiteral("-r"),
                                                 QString::number(finestra.winId()), QStringLiteral("-b"), azione});
}

} // namespace

class TestTaccaX11 : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    struct Banco {
        FakeClock clock;
        FakeScreens schermi;
        FakePuntatore puntatore;
        std::unique_ptr<X11Puntatore> puntatoreX11; // the desktop's own, when asked for
        UserDefaults impostazioni;
        FakeTastoGlobale tasto;
        FakeFrontApplication frontale;
        ScorciatoiaTacca scorciatoia{tasto, impostazioni};
        std::unique_ptr<AppDelegate> d;

        Banco(const QString& ini, ScreenInfo schermo, bool usoIA = false, bool puntatoreReale = false)
            : puntatoreX11(puntatoreReale ? std::make_unique<X11Puntatore>() : nullptr), impostazioni(ini)
        {
            schermi.lista = {schermo};
            FabbricaManager f;
            if (usoIA)
                f.usoIA = [this] {
                    const LetturaUsoIA claude{FornitoreIA::claude, LimiteIA{42, std::nullopt, false},
                                              LimiteIA{10, std::nullopt, false}, clock.now()};
                    UsoIAMonitor::Lettori lettori{
                        {FornitoreIA::claude, std::make_shared<LettoreUsoIAFisso>(claude)},
                        {FornitoreIA::codex, std::make_shared<LettoreUsoIAFisso>(std::nullopt)}};
                    return std::make_unique<UsoIAMonitor>(clock, impostazioni, frontale, lettori,
                                                          QStringLiteral("halvora"));
                };
            const NotchGeometry::Posizione pos{QStringLiteral("/opt/halvora"), QStringLiteral("/opt/halvora/bin"),
                                               QStringLiteral("/home/u")};
            Puntatore& p = puntatoreX11 ? static_cast<Puntatore&>(*puntatoreX11) : puntatore;
            AppDelegate::Dipendenze dip{clock, schermi, p, impostazioni, scorciatoia, {}, pos};
            dip.fabbrica = std::move(f);
            d = std::make_unique<AppDelegate>(std::move(dip));
            d->applicationDidFinishLaunching();
            QVERIFY(QTest::qWaitForWindowExposed(d->window(), kAttesa));
        }
        RootNotchView& root() { return *d->router()->root(); }
    };

    QString ini()
    {
        static int n = 0;
        return dir.filePath(QStringLiteral("t%1.ini").arg(++n));
    }

    // A white window under the panel, so translucency shows.
    std::unique_ptr<QWidget> sfondo()
    {
        auto w = std::make_unique<QWidget>();
        w->setAutoFillBackground(true);
        QPalette pal = w->palette();
        pal.setColor(QPalette::Window, Qt::white);
        w->setPalette(pal);
        w->setGeometry(700, 0, 520, 300);
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get()))
            qWarning("backdrop not exposed");
        // Exposed is not yet on screen: a busy compositor draws it later.
        QTest::qWaitFor([] { return qGray(QGuiApplication::primaryScreen()->grabWindow(0, 800, 10, 1, 1).toImage().pixel(0, 0)) == 255; },
                        kAttesa);
        return w;
    }

private slots:
    void translucentStripWithItsMarkerOnAnUnnotchedScreen()
    {
        auto bianco = sfondo();
        Banco b(ini(), FakeScreens::senzaTacca(QRectF(0, 0, 1920, 1080), 0));
        b.d->window()->raise();
        const QImage img = schermata(QStringLiteral("x11-tacca-senza-tacca"));
        // 180 by 32 at the top centre: dark, yet the white shows through.
        const int striscia = qGray(img.pixel(940, 10));
        QVERIFY2(striscia > 8 && striscia < 120, qPrintable(QString::number(striscia)));
        QVERIFY(qGray(img.pixel(960, 25)) > qGray(img.pixel(940, 25))); // the faint marker
        QCOMPARE(qGray(img.pixel(800, 10)), 255);                       // well beside the strip
    }

    void blackStripOverANotch()
    {
        auto bianco = sfondo();
        Banco b(ini(), FakeScreens::conTacca(QRectF(0, 0, 1920, 1080), 806, 32, 32));
        b.d->window()->raise();
        const QImage img = schermata(QStringLiteral("x11-tacca-nera"));
        QCOMPARE(QColor(img.pixel(960, 10)), QColor(Qt::black));
        QCOMPARE(QColor(img.pixel(960, 25)), QColor(Qt::black)); // no marker
        QCOMPARE(qGray(img.pixel(960, 50)), 255);                 // no shadow under it
    }

    void aFullScreenWindowHidesThePersistentCard()
    {
        Banco b(ini(), FakeScreens::senzaTacca(QRectF(0, 0, 1920, 1080), 0), true);
        b.frontale.attiva(AppInfo{idApplicazione(FornitoreIA::claude).first(), QStringLiteral("Claude"), 1});
        QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<UsoIACardView*>(b.root().slot()->scheda()), kAttesa);
        QTRY_VERIFY_WITH_TIMEOUT(b.root().slot()->scheda()->isVisible(), kAttesa);
        schermata(QStringLiteral("x11-scheda-persistente"));

        QWidget finestra;
        finestra.setWindowTitle(QStringLiteral("a tutto schermo"));
        finestra.resize(400, 300);
        finestra.show();
        finestra.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&finestra, kAttesa));
        wmctrl(finestra, QStringLiteral("add,fullscreen"));
        QTRY_VERIFY_WITH_TIMEOUT(!b.root().slot()->scheda(), kAttesa);
        QVERIFY(!b.d->stateManager().isSchedaVisibile());
        wmctrl(finestra, QStringLiteral("remove,fullscreen"));
        QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<UsoIACardView*>(b.root().slot()->scheda()), kAttesa);
        QVERIFY(b.d->stateManager().isSchedaVisibile());
    }

    void aWarpedPointerOpensTheStripAndClicksACardButton()
    {
        Banco b(ini(), FakeScreens::senzaTacca(QRectF(0, 0, 1920, 1080), 0), false, true);
        NotchStateManager& s = b.d->stateManager();
        // At rest far away: no poll watches, so only the server can tell of a jump.
        AppRealeX11::saltaPuntatore(100, 900);
        QTRY_VERIFY_WITH_TIMEOUT(!b.puntatoreX11->sondaggioAttivo(), kAttesa);
        QElapsedTimer t;
        t.start();
        AppRealeX11::saltaPuntatore(960, 10);
        QTRY_COMPARE_WITH_TIMEOUT(s.currentState(), NotchState::expanded, kAttesa);
        qInfo("open %lld ms after the jump", t.elapsed());
        AppRealeX11::saltaPuntatore(960, 700);
        QTRY_VERIFY_WITH_TIMEOUT((b.clock.advance(0.2), s.currentState() == NotchState::compact), kAttesa);

        s.setInstallazioneDaSistemare(true);
        InstallazioneCardView* card = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((card = qobject_cast<InstallazioneCardView*>(b.root().slot()->scheda())), kAttesa);
        b.clock.advance(2); // the card's spring settles
        QTRY_VERIFY_WITH_TIMEOUT(card->pulsanteChiudi()->isVisible(), kAttesa);
        QTest::qWait(100);
        const QPoint chiudi = card->pulsanteChiudi()->mapToGlobal(card->pulsanteChiudi()->rect().center());
        schermata(QStringLiteral("x11-salto-installazione"));
        QTRY_VERIFY_WITH_TIMEOUT(!b.puntatoreX11->sondaggioAttivo(), kAttesa);
        AppRealeX11::saltaPuntatore(chiudi.x(), chiudi.y());
        AppRealeX11::xdotool({QStringLiteral("click"), QStringLiteral("1")});
        QTRY_VERIFY_WITH_TIMEOUT(!s.installazioneDaSistemare(), kAttesa);
    }
};

QTEST_MAIN(TestTaccaX11)
#include "tst_TaccaX11.moc"
