#include "AvvioAlLoginXdg.h"
#include "RegistrazioneCopia.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestRegistrazioneCopia : public QObject {
    Q_OBJECT

    static QByteArray leggi(const QString& p)
    {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // What the desktop's own checker says of an entry; empty when it accepts it.
    static QString rifiuto(const QString& voce)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(QStringLiteral("desktop-file-validate"), {voce});
        if (!p.waitForFinished())
            return QStringLiteral("desktop-file-validate did not run");
        const QString detto = QString::fromUtf8(p.readAll());
        return p.exitCode() == 0 && !detto.contains(QLatin1String("error")) ? QString() : detto;
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
        // What a save cut off by a kill left: a .desktop file the session could read.
        QVERIFY(QDir().mkpath(voci) && QDir().mkpath(autostart));
        const QStringList avanzi{voci + QStringLiteral("/.salvataggio-Ab12cD.halvora.desktop"),
                                 autostart + QStringLiteral("/.salvataggio-Ab12cD.halvora.desktop")};
        for (const QString& a : avanzi) {
            QFile f(a);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write("[Desktop Entry]\nExec=/vecchio\n") > 0);
        }
        AvvioAlLoginXdg avvio(autostart, nuovo);
        QVERIFY(!RegistrazioneCopia::aggiorna(nuovo, voci, avvio));
        for (const QString& a : avanzi)
            QVERIFY2(!QFile::exists(a), qPrintable(a));
        const QString percorsoVoce = voci + QStringLiteral("/halvora.desktop");
        const QByteArray voce = leggi(percorsoVoce);
        QVERIFY(voce.contains("Exec=\"" + QFile::encodeName(nuovo) + "\" %u\n"));
        QVERIFY(voce.contains("MimeType=x-scheme-handler/halvora;"));
        // In the menu, with the icon of the copy it starts.
        QVERIFY(!voce.contains("NoDisplay"));
        QVERIFY(voce.contains("\nIcon=" + QFile::encodeName(d.filePath(QStringLiteral("Applications/Halvora.app/halvora.svg")))));
        const QByteArray login = leggi(vecchio.percorsoVoce());
        QCOMPARE(login.contains(QFile::encodeName(nuovo)), allAvvio);
        QCOMPARE(login.isEmpty(), !allAvvio); // never turned on by the move
        if (QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate")).isEmpty())
            QSKIP("desktop-file-validate is not installed");
        QVERIFY2(rifiuto(percorsoVoce).isEmpty(), qPrintable(rifiuto(percorsoVoce)));
        if (allAvvio)
            QVERIFY2(rifiuto(vecchio.percorsoVoce()).isEmpty(), qPrintable(rifiuto(vecchio.percorsoVoce())));
    }

    void theDesktopStartsTheInstalledCopyWhenThereIsOne()
    {
        QTemporaryDir d;
        NotchGeometry::Posizione p;
        p.bundle = d.filePath(QStringLiteral("src/build/Halvora.app"));
        p.eseguibile = p.bundle + QStringLiteral("/halvora");
        p.applicazioni = d.filePath(QStringLiteral("Applications"));
        QCOMPARE(RegistrazioneCopia::copiaDaAvviare(p), p.eseguibile);
        const QString installata = p.applicazioni + QStringLiteral("/Halvora.app/halvora");
        QVERIFY(QDir().mkpath(p.applicazioni + QStringLiteral("/Halvora.app")));
        QFile f(installata);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        // A file that cannot run is no copy.
        QCOMPARE(RegistrazioneCopia::copiaDaAvviare(p), p.eseguibile);
        QVERIFY(f.setPermissions(f.permissions() | QFileDevice::ExeOwner));
        QCOMPARE(RegistrazioneCopia::copiaDaAvviare(p), installata);
    }
};

QTEST_GUILESS_MAIN(TestRegistrazioneCopia)
#include "tst_RegistrazioneCopia.moc"
