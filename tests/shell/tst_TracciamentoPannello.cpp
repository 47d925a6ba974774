#include "FakeClock.h"
#include "FakePuntatore.h"
#include "GeometriaPannello.h"
#include "NotchPanel.h"
#include "NotchStateManager.h"
#include "TracciamentoPannello.h"
#include "VistaAreaScheda.h"

#include <QSignalSpy>
#include <QTest>

// Panel at (560, 0) on a 1920-wide screen: the notch is centred on x = 960.
class TestTracciamentoPannello : public QObject {
    Q_OBJECT

    struct Banco {
        FakeClock clock;
        FakePuntatore puntatore;
        NotchStateManager stato{clock};
        NotchPanel pannello{QSize(800, 600)};
        QWidget* tela = new QWidget(&pannello); // the content, laid out on the canvas
        TracciamentoPannello t{stato, puntatore, clock, pannello};
        Banco()
        {
            tela->resize(800, 600);
            pannello.impostaContenuto(tela);
            // As the delegate wires them.
            pannello.setAlTermineDelGesto([this] { t.aggiornaInterattivita(); });
            QObject::connect(&stato, &NotchStateManager::cambiato, &t, &TracciamentoPannello::aggiornaInterattivita);
            pannello.posizionaTela({560, 0});
            pannello.mostra();
        }
    };

private slots:
    void zonaHover_data()
    {
        QTest::addColumn<bool>("aperta");
        QTest::addColumn<bool>("linguetta");
        QTest::addColumn<QRectF>("attesa");
        QTest::newRow("closed") << false << false << QRectF(870, 0, 180, 32);
        QTest::newRow("closed, discreet edge tab") << false << true << QRectF(870, 0, 180, 5);
        QTest::newRow("open on tray") << true << false << QRectF(730, 0, 460, 390);
        QTest::newRow("open ignores the edge tab") << true << true << QRectF(730, 0, 460, 390);
    }
    void zonaHover()
    {
        QFETCH(bool, aperta);
        QFETCH(bool, linguetta);
        QFETCH(QRectF, attesa);
        Banco b;
        b.stato.setLinguettaAttiva(linguetta);
        if (aperta)
            b.stato.setState(NotchState::expanded);
        QCOMPARE(b.t.zonaHover(), attesa);
    }

    void enteringOpensAtOnceAndLeavingClosesAfterTheGrace()
    {
        Banco b;
        b.puntatore.sposta({960, 10});
        QCOMPARE(b.stato.currentState(), NotchState::expanded);
        b.puntatore.sposta({960, 700});
        QCOMPARE(b.stato.currentState(), NotchState::expanded);
        b.clock.advance(0.181);
        QCOMPARE(b.stato.currentState(), NotchState::compact);
    }

    void aPointerOutOfSightIsAway()
    {
        Banco b;
        b.stato.setIsSchedaVisibile(true);
        b.puntatore.sposta({960, 60}); // on the card: 870..1050 across, 40..86 down
        QVERIFY(b.stato.isMediaCardHovered());
        b.puntatore.sposta({960, 10});
        // XWayland keeps telling the last place it saw, inside.
        b.puntatore.s.fuoriVista = true;
        b.puntatore.sposta({960, 10});
        b.clock.advance(0.181);
        QCOMPARE(b.stato.currentState(), NotchState::compact);
        b.puntatore.sposta({960, 60});
        QVERIFY(!b.stato.isMediaCardHovered());
        QVERIFY(!b.puntatore.vicino);
    }

    void theWindowCoversWhatIsDrawnAndGivesItBackOnceItRests()
    {
        Banco b;
        // Closed: the strip (870..1050, 0..32) and its shadow, 30 around and 12 more below.
        QCOMPARE(b.pannello.geometry(), QRect(840, 0, 240, 74));
        b.puntatore.sposta({960, 10});
        QCOMPARE(b.pannello.geometry(), QRect(700, 0, 520, 432)); // open on tray at once
        b.puntatore.sposta({960, 700});
        b.clock.advance(0.5); // closed, the shape still shrinking
        QCOMPARE(b.stato.currentState(), NotchState::compact);
        QCOMPARE(b.pannello.geometry(), QRect(700, 0, 520, 432));
        b.clock.advance(0.7);
        QCOMPARE(b.pannello.geometry(), QRect(840, 0, 240, 74));
        auto* marcatore = new VistaAreaScheda(8, b.tela);
        marcatore->setGeometry(250, 32, 300, 54); // a card 810..1110, 40..86
        marcatore->show();
        QCOMPARE(b.pannello.geometry(), QRect(780, 0, 360, 128));
        // The content stays where it was laid out on the canvas.
        QCOMPARE(marcatore->mapToGlobal(QPoint(0, 8)), QPoint(810, 40));
    }

    void exitMargin_data()
    {
        QTest::addColumn<QPointF>("punto");
        QTest::addColumn<bool>("restaAperta");
        // Open on tray: 730..1190 across, 0..390 down.
        QTest::newRow("11 below") << QPointF(960, 401) << true;
        QTest::newRow("13 below") << QPointF(960, 403) << false;
        QTest::newRow("11 left") << QPointF(719, 100) << true;
        QTest::newRow("13 right") << QPointF(1203, 100) << false;
    }
    void exitMargin()
    {
        QFETCH(QPointF, punto);
        QFETCH(bool, restaAperta);
        Banco b;
        b.puntatore.sposta({960, 10});
        b.puntatore.sposta(punto);
        b.clock.advance(1);
        QCOMPARE(b.stato.currentState() == NotchState::expanded, restaAperta);
    }

    void closedNotchHasNoMargin()
    {
        Banco b;
        b.puntatore.sposta({960, 33}); // one below the 32-high strip
        QCOMPARE(b.stato.currentState(), NotchState::compact);
    }

    void discreetModeOpensOnlyAtTheEdge()
    {
        Banco b;
        b.stato.setLinguettaAttiva(true);
        b.puntatore.sposta({960, 10});
        QCOMPARE(b.stato.currentState(), NotchState::compact);
        b.puntatore.sposta({960, 3});
        QCOMPARE(b.stato.currentState(), NotchState::expanded);
    }

    void cardHoverIsWrittenOnlyOnChange()
    {
        Banco b;
        QSignalSpy spy(&b.stato, &NotchStateManager::isMediaCardHoveredChanged);
        b.puntatore.sposta({960, 60}); // over the card, but no card is up
        QVERIFY(!b.stato.isMediaCardHovered());
        b.stato.setIsSchedaVisibile(true);
        b.puntatore.sposta({960, 60}); // card: 870..1050 across, 40..86 down
        b.puntatore.sposta({961, 61});
        QVERIFY(b.stato.isMediaCardHovered());
        QCOMPARE(spy.count(), 1);
        b.puntatore.sposta({960, 87});
        QVERIFY(!b.stato.isMediaCardHovered());
        QCOMPARE(spy.count(), 2);
    }

    void regioni_data()
    {
        QTest::addColumn<QString>("caso");
        QTest::addColumn<int>("quante");
        QTest::newRow("nothing up: the strip") << "niente" << 1;
        QTest::newRow("card takes clicks") << "clic" << 2;
        QTest::newRow("installation card") << "installazione" << 2;
        QTest::newRow("update card") << "aggiornamento" << 2;
        QTest::newRow("open") << "aperta" << 1;
        QTest::newRow("capture hides everything") << "cattura" << 0;
    }
    void regioni()
    {
        QFETCH(QString, caso);
        QFETCH(int, quante);
        FakeClock clock;
        NotchStateManager s(clock);
        const QRectF frame(560, 0, 800, 600);
        const QList<QRectF> schede{QRectF(870, 40, 180, 46)};
        if (caso == "clic")
            s.setSchedaRichiedeClick(true);
        if (caso == "installazione")
            s.setInstallazioneDaSistemare(true);
        if (caso == "aggiornamento")
            s.setAggiornamentoDaMostrare(true);
        if (caso == "aperta" || caso == "cattura")
            s.setState(NotchState::expanded);
        if (caso == "cattura")
            s.setCatturaInCorso(true);
        const auto r = GeometriaPannello::regioniCliccabili(s, frame, schede);
        QCOMPARE(r.size(), quante);
        if (caso == "aperta")
            QCOMPARE(r.first(), QRectF(730, 0, 460, 390));
        else if (quante)
            QCOMPARE(r.first(), QRectF(870, 0, 180, 32));
        if (quante == 2)
            QCOMPARE(r.last(), schede.first());
    }

    void theStripAndALiveCardTakeThePointerBeforeItComes_data()
    {
        QTest::addColumn<QPoint>("punto");
        QTest::addColumn<bool>("preso");
        QTest::newRow("on the card") << QPoint(960, 60) << true;
        QTest::newRow("on the strip") << QPoint(960, 10) << true;
        QTest::newRow("in the 8-pixel gap above the card") << QPoint(960, 36) << false;
        QTest::newRow("below the card") << QPoint(960, 300) << false;
    }
    void theStripAndALiveCardTakeThePointerBeforeItComes()
    {
        QFETCH(QPoint, punto);
        QFETCH(bool, preso);
        Banco b;
        auto* marcatore = new VistaAreaScheda(8, b.tela);
        marcatore->setGeometry(310, 32, 180, 54); // card 870..1050, 40..86 on screen
        marcatore->show();
        b.stato.setSchedaRichiedeClick(true);
        // The pointer was never seen near: a warp there must still land on the panel.
        b.puntatore.sposta({100, 900});
        QCOMPARE(b.pannello.regioneInput().contains(punto), preso);
    }

    void markersThatGiveNothing_data()
    {
        QTest::addColumn<double>("distacco");
        QTest::addColumn<bool>("nascosto");
        QTest::addColumn<int>("quanti");
        QTest::newRow("plain") << 8.0 << false << 1;
        QTest::newRow("gap as tall as the marker") << 54.0 << false << 0;
        QTest::newRow("gap taller") << 80.0 << false << 0;
        QTest::newRow("hidden") << 8.0 << true << 0;
    }
    void markersThatGiveNothing()
    {
        QFETCH(double, distacco);
        QFETCH(bool, nascosto);
        QFETCH(int, quanti);
        Banco b;
        auto* marcatore = new VistaAreaScheda(distacco, b.tela);
        marcatore->setGeometry(310, 32, 180, 54);
        marcatore->setVisible(!nascosto);
        QCOMPARE(b.pannello.rettangoliSchede().size(), quanti);
    }

    void pressOnACardKeepsThePanelUntilRelease()
    {
        Banco b;
        auto* marcatore = new VistaAreaScheda(8, b.tela);
        marcatore->setGeometry(310, 32, 180, 54);
        marcatore->show();
        b.stato.setSchedaRichiedeClick(true);
        b.puntatore.sposta({960, 60});
        QTest::mousePress(b.pannello.windowHandle(), Qt::LeftButton, {}, QPoint(400, 60));
        QVERIFY(b.pannello.gestoInCorso());
        b.puntatore.s.pulsantePremuto = true;
        b.stato.setSchedaRichiedeClick(false); // the card gives way under the held button
        b.puntatore.sposta({960, 300});
        QVERIFY(b.pannello.regioneInput().contains(QPoint(960, 60)));
        b.puntatore.s.pulsantePremuto = false;
        QTest::mouseRelease(b.pannello.windowHandle(), Qt::LeftButton, {}, QPoint(400, 300));
        QVERIFY(!b.pannello.gestoInCorso());
        // The end of the gesture re-evaluated the regions.
        QVERIFY(!b.pannello.regioneInput().contains(QPoint(960, 60)));
    }

    void pressInTheOpenNotchStartsNoGesture()
    {
        Banco b;
        b.puntatore.sposta({960, 10});
        QTest::mousePress(b.pannello.windowHandle(), Qt::LeftButton, {}, QPoint(400, 10));
        QVERIFY(!b.pannello.gestoInCorso());
        QTest::mouseRelease(b.pannello.windowHandle(), Qt::LeftButton, {}, QPoint(400, 10));
    }

    void clickElsewhereClosesOnlyAHotKeyOpening()
    {
        Banco b;
        b.stato.toggleFromHotKey();
        b.puntatore.sposta({100, 700});
        b.puntatore.premi();
        QCOMPARE(b.stato.currentState(), NotchState::compact);

        b.puntatore.premi(false);
        b.puntatore.sposta({960, 10}); // hover opening
        b.puntatore.sposta({960, 395}); // still inside the margin
        b.puntatore.premi();
        QCOMPARE(b.stato.currentState(), NotchState::expanded);
    }

    void clickInsideAHotKeyOpeningKeepsItOpen()
    {
        Banco b;
        b.stato.toggleFromHotKey();
        b.puntatore.sposta({960, 100});
        b.puntatore.premi();
        QCOMPARE(b.stato.currentState(), NotchState::expanded);
    }

    void dragWatch_data()
    {
        QTest::addColumn<bool>("esce");
        QTest::addColumn<bool>("tastiera");
        QTest::addColumn<bool>("apertaAllaFine");
        QTest::newRow("released inside") << false << false << true;
        QTest::newRow("leaves the open content") << true << false << false;
        QTest::newRow("leaves a hot-key opening") << true << true << false;
    }
    void dragWatch()
    {
        QFETCH(bool, esce);
        QFETCH(bool, tastiera);
        QFETCH(bool, apertaAllaFine);
        Banco b;
        if (tastiera)
            b.stato.toggleFromHotKey();
        else
            b.puntatore.sposta({960, 10});
        b.puntatore.s = {{960, 100}, true};
        b.t.avviaVigilanzaTrascinamento();
        b.clock.advance(0.04);
        QVERIFY(b.t.vigilanzaAttiva());
        // Moves are not reported to the tracker: only the watch sees them.
        b.puntatore.s.posizione = esce ? QPointF(960, 395) : QPointF(960, 200);
        b.clock.advance(0.04);
        QCOMPARE(b.stato.currentState() == NotchState::expanded, apertaAllaFine);
        QCOMPARE(b.t.vigilanzaAttiva(), !esce);
        b.puntatore.s.pulsantePremuto = false;
        b.clock.advance(0.04);
        QVERIFY(!b.t.vigilanzaAttiva());
        QCOMPARE(b.stato.currentState() == NotchState::expanded, apertaAllaFine);
    }

    void closeWatchOnlyNearTheNotchOrDuringADrag_data()
    {
        QTest::addColumn<QPointF>("punto");
        QTest::addColumn<bool>("trascina");
        QTest::addColumn<bool>("vicino");
        // Closed strip: 870..1050 across, 0..32 down; 48 around it counts as near.
        QTest::newRow("far away") << QPointF(100, 900) << false << false;
        QTest::newRow("just below the strip") << QPointF(960, 79) << false << true;
        QTest::newRow("beyond the nearness") << QPointF(960, 81) << false << false;
        QTest::newRow("beside the strip") << QPointF(830, 10) << false << true;
        QTest::newRow("far away while dragging") << QPointF(100, 900) << true << true;
    }
    void closeWatchOnlyNearTheNotchOrDuringADrag()
    {
        QFETCH(QPointF, punto);
        QFETCH(bool, trascina);
        QFETCH(bool, vicino);
        Banco b;
        b.puntatore.s.pulsantePremuto = trascina;
        if (trascina)
            b.t.avviaVigilanzaTrascinamento();
        b.puntatore.sposta(punto);
        QCOMPARE(b.puntatore.vicino, vicino);
        b.puntatore.s.pulsantePremuto = false;
        b.clock.advance(0.04); // released: the watch ends
        b.puntatore.sposta({100, 900});
        QVERIFY(!b.puntatore.vicino);
    }

    void framePannelloHangsFromTheNotch()
    {
        ScreenInfo s;
        s.frame = QRectF(1920, 0, 1512, 982);
        s.visibleFrame = s.frame;
        s.areaSuperioreSinistra = QRectF(1920, 0, 600, 32);
        s.areaSuperioreDestra = QRectF(1920 + 912, 0, 600, 32);
        QCOMPARE(GeometriaPannello::framePannello(s), QRectF(1920 + 756 - 400, 0, 800, 600));
    }
};

QTEST_MAIN(TestTracciamentoPannello)
#include "tst_TracciamentoPannello.moc"
