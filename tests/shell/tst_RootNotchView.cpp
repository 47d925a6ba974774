#include "AttivitaCardView.h"
#include "AttivitaManager.h"
#include "EffettoStrato.h"
#include "FakeClock.h"
#include "GuidaView.h"
#include "LettoreFeedFinto.h"
#include "AggiornamentoManager.h"
#include "NotchAccessRouter.h"
#include "NotchStateManager.h"
#include "PannelloAperto.h"
#include "RootNotchView.h"
#include "SettingsView.h"
#include "SlotScheda.h"
#include "TestOutput.h"
#include "TransizioneScheda.h"
#include "UserDefaults.h"
#include "VistaAreaScheda.h"
#include "X11Desktop.h"

#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

// Renders of the notch in each state, over a mid-grey desktop so the
// translucent fill shows; a reviewer looks at them in the test output.
class TestRootNotchView : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    struct Banco {
        FakeClock clock;
        NotchStateManager stato{clock};
        AttivitaManager attivita{clock};
        UserDefaults impostazioni;
        X11Desktop desktop; // no display here: never full screen
        NotchAccessRouter router;
        Banco(const QString& ini)
            : impostazioni(ini),
              router(stato, attivita, QSize(800, 600),
                     {clock, impostazioni, desktop, NotchGeometry::Posizione::corrente(), {}})
        {
            router.root()->setGeometry(0, 0, 800, 600);
        }
        RootNotchView& root() { return *router.root(); }
        // Shown on a screen without a notch, a notice hanging for `secondi`.
        bool conAvviso(int secondi)
        {
            impostazioni.setValue(QStringLiteral("guidaVista"), true); // the guide would open meanwhile
            stato.setHaTaccaFisica(false);
            router.show();
            if (!QTest::qWaitForWindowExposed(&router))
                return false;
            AttivitaNotch a;
            a.simbolo = QStringLiteral("bell.fill");
            a.titolo = QStringLiteral("Ciao");
            attivita.mostra(a, secondi);
            return true;
        }
        QImage render(const QString& nome)
        {
            root().completaAnimazioni();
            return salvaSuFondo(router, QRect(0, 0, 800, 300), QColor(128, 128, 128), nome);
        }
    };

    QString ini()
    {
        static int n = 0;
        return dir.filePath(QStringLiteral("r%1.ini").arg(++n));
    }

private slots:
    void closedStripOnAnUnnotchedScreen()
    {
        Banco b(ini());
        b.stato.setHaTaccaFisica(false);
        const QImage img = b.render(QStringLiteral("tacca-chiusa-senza-tacca"));
        QVERIFY(qGray(img.pixel(400, 10)) < 70); // translucent dark strip, 310..490
        QVERIFY(qGray(img.pixel(400, 25)) > qGray(img.pixel(380, 25))); // the faint marker
        QCOMPARE(qGray(img.pixel(250, 10)), 128);
        QVERIFY(qGray(img.pixel(400, 60)) > 100); // no card
    }

    void blackStripOverANotch()
    {
        Banco b(ini());
        b.stato.setHaTaccaFisica(true);
        b.stato.setDimensioneCompatta({308, 30.5});
        const QImage img = b.render(QStringLiteral("tacca-chiusa-nera"));
        QCOMPARE(QColor(img.pixel(400, 10)), QColor(Qt::black));
        QCOMPARE(QColor(img.pixel(400, 25)), QColor(Qt::black)); // no marker over a notch
        QCOMPARE(qGray(img.pixel(400, 40)), 128);                  // no shadow either
    }

    void discreetEdgeTab()
    {
        Banco b(ini());
        b.stato.setHaTaccaFisica(false);
        b.stato.setLinguettaAttiva(true);
        const QImage img = b.render(QStringLiteral("tacca-linguetta"));
        QVERIFY(qGray(img.pixel(400, 2)) < 90);
        QVERIFY(qGray(img.pixel(400, 12)) > 100);
    }

    void aNotchToldToOpenWhileClosingMovesOnTheNextTurn()
    {
        Banco b(ini());
        b.stato.aggiornaHover(true);
        b.root().completaAnimazioni();
        const double aperta = b.root().rettangoloTacca().width();
        b.stato.chiudiSubito();
        QCoreApplication::sendPostedEvents(); // one step, no frame timer
        const double chiudendo = b.root().rettangoloTacca().width();
        QVERIFY(chiudendo < aperta);
        b.stato.aggiornaHover(true);
        QCoreApplication::sendPostedEvents(); // not a frame later, when the timer would fire
        QVERIFY(b.root().rettangoloTacca().width() != chiudendo);
    }

    void theOpenContentIsLaidOutOnceAndShownAsAPictureWhileTheNotchMoves()
    {
        Banco b(ini());
        b.stato.setHaTaccaFisica(false);
        b.stato.aggiornaHover(true);
        QCoreApplication::sendPostedEvents(); // one step of the springs
        PannelloAperto* pannello = b.root().pannelloAperto();
        const QSizeF aperta = NotchStateManager::dimensioneScheda(b.stato.activeTab());
        QVERIFY(b.root().rettangoloTacca().width() < aperta.width());
        QCOMPARE(QSizeF(pannello->size()), aperta);
        QVERIFY(qobject_cast<EffettoStrato*>(pannello->graphicsEffect()));
        b.root().completaAnimazioni();
        QCOMPARE(pannello->geometry(), b.root().rettangoloTacca().toAlignedRect());
        QVERIFY(!pannello->graphicsEffect());
    }

    void aRepaintAtRestDrawsTheSamePixels_data()
    {
        QTest::addColumn<QSizeF>("chiusa");
        QTest::addColumn<bool>("aperta");
        QTest::addColumn<int>("scartoAmmesso");
        QTest::newRow("closed") << QSizeF(180, 32) << false << 0;
        QTest::newRow("open") << QSizeF(180, 32) << true << 0;
        // The rim's gradient, worked out from other coordinates, may round a level apart.
        QTest::newRow("closed, between pixels") << QSizeF(308.5, 30.25) << false << 1;
    }

    void aRepaintAtRestDrawsTheSamePixels()
    {
        QFETCH(QSizeF, chiusa);
        QFETCH(bool, aperta);
        QFETCH(int, scartoAmmesso);
        Banco b(ini());
        b.stato.setHaTaccaFisica(false);
        b.stato.setDimensioneCompatta(chiusa);
        b.stato.aggiornaHover(aperta);
        b.root().completaAnimazioni();
        // The first paint draws the shape, the next ones show its kept picture.
        const QImage prima = b.router.grab().toImage();
        QVERIFY(scartoMassimo(b.router.grab().toImage(), prima) <= scartoAmmesso);
        QVERIFY(scartoMassimo(b.router.grab(QRect(300, 0, 200, 60)).toImage(), prima.copy(300, 0, 200, 60)) <= scartoAmmesso);
    }

    void noticeCardHangsUnderTheStripWithItsMarker()
    {
        Banco b(ini());
        b.stato.setHaTaccaFisica(false);
        AttivitaNotch a;
        a.simbolo = QStringLiteral("bell.fill");
        a.titolo = QStringLiteral("Ciao");
        a.dettaglio = QStringLiteral("Dettaglio");
        b.attivita.mostra(a, 3);
        QVERIFY(b.stato.isSchedaVisibile());
        QVERIFY(!b.stato.schedaRichiedeClick()); // a notice shows without taking clicks
        auto* card = qobject_cast<AttivitaCardView*>(b.root().slot()->scheda());
        QVERIFY(card);
        const QRectF carta(card->mapTo(&b.root(), card->rettangoloScheda().topLeft().toPoint()), QSizeF(180, 46));
        QCOMPARE(carta, QRectF(310, 40, 180, 46));
        auto* m = b.root().slot()->marcatore();
        QCOMPARE(QRectF(m->mapTo(&b.root(), QPoint(0, 0)), m->size()), QRectF(310, 32, 180, 54));
        QCOMPARE(m->distaccoSuperiore(), 8.0);
        const QImage img = b.render(QStringLiteral("tacca-avviso"));
        QVERIFY(qGray(img.pixel(400, 63)) < 80);

        b.stato.setState(NotchState::expanded); // an open notch shows no card
        QVERIFY(!b.root().slot()->scheda());
        b.render(QStringLiteral("tacca-aperta"));
        b.stato.setState(NotchState::compact);
        b.clock.advance(3);
        QVERIFY(!b.root().slot()->scheda());
        QVERIFY(!b.stato.isSchedaVisibile());
    }

    void cardsEnterAndLeaveWithATransition()
    {
        Banco b(ini());
        QVERIFY(b.conAvviso(3));
        auto* card = b.root().slot()->scheda();
        QVERIFY(card);
        QVERIFY(!card->isVisible()); // the picture enters, the card waits
        auto* entrata = b.root().findChild<TransizioneScheda*>();
        QVERIFY(entrata);
        // Bounds of what the picture draws, in root coordinates.
        auto disegnato = [&](TransizioneScheda* t, double avanzamento) {
            t->setAvanzamento(avanzamento);
            const QImage img = t->grab().toImage();
            QRect r;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    if (qAlpha(img.pixel(x, y)) > 40)
                        r |= QRect(x, y, 1, 1);
            return r.translated(t->pos());
        };
        const QRect cartaPiena = disegnato(entrata, 1);
        QVERIFY(disegnato(entrata, 0).isEmpty()); // starts transparent
        // Half way it is smaller and higher, about the same top centre.
        entrata->setAvanzamento(0.5);
        const QRect meta = disegnato(entrata, 0.5);
        QVERIFY2(meta.width() < cartaPiena.width() && meta.width() > cartaPiena.width() * 0.84,
                 qPrintable(QStringLiteral("%1 vs %2").arg(meta.width()).arg(cartaPiena.width())));
        QVERIFY(meta.top() < cartaPiena.top());
        QVERIFY(std::abs(meta.center().x() - cartaPiena.center().x()) <= 1);
        QTRY_VERIFY(card->isVisible());
        QVERIFY(!b.root().slot()->inTransizione());

        b.clock.advance(3); // the notice ends: its picture leaves
        QVERIFY(!b.root().slot()->scheda());
        auto* uscita = b.root().findChild<TransizioneScheda*>();
        QVERIFY(uscita);
        const QRect fine = disegnato(uscita, 0.5);
        QVERIFY(fine.width() < cartaPiena.width() && fine.top() >= cartaPiena.top() - 1);
        b.root().completaAnimazioni();
        QVERIFY(!b.root().slot()->inTransizione());
    }

    // The card a closing notch brings back is made between two of its frames,
    // not in the one that brings it; opened again, that card is dropped.
    void aClosingNotchBringsBackTheCardItMadeMeanwhile()
    {
        Banco b(ini());
        QVERIFY(b.conAvviso(600));
        for (bool riapri : {false, true}) {
            b.stato.aggiornaHover(true);
            b.root().completaAnimazioni();
            QVERIFY(!b.root().slot()->scheda()); // an open notch shows no card
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the card that left
            QVERIFY(b.root().slot()->findChildren<AttivitaCardView*>().isEmpty());
            b.stato.chiudiSubito();
            QTRY_VERIFY(!b.root().slot()->findChildren<AttivitaCardView*>().isEmpty());
            QVERIFY(b.root().rettangoloTacca().height() > b.stato.dimensioneCompatta().height() + 1); // still closing
            QVERIFY(!b.root().slot()->scheda());
            QPointer<AttivitaCardView> pronta = b.root().slot()->findChild<AttivitaCardView*>();
            QVERIFY(!pronta->isVisible());
            if (riapri) {
                b.stato.aggiornaHover(true);
                QTRY_VERIFY(!pronta);
                continue;
            }
            QTRY_VERIFY(b.root().slot()->scheda());
            QCOMPARE(b.root().slot()->scheda(), pronta.data());
            QVERIFY(b.root().slot()->inTransizione());
            b.root().completaAnimazioni();
            QVERIFY(pronta->isVisible());
        }
    }

    void theGuideOpensOnTheFirstRunOnly_data()
    {
        QTest::addColumn<bool>("vista");
        QTest::addColumn<bool>("installazione");
        QTest::addColumn<bool>("guida");
        QTest::newRow("first run") << false << false << true;
        QTest::newRow("already seen") << true << false << false;
        QTest::newRow("installation to fix") << false << true << false;
    }
    void theGuideOpensOnTheFirstRunOnly()
    {
        QFETCH(bool, vista);
        QFETCH(bool, installazione);
        QFETCH(bool, guida);
        Banco b(ini());
        if (vista)
            b.impostazioni.setValue(QStringLiteral("guidaVista"), true);
        b.stato.setInstallazioneDaSistemare(installazione);
        b.router.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b.router));
        b.clock.advance(1.19);
        QVERIFY(!b.stato.modalitaGuida());
        b.clock.advance(0.01);
        QCOMPARE(b.stato.modalitaGuida(), guida);
        QCOMPARE(b.root().pannelloAperto()->guida() != nullptr, guida);
        if (!guida)
            return;
        QVERIFY(qobject_cast<GuidaView*>(b.root().pannelloAperto()->guida()));
        // Finishing stores the choice before guide mode ends.
        bool vistaAllUscita = false;
        connect(&b.stato, &NotchStateManager::modalitaGuidaChanged, this, [&] {
            vistaAllUscita = b.impostazioni.boolValue(QStringLiteral("guidaVista"), false);
        });
        emit qobject_cast<GuidaView*>(b.root().pannelloAperto()->guida())->onFine();
        QVERIFY(!b.stato.modalitaGuida());
        QVERIFY(vistaAllUscita);
        QCOMPARE(b.stato.currentState(), NotchState::compact);
    }

    void theSettingsPageLeadsBackAndToTheGuide()
    {
        Banco b(ini());
        b.impostazioni.setValue(QStringLiteral("guidaVista"), true);
        b.stato.setState(NotchState::expanded);
        b.root().setShowSettings(true);
        b.root().completaAnimazioni();
        auto* pagina = qobject_cast<SettingsView*>(b.root().pannelloAperto()->paginaImpostazioni());
        QVERIFY(pagina);
        emit pagina->chiudi();
        QVERIFY(!b.root().showSettings());
        QCOMPARE(b.stato.currentState(), NotchState::expanded);
        b.root().setShowSettings(true);
        b.root().completaAnimazioni();
        pagina = qobject_cast<SettingsView*>(b.root().pannelloAperto()->paginaImpostazioni());
        QVERIFY(pagina);
        emit pagina->rivediGuida();
        QVERIFY(!b.root().showSettings());
        QVERIFY(b.stato.modalitaGuida());
    }

    void anAnnouncedUpdateIsFlaggedAndWithdrawn()
    {
        FakeClock clock;
        NotchStateManager stato{clock};
        AttivitaManager attivita{clock};
        UserDefaults impostazioni(ini());
        X11Desktop desktop;
        LettoreFeedFinto lettore;
        FabbricaManager f;
        f.aggiornamento = [&] {
            AggiornamentoManager::Opzioni o;
            o.versioneInUso = QStringLiteral("2.0");
            o.apriURL = [](const QUrl&) {};
            return std::make_unique<AggiornamentoManager>(impostazioni, clock, lettore, nullptr, o);
        };
        RootNotchView root(stato, attivita, QSize(800, 600),
                           {clock, impostazioni, desktop, NotchGeometry::Posizione::corrente(), {}, std::move(f)});
        QCOMPARE(lettore.richieste, 1); // the check when the view is built
        lettore.rispondi(QByteArray("{\"versione\":\"2.1\",\"download\":\"https://halvora.app/v\"}"));
        QVERIFY(stato.aggiornamentoDaMostrare());
        // A later check that finds nothing newer withdraws it.
        root.aggiornamentoManager()->controllaAggiornamenti(true);
        lettore.rispondi(QByteArray("{\"versione\":\"2.0\",\"download\":\"https://halvora.app/v\"}"));
        QVERIFY(root.aggiornamentoManager()->versioneDisponibile().isEmpty());
        QVERIFY(!stato.aggiornamentoDaMostrare());
    }

    void tintedNoticeWithoutDetail()
    {
        AttivitaNotch a;
        a.simbolo = QStringLiteral("battery.50");
        a.titolo = QStringLiteral("Alimentazione a batteria");
        a.tinta = QColor(255, 149, 0);
        AttivitaCardView v(a);
        salvaRender(v, QStringLiteral("avviso-tinto"));
        QCOMPARE(v.size(), QSize(180 + 52, 46 + 52));
    }
};

QTEST_MAIN(TestRootNotchView)
#include "tst_RootNotchView.moc"
