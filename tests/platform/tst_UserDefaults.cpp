#include "UserDefaults.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestUserDefaults : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void everyWriteNotifiesEvenWhenUnchanged()
    {
        UserDefaults d(dir.filePath("a.ini"));
        QSignalSpy spy(&d, &UserDefaults::changed);
        d.setValue("taccaDiscreta", true);
        d.setValue("taccaDiscreta", true);
        d.remove("taccaDiscreta");
        QCOMPARE(spy.count(), 3);
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("taccaDiscreta"));
        QVERIFY(!d.contains("taccaDiscreta"));
    }

    void valuesSurviveAReopen()
    {
        {
            UserDefaults d(dir.filePath("b.ini"));
            d.setValue("mostraUsoIA", false);
            d.setValue("clipboard.appEscluse", QStringList{"org.gnome.Terminal"});
            d.setValue("calendario.giaUsato", true);
        }
        UserDefaults d(dir.filePath("b.ini"));
        QCOMPARE(d.boolValue("mostraUsoIA"), std::optional<bool>(false));
        QCOMPARE(d.stringList("clipboard.appEscluse"), QStringList{"org.gnome.Terminal"});
        QCOMPARE(d.boolValue("calendario.giaUsato", false), true);
    }

    void booleansReadOnlyFromBooleanTexts_data()
    {
        QTest::addColumn<QVariant>("valore");
        QTest::addColumn<int>("atteso"); // -1 none, 0 false, 1 true
        QTest::newRow("bool true") << QVariant(true) << 1;
        QTest::newRow("text false") << QVariant("false") << 0;
        QTest::newRow("one") << QVariant(1) << 1;
        QTest::newRow("other text") << QVariant("forse") << -1;
        QTest::newRow("empty") << QVariant("") << -1;
    }
    void booleansReadOnlyFromBooleanTexts()
    {
        QFETCH(QVariant, valore);
        QFETCH(int, atteso);
        UserDefaults d(dir.filePath("c.ini"));
        d.setValue("k", valore);
        d.sync();
        UserDefaults riletto(dir.filePath("c.ini"));
        const auto v = riletto.boolValue("k");
        QCOMPARE(v.has_value() ? int(*v) : -1, atteso);
        QCOMPARE(riletto.boolValue("assente"), std::nullopt);
    }

    void singleStringReadsAsOneElementList()
    {
        UserDefaults d(dir.filePath("d.ini"));
        d.setValue("lista", QString("solo"));
        QCOMPARE(d.stringList("lista"), QStringList{"solo"});
        d.setValue("lista", QStringList{});
        QCOMPARE(d.stringList("lista"), QStringList{});
    }
};

QTEST_GUILESS_MAIN(TestUserDefaults)
#include "tst_UserDefaults.moc"
