#include "CameraManager.h"
#include "FakeCamera.h"

#include <QSignalSpy>
#include <QTest>
#include <thread>

class TestCameraManager : public QObject {
    Q_OBJECT

    std::shared_ptr<StatoCameraFinta> s_;
    std::unique_ptr<CameraManager> m_;

    // Lets the session thread run what was queued, then the GUI thread what it posted back.
    void attendi()
    {
        m_->attendiCodaSessione();
        QCoreApplication::sendPostedEvents();
        m_->attendiCodaSessione();
        QCoreApplication::sendPostedEvents();
    }

private slots:
    void init()
    {
        s_ = std::make_shared<StatoCameraFinta>();
        m_ = std::make_unique<CameraManager>(std::make_unique<FakeSessioneCamera>(s_));
    }
    void cleanup() { m_.reset(); }

    void startRunsTheSessionOnce()
    {
        QSignalSpy inEsecuzione(m_.get(), &CameraManager::isSessionRunningChanged);
        m_->avviaSessione();
        attendi();
        QVERIFY(m_->isSessionRunning());
        QVERIFY(!m_->nessunaCamera());
        QVERIFY(!m_->permissionDenied());
        QCOMPARE(s_->richieste.load(), 0);
        m_->avviaSessione();
        attendi();
        QCOMPARE(s_->aggiunte.load(), 1);
        QCOMPARE(s_->avvii.load(), 1);
        QCOMPARE(inEsecuzione.count(), 1); // the republish of an unchanged value notifies nobody
    }

    void accessDeniedTouchesNoSession_data()
    {
        QTest::addColumn<int>("autorizzazione");
        QTest::newRow("denied") << int(AutorizzazioneCamera::negata);
        QTest::newRow("restricted") << int(AutorizzazioneCamera::limitata);
    }
    void accessDeniedTouchesNoSession()
    {
        QFETCH(int, autorizzazione);
        s_->autorizzazione = AutorizzazioneCamera(autorizzazione);
        m_->avviaSessione();
        attendi();
        QVERIFY(m_->permissionDenied());
        QVERIFY(!m_->isSessionRunning());
        QCOMPARE(s_->richieste.load(), 0);
        QCOMPARE(s_->aggiunte.load(), 0);
    }

    void firstStartAsks_data()
    {
        QTest::addColumn<bool>("concesso");
        QTest::newRow("granted") << true;
        QTest::newRow("refused") << false;
    }
    void firstStartAsks()
    {
        QFETCH(bool, concesso);
        s_->autorizzazione = AutorizzazioneCamera::nonDeterminata;
        m_->avviaSessione();
        attendi();
        QCOMPARE(s_->richieste.load(), 1);
        QVERIFY(!m_->isSessionRunning());
        // The answer comes on a thread of the platform's.
        std::thread([this, concesso] { s_->risposta(concesso); }).join();
        attendi();
        QCOMPARE(m_->isSessionRunning(), concesso);
        QCOMPARE(m_->permissionDenied(), !concesso);
        QCOMPARE(s_->aggiunte.load(), concesso ? 1 : 0);
    }

    void grantAfterAnEarlierRefusalClearsTheFlag()
    {
        s_->autorizzazione = AutorizzazioneCamera::negata;
        m_->avviaSessione();
        attendi();
        QVERIFY(m_->permissionDenied());
        // An authorised status alone keeps the flag: only a grant through the question clears it.
        s_->autorizzazione = AutorizzazioneCamera::autorizzata;
        m_->avviaSessione();
        attendi();
        QVERIFY(m_->isSessionRunning());
        QVERIFY(m_->permissionDenied());
    }

    void noCameraThenACameraArrives()
    {
        s_->esito = EsitoIngresso::nessunDispositivo;
        m_->avviaSessione();
        attendi();
        QVERIFY(m_->nessunaCamera());
        QVERIFY(!m_->isSessionRunning());
        QCOMPARE(s_->avvii.load(), 0);
        s_->esito = EsitoIngresso::aggiunto;
        m_->avviaSessione();
        attendi();
        QVERIFY(!m_->nessunaCamera());
        QVERIFY(m_->isSessionRunning());
    }

    void aDeviceThatRefusesToOpenIsDeniedAccess()
    {
        s_->esito = EsitoIngresso::permessoNegato;
        m_->avviaSessione();
        attendi();
        QVERIFY(m_->permissionDenied());
        QVERIFY(!m_->nessunaCamera());
        QVERIFY(!m_->isSessionRunning());
    }

    void stopWhileStoppedPublishesNothing()
    {
        QSignalSpy inEsecuzione(m_.get(), &CameraManager::isSessionRunningChanged);
        m_->fermaSessione();
        m_->fermaSessione();
        attendi();
        QVERIFY(!m_->isSessionRunning());
        QCOMPARE(inEsecuzione.count(), 0);
    }

    void stopQueuedAfterStartWins()
    {
        m_->avviaSessione();
        m_->fermaSessione();
        attendi();
        QVERIFY(!m_->isSessionRunning());
        QCOMPARE(s_->avvii.load(), 1);
        QCOMPARE(s_->fermate.load(), 1);
        QCOMPARE(s_->ingressi.load(), 0);
        // Starting again builds the input anew.
        m_->avviaSessione();
        attendi();
        QVERIFY(m_->isSessionRunning());
        QCOMPARE(s_->aggiunte.load(), 2);
    }

    void releaseStopsTheSessionAndDropsLateAnswers()
    {
        s_->autorizzazione = AutorizzazioneCamera::nonDeterminata;
        m_->avviaSessione();
        attendi();
        s_->autorizzazione = AutorizzazioneCamera::autorizzata;
        m_->avviaSessione(); // runs on the second start: the first still waits for its answer
        attendi();
        QVERIFY(m_->isSessionRunning());
        m_.reset();
        QVERIFY(s_->rilasciata);
        QVERIFY(!s_->inEsecuzione);
        QCOMPARE(s_->ingressi.load(), 0);
        // The answer to the first question arrives after the manager is gone.
        s_->risposta(true);
        QCoreApplication::sendPostedEvents();
        QCOMPARE(s_->aggiunte.load(), 1);
    }
};

QTEST_GUILESS_MAIN(TestCameraManager)
#include "tst_CameraManager.moc"
