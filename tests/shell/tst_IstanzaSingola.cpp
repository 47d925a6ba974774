#include "IstanzaSingola.h"

#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

// A later launch runs in another process; here it runs on a thread, since
// handing over blocks until the running copy has read the message.
class TestIstanzaSingola : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    QString nome(const char* n) { return dir.filePath(QString::fromLatin1(n)); }

    static bool consegnaDaAltroThread(const QString& nome, const QStringList& testi)
    {
        bool esito = false;
        QThread* t = QThread::create([&] { esito = IstanzaSingola(nome).consegnaAllaPrimaIstanza(testi); });
        t->start();
        while (!t->isFinished())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        delete t;
        return esito;
    }

private slots:
    void laterLaunchHandsItsTextsOver()
    {
        IstanzaSingola prima(nome("a"));
        QVERIFY(prima.diventaPrima());
        QSignalSpy spy(&prima, &IstanzaSingola::testiRicevuti);
        const QStringList testi{QStringLiteral("halvora://attivita?titolo=Ciao"), QStringLiteral("àèì\n2")};
        QVERIFY(consegnaDaAltroThread(nome("a"), testi));
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.first().first().toStringList(), testi);
    }

    void nobodyRunningMeansBecomeTheFirst()
    {
        IstanzaSingola sola(nome("b"));
        QVERIFY(!sola.consegnaAllaPrimaIstanza({QStringLiteral("x")}, 200));
        QVERIFY(sola.diventaPrima());
    }

    void leftoverSocketFileIsTakenOver()
    {
        {
            QFile f(nome("c"));
            QVERIFY(f.open(QIODevice::WriteOnly)); // a copy that died left its file
        }
        IstanzaSingola nuova(nome("c"));
        QVERIFY(!nuova.consegnaAllaPrimaIstanza({}, 200));
        QVERIFY(nuova.diventaPrima());
        QVERIFY(nuova.inAscolto());
    }

    void releaseLetsANewLaunchTakeOverAndResumeTakesItBack()
    {
        IstanzaSingola vecchia(nome("d"));
        QVERIFY(vecchia.diventaPrima());
        vecchia.rilascia();
        QVERIFY(!vecchia.inAscolto());
        {
            IstanzaSingola nuova(nome("d"));
            QVERIFY(!nuova.consegnaAllaPrimaIstanza({}, 200));
            QVERIFY(nuova.diventaPrima());
        } // the new launch failed and went away
        QVERIFY(vecchia.riprendi());
        QSignalSpy spy(&vecchia, &IstanzaSingola::testiRicevuti);
        QVERIFY(consegnaDaAltroThread(nome("d"), {QStringLiteral("u")}));
        QTRY_COMPARE(spy.count(), 1);
    }

    void oversizedMessageIsDropped()
    {
        IstanzaSingola prima(nome("e"));
        QVERIFY(prima.diventaPrima());
        QSignalSpy spy(&prima, &IstanzaSingola::testiRicevuti);
        const QString enorme(IstanzaSingola::kMassimoByte + 10, QLatin1Char('a'));
        consegnaDaAltroThread(nome("e"), {enorme});
        QTest::qWait(100);
        QCOMPARE(spy.count(), 0);
        QVERIFY(consegnaDaAltroThread(nome("e"), {QStringLiteral("dopo")})); // still serving
        QTRY_COMPARE(spy.count(), 1);
    }
};

QTEST_MAIN(TestIstanzaSingola)
#include "tst_IstanzaSingola.moc"
