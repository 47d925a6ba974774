#include "WaylandPasteboard.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

// The selection of a headless sway session, with Wayland programs (wl-copy,
// wl-paste) copying and pasting beside us.
class TestWaylandPasteboard : public QObject {
    Q_OBJECT

    // wl-copy serves its copy from the background until someone else copies.
    static bool copia(const QByteArray& testo, const QStringList& altro = {})
    {
        QProcess p;
        p.start(QStringLiteral("wl-copy"), altro);
        p.write(testo); // kept until the program reads it
        p.closeWriteChannel();
        return p.waitForFinished(5000) && p.exitCode() == 0;
    }
    static QByteArray incolla()
    {
        QProcess p;
        p.start(QStringLiteral("wl-paste"), {QStringLiteral("--no-newline")});
        p.waitForFinished(5000);
        return p.readAllStandardOutput();
    }

private slots:
    void followsNativeCopiesAndOffersOursToNativePrograms()
    {
        QVERIFY(copia("presente all'avvio"));
        WaylandPasteboard pb;
        QVERIFY(pb.attivo());
        QVERIFY(pb.segnalaCambi());
        QSignalSpy annunci(&pb, &Pasteboard::contatoreCambiato);
        const qint64 inizio = pb.changeCount();
        QTest::qWait(200);
        QCOMPARE(pb.changeCount(), inizio); // what was there at the start is no change

        // A large text, read whole through its pipe.
        QByteArray grande;
        for (int i = 0; grande.size() < 3 << 20; ++i)
            grande += "riga " + QByteArray::number(i) + " àè\n";
        QVERIFY(copia(grande));
        QTRY_VERIFY_WITH_TIMEOUT(pb.changeCount() > inizio, 2000);
        QTRY_VERIFY(!annunci.isEmpty());
        Pasteboard::Contenuto c = pb.leggi();
        QCOMPARE(c.testo, std::optional<QByteArray>(grande));
        QVERIFY(c.tipi.contains(QStringLiteral("text/plain;charset=utf-8")));

        // Ours: counted once when made, read back by a native program.
        const qint64 prima = pb.changeCount();
        pb.setString(QStringLiteral("nostro è"));
        QCOMPARE(pb.changeCount(), prima + 1);
        QCOMPARE(incolla(), QByteArray("nostro è"));
        QCOMPARE(pb.leggi().testo, std::optional<QByteArray>("nostro è"));
        QVERIFY(!pb.leggi().tipi.contains(WaylandPasteboard::kTipoProprio));
        QTest::qWait(200); // the compositor's return of our own copy would land here
        QCOMPARE(pb.changeCount(), prima + 1);

        // A password manager's hint is read with its bytes.
        QVERIFY(copia("secret", {QStringLiteral("--type"), QStringLiteral("x-kde-passwordManagerHint")}));
        QTRY_VERIFY_WITH_TIMEOUT(pb.changeCount() > prima + 1, 2000);
        c = pb.leggi({QStringLiteral("x-kde-passwordManagerHint")});
        QCOMPARE(c.dati.value(QStringLiteral("x-kde-passwordManagerHint")), QByteArray("secret"));
        QVERIFY(!c.testo.has_value());

        // A cleared selection offers nothing.
        const qint64 piena = pb.changeCount();
        QCOMPARE(QProcess::execute(QStringLiteral("wl-copy"), {QStringLiteral("--clear")}), 0);
        QTRY_VERIFY_WITH_TIMEOUT(pb.changeCount() > piena, 2000);
        QVERIFY(pb.leggi().tipi.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestWaylandPasteboard)
#include "tst_WaylandPasteboard.moc"
