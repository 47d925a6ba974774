#include "NomiMemo.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class TestNomiMemo : public QObject {
    Q_OBJECT

private slots:
    void defaultNameFollowsTheLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("atteso");
        QTest::newRow("en") << "en_GB" << "Memo 8 Dec 14.05";
        QTest::newRow("it") << "it_IT" << "Memo 8 dic 14.05";
    }
    void defaultNameFollowsTheLocale()
    {
        QFETCH(QString, locale);
        QFETCH(QString, atteso);
        const QDateTime quando(QDate(2026, 12, 8), QTime(14, 5, 40));
        QCOMPARE(NomiMemo::nomePredefinito(quando, QLocale(locale)), atteso);
    }

    void uniquePathSkipsTakenNames_data()
    {
        QTest::addColumn<QStringList>("esistenti");
        QTest::addColumn<QString>("atteso");
        QTest::newRow("free") << QStringList{} << "Memo.m4a";
        QTest::newRow("memo taken") << QStringList{"Memo.m4a"} << "Memo (2).m4a";
        QTest::newRow("two taken") << QStringList{"Memo.m4a", "Memo (2).m4a"} << "Memo (3).m4a";
        QTest::newRow("orphan transcript") << QStringList{"Memo.txt"} << "Memo (2).m4a";
        QTest::newRow("gap is reused") << QStringList{"Memo.m4a", "Memo (3).m4a"} << "Memo (2).m4a";
        QTest::newRow("other extension") << QStringList{"Memo.mp3"} << "Memo.m4a";
    }
    void uniquePathSkipsTakenNames()
    {
        QFETCH(QStringList, esistenti);
        QFETCH(QString, atteso);
        QTemporaryDir dir;
        for (const QString& nome : esistenti) {
            QFile f(dir.filePath(nome));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QCOMPARE(NomiMemo::riservaPercorsoUnico(dir.path(), "Memo").value_or(""), dir.filePath(atteso));
        // Taken at once: the next one gets another name.
        QVERIFY(QFileInfo::exists(dir.filePath(atteso)));
        QCOMPARE_NE(NomiMemo::riservaPercorsoUnico(dir.path(), "Memo").value_or(""), dir.filePath(atteso));
    }

    void renameText_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("ext");
        QTest::addColumn<QString>("atteso"); // empty: no rename
        QTest::newRow("trimmed, extension dropped") << "  Shopping list.M4A \n" << "m4a" << "Shopping list";
        QTest::newRow("last component") << "a/b" << "m4a" << "b";
        QTest::newRow("trailing slash") << "a/b/" << "m4a" << "b";
        QTest::newRow("other extension kept") << "note.mp3" << "m4a" << "note.mp3";
        QTest::newRow("upper-case memo extension") << "x.m4a" << "M4A" << "x";
        QTest::newRow("blank") << "   \t" << "m4a" << "";
        QTest::newRow("only the extension") << ".m4a" << "m4a" << "";
        QTest::newRow("hidden name") << ".segreto" << "m4a" << "";
    }
    void renameText()
    {
        QFETCH(QString, testo);
        QFETCH(QString, ext);
        QFETCH(QString, atteso);
        QCOMPARE(NomiMemo::nomeDaRinomina(testo, ext).value_or(QString()), atteso);
    }

    void duration_data()
    {
        QTest::addColumn<double>("secondi");
        QTest::addColumn<QString>("atteso");
        QTest::newRow("0") << 0.0 << "00:00";
        QTest::newRow("59.9") << 59.9 << "00:59";
        QTest::newRow("61") << 61.0 << "01:01";
        QTest::newRow("600") << 600.0 << "10:00";
        QTest::newRow("two hours") << 7265.0 << "121:05";
        QTest::newRow("negative") << -3.0 << "00:00";
        QTest::newRow("nan") << qQNaN() << "00:00";
    }
    void duration()
    {
        QFETCH(double, secondi);
        QFETCH(QString, atteso);
        QCOMPARE(NomiMemo::testoDurata(secondi), atteso);
    }

    void titleFromTranscript_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("atteso"); // empty: the name stays
        QTest::newRow("one word") << "Memo 8 Dec 14.05" << "ok." << "";
        QTest::newRow("full stop trimmed") << "Memo 8 Dec 14.05" << "hello there." << "hello there";
        QTest::newRow("first six words") << "Memo_1" << "remind me to call my mother tomorrow morning"
                                         << "remind me to call my mother";
        QTest::newRow("line breaks and runs of blanks") << "Memo x" << " \n  buy\tmilk \n\n now "
                                                        << "buy milk now";
        QTest::newRow("punctuation at both ends") << "Memo x" << "¿? ...hola, amigo!" << "¿? ...hola, amigo";
        QTest::newRow("too short once trimmed") << "Memo x" << "a b" << "";
        QTest::newRow("user's name") << "Spesa" << "hello there" << "";
        QTest::newRow("case as written") << "memo 8 Dec" << "hello there" << "";
        QTest::newRow("at most 50 characters")
            << "Memo x" << "aaaaaaaaaaaaaaaaaaaa bbbbbbbbbbbbbbbbbbbb cccccccccccccccccccc"
            << "aaaaaaaaaaaaaaaaaaaa bbbbbbbbbbbbbbbbbbbb cccccccc";
        QTest::newRow("an accent counts once") << "Memo x" << QString::fromUtf8("ca\u0301 ") + QString(48, 'x') + " y"
                                               << QString::fromUtf8("ca\u0301 ") + QString(47, 'x');
    }
    void titleFromTranscript()
    {
        QFETCH(QString, nome);
        QFETCH(QString, testo);
        QFETCH(QString, atteso);
        QCOMPARE(NomiMemo::titoloDaTrascrizione(nome, testo).value_or(QString()), atteso);
    }

    void transcriptSitsBesideTheMemo()
    {
        QCOMPARE(NomiMemo::percorsoTrascrizione("/d/Memo 8 Dec 14.05.m4a"), QStringLiteral("/d/Memo 8 Dec 14.05.txt"));
    }
};

QTEST_GUILESS_MAIN(TestNomiMemo)
#include "tst_NomiMemo.moc"
