#include "DesktopSway.h"
#include "DesktopWeston.h"
#include "QtScreens.h"
#include "X11Scala.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

// Where the desktops say their panels and full-screen windows are, and at
// what scale the notch draws, from what each desktop publishes.
class TestAreeDesktop : public QObject {
    Q_OBJECT

    // A sway tree of two 1920 by 1080 outputs side by side, a bar at the
    // top of the first, and the focused window `focus` (an XWayland one
    // when `classe`), full screen in `modo` on the second output.
    static QJsonObject albero(const char* focus, bool classe, int modo)
    {
        const QByteArray finestra =
            QByteArray(R"({"type":"con","focused":true,"pid":42,"fullscreen_mode":)") + QByteArray::number(modo)
            + (classe ? R"(,"app_id":null,"window_properties":{"class":")" + QByteArray(focus) + R"("}})"
                      : R"(,"app_id":")" + QByteArray(focus) + R"("})");
        const QByteArray testo = R"({"type":"root","nodes":[
            {"type":"output","name":"__i3","nodes":[]},
            {"type":"output","name":"HEADLESS-1","current_workspace":"1","rect":{"x":0,"y":0,"width":1920,"height":1080},
             "nodes":[{"type":"workspace","name":"1","rect":{"x":0,"y":30,"width":1920,"height":1050},"nodes":[
               {"type":"con","focused":false,"fullscreen_mode":0,"app_id":"foot"}]},
              {"type":"workspace","name":"3","rect":{"x":0,"y":30,"width":1920,"height":1050},"nodes":[
               {"type":"con","focused":false,"fullscreen_mode":1,"app_id":"mpv"}]}]},
            {"type":"output","name":"HEADLESS-2","current_workspace":"2","rect":{"x":1920,"y":0,"width":1920,"height":1080},
             "nodes":[{"type":"workspace","name":"2","rect":{"x":1920,"y":0,"width":1920,"height":1080},"nodes":[)"
                                   + finestra + "]}]}]}";
        return QJsonDocument::fromJson(testo).object();
    }

private slots:
    void swayTree()
    {
        const QRect primo(0, 0, 1920, 1080), secondo(1920, 0, 1920, 1080);
        auto a = DesktopSway::leggiAlbero(albero("org.keepassxc.KeePassXC", false, 0));
        QVERIFY(a.schermiInteri.isEmpty()); // a hidden workspace's full-screen window is behind
        QCOMPARE(a.app->id, QStringLiteral("org.keepassxc.KeePassXC"));
        QCOMPARE(a.app->pid, qint64(42));
        QCOMPARE(a.aree, (QList<QRect>{QRect(0, 30, 1920, 1050), secondo}));
        a = DesktopSway::leggiAlbero(albero("Firefox", true, 1));
        QCOMPARE(a.app->id, QStringLiteral("Firefox"));
        QCOMPARE(a.schermiInteri, QList<QRect>{secondo}); // not the first screen's
        a = DesktopSway::leggiAlbero(albero("mpv", false, 2));
        QCOMPARE(a.schermiInteri, (QList<QRect>{primo, secondo})); // full screen over every output
    }

    void workAreaOfAScreen_data()
    {
        QTest::addColumn<QList<QRect>>("aree");
        QTest::addColumn<QRect>("schermo");
        QTest::addColumn<QRect>("attesa");
        const QRect primo(0, 0, 1920, 1080), secondo(1920, 0, 1920, 1080);
        // GNOME with two monitors: one area a screen, the top bar on the first.
        const QList<QRect> gtk{QRect(0, 32, 1920, 1048), secondo};
        QTest::newRow("per screen, first") << gtk << primo << QRect(0, 32, 1920, 1048);
        QTest::newRow("per screen, second") << gtk << secondo << secondo;
        // _NET_WORKAREA: one union for all, which Qt drops with two screens.
        const QList<QRect> unione{QRect(0, 32, 3840, 1048)};
        QTest::newRow("union, first") << unione << primo << QRect(0, 32, 1920, 1048);
        QTest::newRow("none") << QList<QRect>{} << primo << QRect();
    }
    void workAreaOfAScreen()
    {
        QFETCH(QList<QRect>, aree);
        QFETCH(QRect, schermo);
        QFETCH(QRect, attesa);
        QCOMPARE(QtScreens::areaDelloSchermo(schermo, aree).value_or(QRect()), attesa);
    }

    void westonPanel_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QRect>("attesa");
        QTest::newRow("no file") << QByteArray() << QRect(0, 32, 1920, 1048);
        QTest::newRow("bottom") << QByteArray("[core]\nxwayland=true\n[shell]\npanel-position=bottom\n")
                                << QRect(0, 0, 1920, 1048);
        QTest::newRow("none") << QByteArray("[shell]\n panel-position = none\n") << QRect(0, 0, 1920, 1080);
        QTest::newRow("another section's") << QByteArray("[output]\npanel-position=bottom\n") << QRect(0, 32, 1920, 1048);
    }
    void westonPanel()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QRect, attesa);
        QCOMPARE(DesktopWeston::senzaPannello(QRect(0, 0, 1920, 1080), DesktopWeston::latoPannello(ini)), attesa);
    }

    void scale_data()
    {
        QTest::addColumn<double>("scala");
        QTest::addColumn<double>("altezzaUtile");
        QTest::addColumn<double>("attesa");
        // The tallest open panel is 550 high.
        QTest::newRow("no scale") << 1.0 << 1048.0 << 1.0;
        QTest::newRow("scale 2 on a tall screen") << 2.0 << 2096.0 << 2.0;
        QTest::newRow("scale 2 below GNOME's bar") << 2.0 << 1016.0 << 1016.0 / 550;
        QTest::newRow("scale 2 on a small screen") << 2.0 << 500.0 << 1.0;
        QTest::newRow("a small screen keeps its pixels") << 1.0 << 500.0 << 1.0;
        QTest::newRow("height unknown") << 1.5 << 0.0 << 1.5;
    }
    void scale()
    {
        QFETCH(double, scala);
        QFETCH(double, altezzaUtile);
        QFETCH(double, attesa);
        QCOMPARE(X11Scala::fattore({.scala = scala, .altezzaUtile = altezzaUtile}, 550), attesa);
    }
};

QTEST_MAIN(TestAreeDesktop)
#include "tst_AreeDesktop.moc"
