#include "BundleProva.h"
#include "Quarantena.h"
#include "Trasloco.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <sys/xattr.h>

class TestTrasloco : public QObject {
    Q_OBJECT
    QTemporaryDir cartella;

    static bool marca(const QString& p)
    {
        return ::lsetxattr(QFile::encodeName(p).constData(), Quarantena::kAttributi[1], "u", 1, 0) == 0;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(BundleProva::crea(cartella.filePath(QStringLiteral("prova"))));
        if (!marca(cartella.filePath(QStringLiteral("prova/halvora"))))
            QSKIP("this file system keeps no user extended attributes");
    }

    void theFourItemsTellTheMark_data()
    {
        QTest::addColumn<QString>("voce");
        QTest::addColumn<bool>("marcato");
        QTest::newRow("nothing") << "" << false;
        QTest::newRow("the bundle folder") << "." << true;
        QTest::newRow("Info.json") << "Info.json" << true;
        QTest::newRow("the signature folder") << "Firma" << true;
        QTest::newRow("the executable") << "halvora" << true;
        QTest::newRow("a nested file") << "risorse/testo.txt" << false;
    }
    void theFourItemsTellTheMark()
    {
        QFETCH(QString, voce);
        QFETCH(bool, marcato);
        QTemporaryDir d;
        const QString b = d.filePath(QStringLiteral("Halvora.app"));
        QVERIFY(BundleProva::crea(b) && BundleProva::aggiungi(b, QStringLiteral("risorse/testo.txt"), "x") &&
                BundleProva::firma(b).isEmpty());
        if (!voce.isEmpty())
            QVERIFY(marca(QDir(b).filePath(voce)));
        QCOMPARE(Trasloco::isQuarantinedAppBundle(b), marcato);
        Trasloco::stripQuarantineLocally(b);
        QVERIFY(!Trasloco::isQuarantinedAppBundle(b));
        QVERIFY(!Quarantena::marcato(b + QStringLiteral("/risorse/testo.txt")));
    }

    void linksAreNeverFollowed()
    {
        QTemporaryDir d;
        const QString b = d.filePath(QStringLiteral("Halvora.app"));
        const QString fuori = d.filePath(QStringLiteral("fuori.txt"));
        QVERIFY(BundleProva::crea(b) && BundleProva::aggiungi(d.path(), QStringLiteral("fuori.txt"), "x"));
        QVERIFY(marca(fuori));
        QVERIFY(QFile::remove(b + QStringLiteral("/halvora")) && QFile::link(fuori, b + QStringLiteral("/halvora")));
        QVERIFY(!Trasloco::isQuarantinedAppBundle(b));
        Trasloco::stripQuarantineLocally(b);
        QVERIFY(Quarantena::marcato(fuori));
    }
};

QTEST_GUILESS_MAIN(TestTrasloco)
#include "tst_Trasloco.moc"
