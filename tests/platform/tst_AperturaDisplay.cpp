// Why a display does not open, against a real X server that asks for a
// cookie (Xvfb with -auth), as a desktop's display refuses another user.
#include "AperturaDisplay.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestAperturaDisplay : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QProcess server_;
    QByteArray display_;
    QByteArray liberoDisplay_;

    static bool occupato(int n) { return QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)); }

private slots:
    void initTestCase()
    {
        int n = 300;
        while (occupato(n) || QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
            ++n;
        display_ = ':' + QByteArray::number(n);
        int libero = n + 1;
        while (occupato(libero))
            ++libero;
        liberoDisplay_ = ':' + QByteArray::number(libero);
        const QString cookie = dir_.filePath(QStringLiteral("cookie"));
        QCOMPARE(QProcess::execute(QStringLiteral("xauth"), {QStringLiteral("-q"), QStringLiteral("-f"), cookie,
                                                             QStringLiteral("add"), QString::fromLatin1(display_),
                                                             QStringLiteral("."), QStringLiteral("0123456789abcdef0123456789abcdef")}),
                 0);
        server_.start(QStringLiteral("Xvfb"), {QString::fromLatin1(display_), QStringLiteral("-auth"), cookie,
                                               QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        QVERIFY(server_.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(occupato(n), 30000);
    }
    void cleanupTestCase()
    {
        server_.terminate();
        server_.waitForFinished();
    }

    void saysWhyInOneLine_data()
    {
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QString>("cookie");
        QTest::addColumn<QString>("motivo");
        QTest::newRow("none set") << QByteArray() << QString() << "DISPLAY is not set";
        QTest::newRow("not a name") << QByteArray("schermo") << QString() << "not a display name";
        QTest::newRow("nobody there") << QByteArray("free") << QString() << "nothing answers on :";
        QTest::newRow("refused") << QByteArray("ours") << QStringLiteral("altro") << "refuses user";
        QTest::newRow("authorised") << QByteArray("ours") << QStringLiteral("cookie") << QString();
    }
    void saysWhyInOneLine()
    {
        QFETCH(QByteArray, display);
        QFETCH(QString, cookie);
        QFETCH(QString, motivo);
        if (display == "ours")
            display = display_;
        else if (display == "free")
            display = liberoDisplay_;
        qputenv("XAUTHORITY", dir_.filePath(cookie).toLocal8Bit());
        const auto ostacolo = AperturaDisplay::ostacolo(display);
        if (motivo.isEmpty()) {
            QVERIFY2(!ostacolo, qPrintable(ostacolo.value_or(QString())));
            return;
        }
        QVERIFY(ostacolo);
        QVERIFY2(ostacolo->contains(motivo), qPrintable(*ostacolo));
        QVERIFY(!ostacolo->contains(QLatin1Char('\n')));
    }
};

QTEST_GUILESS_MAIN(TestAperturaDisplay)
#include "tst_AperturaDisplay.moc"
