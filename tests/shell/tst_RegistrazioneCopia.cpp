#include "AvvioAlLoginXdg.h"
#include "RegistrazioneCopia.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestRegistrazioneCopia : public QObject {
    Q_OBJECT

    static QByteArray leggi(const QString& p)
    {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void theEntriesFollowTheInstalledCopy_data()
    {
        QTest::addColumn<bool>("allAvvio");
        QTest::newRow("launch at login on") << true;
        QTest::newRow("launch at login off") << false;
    }
    void theEntriesFollowTheInstalledCopy()
    {
        QFETCH(bool, allAvvio);
        QTemporaryDir d;
        const QString voci = d.filePath(QStringLiteral("applications"));
        const QString autostart = d.filePath(QStringLiteral("autostart"));
        const QString nuovo = d.filePath(QStringLiteral("Applications/Halvora.app/halvora"));
        AvvioAlLoginXdg vecchio(autostart, QStringLiteral("/src/build/Halvora.app/halvora"));
        if (allAvvio)
            QVERIFY(!vecchio.registra());
        AvvioAlLoginXdg avvio(autostart, nuovo);
        QVERIFY(!RegistrazioneCopia::aggiorna(nuovo, voci, avvio));
        const QByteArray schema = leggi(voci + QStringLiteral("/halvora.desktop"));
        QVERIFY(schema.contains("Exec=\"" + QFile::encodeName(nuovo) + "\" %u\n"));
        QVERIFY(schema.contains("MimeType=x-scheme-handler/halvora;"));
        const QByteArray login = leggi(vecchio.percorsoVoce());
        QCOMPARE(login.contains(QFile::encodeName(nuovo)), allAvvio);
        QCOMPARE(login.isEmpty(), !allAvvio); // never turned on by the move
    }
};

QTEST_GUILESS_MAIN(TestRegistrazioneCopia)
#include "tst_RegistrazioneCopia.moc"
