#include "ClipboardManager.h"
#include "DesktopEntries.h"
#include "X11Pasteboard.h"
#include "SystemClock.h"
#include "UserDefaults.h"
#include "X11Desktop.h"
#include "X11FrontApplication.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <future>
#include <memory>

// The real clipboard on a private X server, with other X clients copying.
class TestX11Pasteboard : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::vector<std::unique_ptr<QProcess>> offerte;

    // xclip stays behind (forked) as the owner until someone else copies.
    static bool xclip(const QByteArray& testo, const QStringList& altro = {}, int attesaMs = 5000)
    {
        QProcess p;
        p.start(QStringLiteral("xclip"), QStringList{"-selection", "clipboard"} + altro);
        if (!p.waitForStarted(5000))
            return false;
        p.write(testo);
        p.closeWriteChannel();
        return p.waitForFinished(attesaMs) && p.exitCode() == 0;
    }
    static QByteArray incolla(int attesaMs = 5000)
    {
        QProcess p;
        p.start(QStringLiteral("xclip"), {"-selection", "clipboard", "-o"});
        // When we own the clipboard our event loop has to answer xclip's request.
        QElapsedTimer t;
        t.start();
        while (!p.waitForFinished(10) && t.elapsed() < attesaMs)
            QCoreApplication::processEvents();
        return p.readAllStandardOutput();
    }
    bool offri(const QString& testo, bool segreto)
    {
        auto p = std::make_unique<QProcess>();
        QStringList argomenti{testo};
        if (segreto)
            argomenti << QStringLiteral("--segreto");
        p->start(QStringLiteral(HALVORA_OFFERTA_APPUNTI), argomenti);
        if (!p->waitForStarted(5000) || !p->waitForReadyRead(10000))
            return false;
        const bool pronto = p->readLine().trimmed() == "pronto";
        offerte.push_back(std::move(p));
        return pronto;
    }

private slots:
    void cleanupTestCase()
    {
        for (auto& p : offerte) {
            p->kill();
            p->waitForFinished(2000);
        }
    }

    // A reading made on another thread, while this one serves our own clipboard.
    static Pasteboard::Contenuto leggiAParte(const X11Pasteboard& pb, const QStringList& formati = {})
    {
        auto lettura = std::async(std::launch::async, [&] { return pb.leggi(formati); });
        while (lettura.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
            QCoreApplication::processEvents();
        return lettura.get();
    }

    void counterFollowsOtherClientsAndOurWritesOnce()
    {
        X11Pasteboard pb;
        QVERIFY(pb.segnalaCambi());
        QSignalSpy annunci(&pb, &Pasteboard::contatoreCambiato);
        const qint64 inizio = pb.changeCount();
        QVERIFY(xclip("da xclip"));
        QTRY_VERIFY_WITH_TIMEOUT(pb.changeCount() > inizio, 2000);
        QVERIFY(!annunci.isEmpty());
        Pasteboard::Contenuto c = pb.leggi();
        QCOMPARE(c.testo, std::optional<QByteArray>("da xclip"));
        QVERIFY(c.tipi.contains(QStringLiteral("UTF8_STRING")));

        const qint64 prima = pb.changeCount();
        pb.setString(QStringLiteral("nostro è"));
        QCOMPARE(pb.changeCount(), prima + 1);
        QCOMPARE(incolla(), QByteArray("nostro è"));
        QCOMPARE(leggiAParte(pb).testo, std::optional<QByteArray>("nostro è"));
        QTest::qWait(200); // any late announcement of our own write would land here
        QCOMPARE(pb.changeCount(), prima + 1);

        QVERIFY(xclip("secret", {"-t", "x-kde-passwordManagerHint"}));
        QTRY_VERIFY_WITH_TIMEOUT(pb.changeCount() > prima + 1, 2000);
        c = pb.leggi({QStringLiteral("x-kde-passwordManagerHint")});
        QVERIFY(c.tipi.contains(QStringLiteral("x-kde-passwordManagerHint")));
        QCOMPARE(c.dati.value(QStringLiteral("x-kde-passwordManagerHint")), QByteArray("secret"));
        QVERIFY(!c.testo.has_value());
    }

    // A text larger than one request comes in increments; an owner that
    // goes leaves an empty clipboard, announced like any change.
    void largeTextsArriveWholeAndAnOwnerLeavingIsAnnounced()
    {
        X11Pasteboard pb;
        QByteArray grande;
        for (int i = 0; grande.size() < 3 << 20; ++i)
            grande += "riga " + QByteArray::number(i) + " àè\n";
        QVERIFY(xclip(grande));
        QTRY_COMPARE_WITH_TIMEOUT(pb.leggi().testo.value_or(QByteArray()).size(), grande.size(), 5000);
        QCOMPARE(pb.leggi().testo, std::optional<QByteArray>(grande));

        QProcess proprietario;
        proprietario.start(QStringLiteral("xclip"), {"-selection", "clipboard", "-quiet"});
        QVERIFY(proprietario.waitForStarted(5000));
        proprietario.write("di passaggio");
        proprietario.closeWriteChannel();
        QTRY_COMPARE_WITH_TIMEOUT(pb.leggi().testo, std::optional<QByteArray>("di passaggio"), 5000);
        const qint64 prima = pb.changeCount();
        proprietario.kill();
        proprietario.waitForFinished(5000);
        QTRY_VERIFY_WITH_TIMEOUT(pb.changeCount() > prima, 2000);
        const Pasteboard::Contenuto vuoto = pb.leggi();
        QVERIFY(vuoto.tipi.isEmpty());
        QVERIFY(!vuoto.testo.has_value());
    }

    // A text beyond what a reading takes is left out, and its owner goes on
    // serving it whole to everyone else.
    void aCopyTooLargeToTakeStaysPastable()
    {
        X11Pasteboard pb;
        QByteArray enorme(Pasteboard::kMassimoByte + (1 << 20), 'x');
        enorme += "fine";
        QVERIFY(xclip(enorme, {}, 60000));
        QTRY_VERIFY_WITH_TIMEOUT(!pb.leggi().tipi.isEmpty(), 5000);
        const Pasteboard::Contenuto c = pb.leggi();
        QVERIFY(c.tipi.contains(QStringLiteral("UTF8_STRING")));
        QVERIFY(!c.testo.has_value());
        const QByteArray incollato = incolla(60000);
        QCOMPARE(incollato.size(), enorme.size());
        QVERIFY(incollato == enorme);
    }

    void copiesOfOtherClientsAreCapturedUnlessMarkedSecret()
    {
        X11Pasteboard pb;
        const qint64 inizio = pb.changeCount();
        QVERIFY(xclip("presente all'avvio"));
        QTRY_VERIFY_WITH_TIMEOUT(pb.changeCount() > inizio, 2000);
        X11Desktop desktop;
        const auto voci = DesktopEntries::daCartelle({dir.path()});
        X11FrontApplication front(desktop, voci);
        UserDefaults defaults(dir.filePath("d.ini"));
        SystemClock clock;
        ClipboardManager m(pb, front, defaults, clock);

        QElapsedTimer t;
        QVERIFY(xclip("  copiato da xclip\n"));
        t.start();
        QTRY_COMPARE_WITH_TIMEOUT(m.copiedItems(), QStringList{"copiato da xclip"}, 1000);
        QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));

        QVERIFY(offri(QStringLiteral("password-kde"), true));
        QTRY_VERIFY_WITH_TIMEOUT(
            m.concealedFingerprints().contains(ClipboardManager::fingerprint("password-kde")), 2000);
        QCOMPARE(m.copiedItems(), QStringList{"copiato da xclip"});

        // The same helper without the hint is captured, so the hint alone kept it out.
        QVERIFY(offri(QStringLiteral("testo-qt"), false));
        QTRY_COMPARE_WITH_TIMEOUT(m.copiedItems().value(0), QStringLiteral("testo-qt"), 2000);

        // Copying back does not bring a row to the top again.
        m.copyToClipboard(QStringLiteral("copiato da xclip"));
        QCOMPARE(incolla(), QByteArray("copiato da xclip"));
        QVERIFY(xclip("dopo"));
        QTRY_COMPARE_WITH_TIMEOUT(m.copiedItems().value(0), QStringLiteral("dopo"), 2000);
        QCOMPARE(m.copiedItems(), (QStringList{"dopo", "testo-qt", "copiato da xclip"}));
    }
};

QTEST_MAIN(TestX11Pasteboard)
#include "tst_X11Pasteboard.moc"
