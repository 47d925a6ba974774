#include "DropManager.h"
#include "FakeClock.h"
#include "InvioKdeConnect.h"
#include "SmartTrayView.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
// Stands in for KDE Connect's client: logs its arguments, lists the
// devices of $FINTO_DISPOSITIVI, fails a share of a file named in
// $FINTO_RIFIUTA, or hangs when $FINTO_APPESO is set.
const char* const kClientFinto = R"(#!/bin/sh
echo "$*" >> "$FINTO_LOG"
[ -n "$FINTO_APPESO" ] && exec sleep 60
case "$1" in
  --list-available) printf "%b" "$FINTO_DISPOSITIVI"; exit "${FINTO_USCITA:-0}" ;;
  --device) [ "$4" = "$FINTO_RIFIUTA" ] && exit 1; exit 0 ;;
esac
exit 2
)";
} // namespace

class TestInvioKdeConnect : public QObject {
    Q_OBJECT
    QTemporaryDir bin;
    QTemporaryDir vuota;
    QTemporaryDir file;
    QByteArray pathOriginale = qgetenv("PATH");
    FakeClock clock;

    QStringList registro()
    {
        QFile f(bin.filePath(QStringLiteral("log")));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    std::optional<bool> disponibile(InvioKdeConnect& invio, const QStringList& percorsi)
    {
        std::optional<bool> risposta;
        invio.puoInviare(percorsi, [&](bool r) { risposta = r; });
        return risposta;
    }
    QString nuovoFile(const QString& nome)
    {
        QFile f(file.filePath(nome));
        f.open(QIODevice::WriteOnly);
        f.write("x");
        return f.fileName();
    }

private slots:
    void initTestCase()
    {
        QFile client(bin.filePath(QStringLiteral("kdeconnect-cli")));
        QVERIFY(client.open(QIODevice::WriteOnly));
        client.write(kClientFinto);
        client.close();
        client.setPermissions(client.permissions() | QFile::ExeOwner);
        qputenv("FINTO_LOG", QFile::encodeName(bin.filePath(QStringLiteral("log"))));
    }
    void init()
    {
        QFile::remove(bin.filePath(QStringLiteral("log")));
        qputenv("PATH", QFile::encodeName(bin.path()) + ':' + pathOriginale);
        qunsetenv("FINTO_APPESO");
        qunsetenv("FINTO_USCITA");
        qunsetenv("FINTO_RIFIUTA");
        qputenv("FINTO_DISPOSITIVI", "a1b2c3\\nd4e5f6\\n");
    }
    void cleanupTestCase() { qputenv("PATH", pathOriginale); }

    void availability_data()
    {
        QTest::addColumn<QByteArray>("dispositivi");
        QTest::addColumn<QByteArray>("uscita");
        QTest::addColumn<bool>("atteso");
        QTest::newRow("one device") << QByteArray("a1b2c3\\n") << QByteArray("0") << true;
        QTest::newRow("no device") << QByteArray("") << QByteArray("0") << false;
        QTest::newRow("blank lines only") << QByteArray("\\n  \\n") << QByteArray("0") << false;
        QTest::newRow("client fails") << QByteArray("a1b2c3\\n") << QByteArray("1") << false;
    }
    void availability()
    {
        QFETCH(QByteArray, dispositivi);
        QFETCH(QByteArray, uscita);
        QFETCH(bool, atteso);
        qputenv("FINTO_DISPOSITIVI", dispositivi);
        qputenv("FINTO_USCITA", uscita);
        InvioKdeConnect invio(clock);
        std::optional<bool> risposta;
        invio.puoInviare({nuovoFile(QStringLiteral("a"))}, [&](bool r) { risposta = r; });
        QTRY_VERIFY(risposta.has_value());
        QCOMPARE(*risposta, atteso);
        QCOMPARE(registro(), QStringList{QStringLiteral("--list-available --id-only")});
    }

    void withoutTheClientNothingIsAvailable()
    {
        qputenv("PATH", QFile::encodeName(vuota.path()));
        InvioKdeConnect invio(clock);
        QCOMPARE(disponibile(invio, {nuovoFile(QStringLiteral("a"))}), std::optional<bool>(false));
        invio.invia({nuovoFile(QStringLiteral("a"))});
        QVERIFY(registro().isEmpty());
    }

    void aClientThatHangsCountsAsUnavailable()
    {
        qputenv("FINTO_APPESO", "1");
        InvioKdeConnect invio(clock);
        std::optional<bool> risposta;
        invio.puoInviare({nuovoFile(QStringLiteral("a"))}, [&](bool r) { risposta = r; });
        QTRY_COMPARE(registro().size(), 1);
        clock.advance(InvioKdeConnect::kAttesaMassima - 0.1);
        QVERIFY(!risposta);
        clock.advance(0.2);
        QCOMPARE(risposta, std::optional<bool>(false));
        // The killed client is reaped and released.
        QTRY_VERIFY(invio.findChildren<QProcess*>().isEmpty());
    }

    void eachExistingFileGoesToTheFirstDeviceInOrder()
    {
        const QString a = nuovoFile(QStringLiteral("uno.pdf"));
        const QString b = nuovoFile(QStringLiteral("due.png"));
        const QString c = nuovoFile(QStringLiteral("tre.txt"));
        qputenv("FINTO_RIFIUTA", QFile::encodeName(b));
        InvioKdeConnect invio(clock);
        DropManager m(invio);
        m.inviaConAirDrop({QUrl::fromLocalFile(a), QUrl::fromLocalFile(file.filePath(QStringLiteral("manca"))),
                           QUrl::fromLocalFile(b), QUrl::fromLocalFile(c)});
        // A refused file does not stop the ones after it.
        QTRY_COMPARE(registro().size(), 4);
        QCOMPARE(registro(), (QStringList{QStringLiteral("--list-available --id-only"),
                                          QStringLiteral("--device a1b2c3 --share ") + a,
                                          QStringLiteral("--device a1b2c3 --share ") + b,
                                          QStringLiteral("--device a1b2c3 --share ") + c}));
        QTRY_VERIFY(invio.findChildren<QProcess*>().isEmpty());
    }

    void theTabShowsTheShareButtonOnlyWithADevice_data()
    {
        QTest::addColumn<QByteArray>("dispositivi");
        QTest::addColumn<bool>("visibile");
        QTest::newRow("device") << QByteArray("a1b2c3\\n") << true;
        QTest::newRow("none") << QByteArray() << false;
    }
    void theTabShowsTheShareButtonOnlyWithADevice()
    {
        QFETCH(QByteArray, dispositivi);
        QFETCH(bool, visibile);
        qputenv("FINTO_DISPOSITIVI", dispositivi);
        InvioKdeConnect invio(clock);
        DropManager m(invio);
        m.addToTray(QUrl::fromLocalFile(nuovoFile(QStringLiteral("a.pdf"))));
        SmartTrayView vista(m);
        vista.resize(vista.sizeHint());
        QTRY_COMPARE(registro().size(), 1);
        QTRY_COMPARE(vista.airDropDisponibile(), visibile);
        QTest::qWait(20);
        QCOMPARE(vista.rettangolo(SmartTrayView::Controllo::invio).isEmpty(), !visibile);
        QTRY_VERIFY(invio.findChildren<QProcess*>().isEmpty());
    }

    void nothingIsSentWithoutADevice()
    {
        qputenv("FINTO_DISPOSITIVI", "");
        InvioKdeConnect invio(clock);
        DropManager m(invio);
        std::optional<bool> risposta;
        const QUrl a = QUrl::fromLocalFile(nuovoFile(QStringLiteral("a")));
        m.puoInviareConAirDrop({a}, [&](bool r) { risposta = r; });
        QTRY_VERIFY(risposta.has_value());
        QVERIFY(!*risposta);
        m.inviaConAirDrop({a});
        QTRY_COMPARE(registro().size(), 2);
        QTest::qWait(50);
        QCOMPARE(registro(), (QStringList{QStringLiteral("--list-available --id-only"),
                                          QStringLiteral("--list-available --id-only")}));
    }
};

QTEST_MAIN(TestInvioKdeConnect)
#include "tst_InvioKdeConnect.moc"
