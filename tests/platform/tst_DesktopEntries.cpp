#include "AppIcons.h"
#include "DesktopEntries.h"
#include "Simboli.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

namespace {
void scrivi(const QString& percorso, const QByteArray& testo)
{
    QFile f(percorso);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(testo);
}
} // namespace

class TestDesktopEntries : public QObject {
    Q_OBJECT
    QTemporaryDir utente, sistema;

private slots:
    void initTestCase()
    {
        scrivi(utente.filePath("org.gnome.Terminal.desktop"),
               "[Desktop Entry]\nType=Application\nName=Terminale\nExec=/usr/bin/gnome-terminal --window\n"
               "Icon=utilities-terminal\n[Desktop Action new]\nName=Altro\nIcon=altro\n");
        // The user's own entry hides the system's entry of the same id.
        scrivi(sistema.filePath("org.gnome.Terminal.desktop"), "[Desktop Entry]\nType=Application\nName=Sistema\n");
        scrivi(sistema.filePath("code.desktop"),
               "[Desktop Entry]\nType=Application\nName=Code\nExec=\"/usr/share/code/code\" %F\nStartupWMClass=Code\n");
        scrivi(sistema.filePath("firefox-esr.desktop"),
               "[Desktop Entry]\nType=Application\nName=Firefox\nExec=/usr/lib/firefox-esr/firefox-esr %u\n");
        scrivi(sistema.filePath("nascosta.desktop"), "[Desktop Entry]\nType=Application\nName=N\nHidden=true\n");
        scrivi(sistema.filePath("link.desktop"), "[Desktop Entry]\nType=Link\nName=L\nURL=x\n");
        QDir(sistema.path()).mkpath("kde4");
        scrivi(sistema.filePath("kde4/kate.desktop"), "[Desktop Entry]\nType=Application\nName=Kate\n");
    }

    void readsApplicationEntriesOnly()
    {
        const auto voci = DesktopEntries::daCartelle({utente.path(), sistema.path()});
        QCOMPARE(voci.size(), 4);
        const auto t = voci.perId("org.gnome.Terminal");
        QVERIFY(t);
        QCOMPARE(t->nome, QStringLiteral("Terminale"));
        QCOMPARE(t->icona, QStringLiteral("utilities-terminal"));
        QCOMPARE(t->exec, QStringLiteral("gnome-terminal"));
        QVERIFY(!voci.perId("nascosta"));
        QVERIFY(!voci.perId("link"));
        QVERIFY(voci.perId("kde4-kate"));
    }

    void windowsMatchTheirEntry_data()
    {
        QTest::addColumn<QString>("istanza");
        QTest::addColumn<QString>("classe");
        QTest::addColumn<QString>("eseguibile");
        QTest::addColumn<QString>("id");
        QTest::newRow("wm class") << "code" << "Code" << "" << "code";
        QTest::newRow("reverse dns tail") << "gnome-terminal-server" << "Terminal" << "" << "org.gnome.Terminal";
        QTest::newRow("executable") << "Navigator" << "firefox" << "firefox-esr" << "firefox-esr";
        QTest::newRow("unknown") << "x" << "y" << "z" << "";
    }
    void windowsMatchTheirEntry()
    {
        QFETCH(QString, istanza);
        QFETCH(QString, classe);
        QFETCH(QString, eseguibile);
        QFETCH(QString, id);
        const auto voci = DesktopEntries::daCartelle({utente.path(), sistema.path()});
        const auto v = voci.perFinestra(istanza, classe, eseguibile);
        QCOMPARE(v ? v->id : QString(), id);
    }

    void commandsOpenAnAddressWithoutAShell_data()
    {
        QTest::addColumn<QString>("exec");
        QTest::addColumn<QStringList>("comando");
        const QString u = QStringLiteral("https://youtu.be/x?a=1&b=2");
        QTest::newRow("url code") << "/usr/bin/google-chrome-stable %U" << QStringList{"/usr/bin/google-chrome-stable", u};
        QTest::newRow("quoted, other codes dropped")
            << "\"/opt/my browser/run\" --class=%c %i --new-tab %u" << QStringList{"/opt/my browser/run", "--class=", "--new-tab", u};
        QTest::newRow("escaped quote and percent") << "run \"a\\\"b\" 100%%" << QStringList{"run", "a\"b", "100%", u};
        QTest::newRow("no code: appended") << "vivaldi-stable" << QStringList{"vivaldi-stable", u};
        QTest::newRow("shell words stay words") << "sh -c ';rm' %u" << QStringList{"sh", "-c", "';rm'", u};
        QTest::newRow("broken quoting") << "run \"open" << QStringList{};
    }
    void commandsOpenAnAddressWithoutAShell()
    {
        QFETCH(QString, exec);
        QFETCH(QStringList, comando);
        DesktopEntry e;
        e.comando = DesktopEntries::divideExec(exec);
        QCOMPARE(DesktopEntries::comandoPerUrl(e, QStringLiteral("https://youtu.be/x?a=1&b=2")), comando);
    }

    void iconsAreCachedWithMisses()
    {
        int letture = 0;
        const auto voci = DesktopEntries::daCartelle({utente.path(), sistema.path()});
        AppIcons icone([&]() -> const DesktopEntries& {
            ++letture;
            return voci;
        });
        QVERIFY(!icone.icona("assente"));
        QVERIFY(!icone.icona("assente"));
        QVERIFY(!icone.icona("code")); // no Icon= line
        QCOMPARE(letture, 2);
    }

    void symbolsResolveThroughTheTable()
    {
        QVERIFY(Simboli::esiste("bell.fill"));
        QVERIFY(!Simboli::esiste("no.such.symbol"));
        QVERIFY(Simboli::icona("no.such.symbol").isNull());
        // Every symbol of the table has an icon installed.
        for (const char* nome : {"bell.fill", "music.note", "checkmark.circle.fill", "hand.raised.fill", "globe"})
            QVERIFY2(!Simboli::icona(nome).isNull(), nome);
        const QImage img = Simboli::pixmap("music.note", 16, Qt::red).toImage();
        int rossi = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (img.pixelColor(x, y).alpha() > 0) {
                    QCOMPARE(img.pixelColor(x, y).red(), 255);
                    ++rossi;
                }
        QVERIFY(rossi > 10);
    }
};

QTEST_MAIN(TestDesktopEntries)
#include "tst_DesktopEntries.moc"
