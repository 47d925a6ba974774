#include "UserDefaults.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
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

    // What is written reads back the same, by this store and by QSettings:
    // texts that look like lists, escapes, markers or numbers included.
    void valuesReadBackAsWritten_data()
    {
        QTest::addColumn<QString>("chiave");
        QTest::addColumn<QVariant>("valore");
        const QDateTime quando(QDate(2026, 3, 2), QTime(9, 30, 15, 250), Qt::UTC);
        QTest::newRow("comma and quotes") << "testo" << QVariant(QStringLiteral("a, \"b\" = c; d\\e"));
        QTest::newRow("blanks at the ends") << "spazi" << QVariant(QStringLiteral("  dentro  "));
        QTest::newRow("marker-like") << "chiocciola" << QVariant(QStringLiteral("@Invalid()"));
        QTest::newRow("controls before hex digits")
            << "controllo" << QVariant(QString::fromUtf8("a\x01" "1f\x7f" "b\n\tc\r"));
        QTest::newRow("beyond ASCII") << "unicode" << QVariant(QString::fromUtf8("città 日本 \xf0\x9f\x98\x80"));
        QTest::newRow("empty text") << "vuoto" << QVariant(QString());
        QTest::newRow("list") << "lista" << QVariant(QStringList{"uno, due", " tre", "@quattro", ""});
        QTest::newRow("one-item list") << "uno" << QVariant(QStringList{"solo"});
        QTest::newRow("one empty item") << "unoVuoto" << QVariant(QStringList{QString()});
        QTest::newRow("empty list") << "nessuno" << QVariant(QStringList{});
        QTest::newRow("Boolean") << "bool" << QVariant(false);
        QTest::newRow("number") << "numero" << QVariant(-42);
        QTest::newRow("date and time") << "data" << QVariant(quando);
        QTest::newRow("key with group") << "gruppo/sotto chiave" << QVariant(QStringLiteral("g"));
        QTest::newRow("key named General") << "General/k" << QVariant(QStringLiteral("h"));
        // Not the top-level "dopo" that is written beside it.
        QTest::newRow("group general in capitals") << "GENERAL/dopo" << QVariant(QStringLiteral("h"));
        QTest::newRow("empty groups") << "/vuoti//gruppi/" << QVariant(QStringLiteral("i"));
        QTest::newRow("key beyond ASCII") << "città%日本" << QVariant(QStringLiteral("k"));
    }
    void valuesReadBackAsWritten()
    {
        QFETCH(QString, chiave);
        QFETCH(QVariant, valore);
        const QString file = dir.filePath(QStringLiteral("r-%1.ini").arg(QTest::currentDataTag()));
        {
            UserDefaults d(file);
            d.setValue(chiave, valore);
            d.setValue(QStringLiteral("dopo"), QStringLiteral("ultimo"));
            QVERIFY(d.sync());
        }
        UserDefaults letto(file);
        QSettings qt(file, QSettings::IniFormat);
        QCOMPARE(qt.status(), QSettings::NoError);
        QCOMPARE(letto.value(QStringLiteral("dopo")).toString(), QStringLiteral("ultimo"));
        switch (valore.typeId()) {
        case QMetaType::QStringList:
            QCOMPARE(letto.stringList(chiave), valore.toStringList());
            QCOMPARE(qt.value(chiave), valore);
            break;
        case QMetaType::Bool:
            QCOMPARE(letto.boolValue(chiave), std::optional<bool>(valore.toBool()));
            break;
        case QMetaType::QDateTime:
            QCOMPARE(letto.value(chiave).toDateTime(), valore.toDateTime());
            break;
        default:
            QCOMPARE(letto.value(chiave).toString(), valore.toString());
            QCOMPARE(qt.value(chiave).toString(), valore.toString());
        }
    }

    // A file read only in part keeps every setting that could be read, and
    // is kept byte for byte beside the readable part that replaces it, once.
    void aFileReadInPartKeepsWhatCanBeRead_data()
    {
        QTest::addColumn<QByteArray>("rotto");
        QTest::addColumn<QStringList>("letti");
        QTest::newRow("cut inside a character")
            << QByteArray("[General]\nlingua=it\n[s]\nk=v\nz=\"caff\xc3") << QStringList{"lingua=it", "s/k=v"};
        QTest::newRow("not text") << QByteArray("[General]\ntaccaDiscreta=true\n\xff\xfe") + '\0' + "[[=\nmostraUsoIA=no\n"
                                  << QStringList{"mostraUsoIA=no", "taccaDiscreta=true"};
        QTest::newRow("quote left open") << QByteArray("[General]\na=\"x\nb=2\n[s]\nc=3\n") << QStringList{"b=2", "s/c=3"};
        QTest::newRow("line without a value") << QByteArray("[General]\na=1\nzzz\nb=2\n") << QStringList{"a=1", "b=2"};
        QTest::newRow("group with an empty key") << QByteArray("[General]\nlingua=it\n[a\\b]\n=1\n")
                                                 << QStringList{"lingua=it"};
        QTest::newRow("unreadable section") << QByteArray("[General]\na=1\n[s\xff]\nb=2\n[t]\nc=3\n")
                                            << QStringList{"a=1", "t/c=3"};
        // A list's count of 805 million in twenty edited bytes: Qt would reserve 19 GB for it.
        QTest::newRow("serialised value larger than itself")
            << QByteArray("[General]\nlingua=it\nx=@Variant(\\0\\0\\0\\v0\\0\\0\\0z)\n") << QStringList{"lingua=it"};
        QTest::newRow("nothing readable") << QByteArray("\xff\xfe") << QStringList{};
    }
    void aFileReadInPartKeepsWhatCanBeRead()
    {
        QFETCH(QByteArray, rotto);
        QFETCH(QStringList, letti);
        const QString file = dir.filePath(QStringLiteral("rotto-%1.ini").arg(QTest::currentDataTag()));
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(rotto);
        }
        auto valori = [](const UserDefaults& d, const QStringList& chiavi) {
            QStringList r;
            for (const QString& k : chiavi)
                r << k + QLatin1Char('=') + d.value(k).toString();
            return r;
        };
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Impostazioni lette in parte"));
        {
            UserDefaults d(file);
            QCOMPARE(d.fileMessoDaParte(), std::optional<QString>(file + QStringLiteral(".illeggibile")));
            QFile copia(*d.fileMessoDaParte());
            QVERIFY(copia.open(QIODevice::ReadOnly));
            QCOMPARE(copia.readAll(), rotto);
            QStringList chiavi;
            for (const QString& v : letti)
                chiavi << v.section(QLatin1Char('='), 0, 0);
            QCOMPARE(valori(d, chiavi), letti);
        }
        // Read whole at the next start: nothing more is set aside.
        UserDefaults d(file);
        QCOMPARE(d.fileMessoDaParte(), std::nullopt);
        QSettings riletto(file, QSettings::IniFormat);
        QCOMPARE(riletto.status(), QSettings::NoError);
        QCOMPARE(riletto.allKeys().size(), letti.size()); // and nothing else
        QCOMPARE(QDir(dir.path()).entryList({QFileInfo(file).fileName() + QStringLiteral(".illeggibile*")}).size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestUserDefaults)
#include "tst_UserDefaults.moc"
