#include "PresentazioneUsoIA.h"
#include "Traduzioni.h"

#include <QTest>

namespace {
const QDateTime kOra = QDateTime(QDate(2026, 3, 2), QTime(9, 0), Qt::UTC); // a Monday
}

class TestPresentazioneUsoIA : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Traduzioni::installa("it"); }

    void bands_data()
    {
        QTest::addColumn<int>("percento");
        QTest::addColumn<bool>("critico");
        QTest::addColumn<int>("fascia");
        QTest::newRow("74") << 74 << false << int(FasciaUso::normale);
        QTest::newRow("75") << 75 << false << int(FasciaUso::avviso);
        QTest::newRow("94") << 94 << false << int(FasciaUso::avviso);
        QTest::newRow("95") << 95 << false << int(FasciaUso::alta);
        QTest::newRow("critical at 0") << 0 << true << int(FasciaUso::alta);
    }
    void bands()
    {
        QFETCH(int, percento);
        QFETCH(bool, critico);
        QFETCH(int, fascia);
        QCOMPARE(int(fasciaUso(LimiteIA{percento, std::nullopt, critico})), fascia);
    }

    void resetText_data()
    {
        QTest::addColumn<qint64>("msDopo"); // reset time after `ora`; min = none
        QTest::addColumn<QString>("atteso");
        QTest::newRow("none") << std::numeric_limits<qint64>::min() << QString();
        QTest::newRow("now") << qint64(0) << QString();
        QTest::newRow("past") << qint64(-5000) << QString();
        QTest::newRow("30 s: one minute") << qint64(30000) << "si azzera fra 1 min";
        QTest::newRow("2 h 5 min") << qint64((2 * 3600 + 5 * 60) * 1000) << "si azzera fra 2 h 5 min";
        QTest::newRow("3 h exactly") << qint64(3 * 3600 * 1000) << "si azzera fra 3 h";
        QTest::newRow("a tenth short of a day") << qint64(86400000 - 100) << "si azzera fra 24 h";
        QTest::newRow("a day") << qint64(86400000) << "si azzera mar 09:00";
    }
    void resetText()
    {
        QFETCH(qint64, msDopo);
        QFETCH(QString, atteso);
        LimiteIA l{50, std::nullopt, false};
        if (msDopo != std::numeric_limits<qint64>::min())
            l.siAzzera = kOra.addMSecs(msDopo);
        const auto t = testoAzzeramento(l, kOra, QLocale(QLocale::Italian, QLocale::Italy));
        QCOMPARE(t.value_or(QString()), atteso);
    }

    void resetTextTranslated_data()
    {
        QTest::addColumn<QString>("lingua");
        QTest::addColumn<QString>("vicino");
        QTest::addColumn<QString>("lontano");
        QTest::newRow("en") << "en" << "resets in 1h 30m" << "resets Tue 9:00";
        QTest::newRow("es") << "es" << "se restablece en 1 h 30 min" << "se restablece mar 9:00";
    }
    void resetTextTranslated()
    {
        QFETCH(QString, lingua);
        QFETCH(QString, vicino);
        QFETCH(QString, lontano);
        Traduzioni::installa(lingua);
        const QLocale locale(lingua);
        QCOMPARE(*testoAzzeramento(LimiteIA{1, kOra.addSecs(5400), false}, kOra, locale), vicino);
        QVERIFY2(testoAzzeramento(LimiteIA{1, kOra.addDays(1), false}, kOra, locale)->startsWith(lontano),
                 qPrintable(*testoAzzeramento(LimiteIA{1, kOra.addDays(1), false}, kOra, locale)));
        Traduzioni::installa("it");
    }
};

QTEST_GUILESS_MAIN(TestPresentazioneUsoIA)
#include "tst_PresentazioneUsoIA.moc"
