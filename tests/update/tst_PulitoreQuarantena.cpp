#include "FakeClock.h"
#include "PulitoreQuarantena.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// Stand-in services: shell scripts that answer on descriptor 3 (or not).
class TestPulitoreQuarantena : public QObject {
    Q_OBJECT
    QTemporaryDir cartella;

    QString servizio(const char* nome, const QByteArray& corpo)
    {
        const QString p = cartella.filePath(QString::fromLatin1(nome));
        QFile f(p);
        if (!f.open(QIODevice::WriteOnly) || f.write("#!/bin/sh\n" + corpo + '\n') <= 0)
            return {};
        f.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        return p;
    }

    struct Risposte {
        QList<bool> valori;
        std::function<void(bool)> raccogli() { return [this](bool v) { valori << v; }; }
    };

private slots:
    void oneAnswerPerCall_data()
    {
        QTest::addColumn<QByteArray>("corpo");
        QTest::addColumn<bool>("attesa");
        QTest::newRow("yes") << QByteArray("printf '\\001' >&3") << true;
        QTest::newRow("no") << QByteArray("printf '\\000' >&3") << false;
        QTest::newRow("closes without answering") << QByteArray("exec 3>&-; exec sleep 5") << false;
        QTest::newRow("crashes") << QByteArray("kill -SEGV $$") << false;
        QTest::newRow("answers and crashes") << QByteArray("printf '\\001' >&3; kill -SEGV $$") << true;
        QTest::newRow("missing") << QByteArray() << false;
    }
    void oneAnswerPerCall()
    {
        QFETCH(QByteArray, corpo);
        QFETCH(bool, attesa);
        const QString s = corpo.isEmpty() ? cartella.filePath(QStringLiteral("assente")) : servizio(QTest::currentDataTag(), corpo);
        FakeClock clock;
        Risposte r;
        PulitoreQuarantena::pulisci(QStringLiteral("/x/Halvora.app"), r.raccogli(), {&clock, s});
        QVERIFY(r.valori.isEmpty()); // never before returning
        QTRY_COMPARE(r.valori.size(), 1);
        QCOMPARE(r.valori.first(), attesa);
        clock.advance(PulitoreQuarantena::kAttesa);
        QTest::qWait(100);
        QCOMPARE(r.valori.size(), 1);
    }

    void aLateAnswerIsFalseOnceAtTenSeconds()
    {
        FakeClock clock;
        Risposte r;
        const QString s = servizio("tardi", "sleep 1; printf '\\001' >&3");
        PulitoreQuarantena::pulisci(QStringLiteral("/x/Halvora.app"), r.raccogli(), {&clock, s});
        clock.advance(PulitoreQuarantena::kAttesa - 0.01);
        QTest::qWait(50);
        QVERIFY(r.valori.isEmpty());
        clock.advance(0.01);
        QTRY_COMPARE(r.valori, QList<bool>{false});
        QTest::qWait(1500); // past the late answer
        QCOMPARE(r.valori, QList<bool>{false});
    }

    void twoCallsGetTwoAnswers()
    {
        FakeClock clock;
        Risposte si, no;
        const QString s = servizio("secondo", "sleep 0.3; printf '\\001' >&3");
        const QString n = servizio("primo", "printf '\\000' >&3");
        PulitoreQuarantena::pulisci(QStringLiteral("/a.app"), si.raccogli(), {&clock, s});
        PulitoreQuarantena::pulisci(QStringLiteral("/b.app"), no.raccogli(), {&clock, n});
        QTRY_COMPARE(si.valori, QList<bool>{true});
        QCOMPARE(no.valori, QList<bool>{false});
    }
};

QTEST_GUILESS_MAIN(TestPulitoreQuarantena)
#include "tst_PulitoreQuarantena.moc"
