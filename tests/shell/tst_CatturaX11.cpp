// Takes screenshots into the tray with the real application and the real
// capture helper on a virtual display, with pointer and keys as a user.
#include "AppRealeX11.h"
#include "TestOutput.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QWidget>

namespace {

const QColor kSfondo(58, 110, 165);

void xdo(const QString& comando)
{
    AppRealeX11::xdotool(comando.split(QLatin1Char(' ')));
}

QString esegui(const QString& programma, const QStringList& argomenti)
{
    QProcess p;
    p.start(programma, argomenti);
    p.waitForFinished(5000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QImage schermo() { return QGuiApplication::primaryScreen()->grabWindow(0).toImage(); }

bool vicino(const QColor& a, const QColor& b, int tolleranza = 12)
{
    return std::abs(a.red() - b.red()) <= tolleranza && std::abs(a.green() - b.green()) <= tolleranza
           && std::abs(a.blue() - b.blue()) <= tolleranza;
}

// Darkened by the overlay's veil (a picked window is tinted, not darkened).
bool velato(const QColor& c) { return c.value() < kSfondo.value() - 30; }

} // namespace

class TestCatturaX11 : public QObject {
    Q_OBJECT
    QTemporaryDir casa;
    QProcess app;
    AppRealeX11::Righe righe{app};
    QWidget sfondo;

    QStringList catture() const
    {
        return QDir(casa.filePath(QStringLiteral("data/Halvora/Halvora/Documents/Tray"))).entryList(QDir::Files | QDir::Hidden);
    }
    // The one new picture since `prima`, named as the tray names them.
    QImage nuova(const QStringList& prima) const
    {
        QStringList nuove = catture();
        for (const QString& f : prima)
            nuove.removeAll(f);
        if (nuove.size() != 1 || !QRegularExpression(QStringLiteral("^screenshot_[0-9A-F-]{36}\\.png$")).match(nuove[0]).hasMatch())
            return {};
        return QImage(casa.filePath(QStringLiteral("data/Halvora/Halvora/Documents/Tray/") + nuove[0]));
    }
    // Opens the tray tab and presses a screenshot button: the panel is 460
    // wide from x 730, the buttons share its width 8 apart, 20 above its bottom.
    bool premi(int indice)
    {
        xdo(QStringLiteral("mousemove 960 10"));
        if (!righe.aspetta(QStringLiteral("stato aperta"), 10000))
            return false;
        xdo(QStringLiteral("mousemove %1 355").arg(730 + 74 + indice * 156));
        // The springs settle late on a busy machine: the panel must rest first.
        // At rest and grown to the tray's full height, its buttons' row drawn.
        QImage ora;
        for (int i = 0; i < 3 && (ora.isNull() || qGray(ora.pixel(300, 380)) > 60); ++i)
            ora = AppRealeX11::aRiposo(QRect(660, 0, 600, 420));
        salvaImmagine(ora, QStringLiteral("premi-%1").arg(indice));
        xdo(QStringLiteral("click 1"));
        return righe.aspetta(QStringLiteral("cattura iniziata"), 10000);
    }
    // The overlay is up once the frozen screen wears its veil.
    static bool attendiVelo()
    {
        QElapsedTimer t;
        t.start();
        while (!velato(schermo().pixelColor(300, 700)))
            if (t.elapsed() > 20000)
                return false;
            else
                QTest::qWait(100);
        return true;
    }
    // The helper and the notice's picture take long on a busy machine.
    bool salvata()
    {
        return righe.aspetta(QStringLiteral("cattura finita"), 20000)
               && righe.aspetta(QStringLiteral("attivita Screenshot catturato"), 20000);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(casa.isValid() && AppRealeX11::segnaGuidaVista(casa));
        QVERIFY(AppRealeX11::avviaSuSfondo(app, righe, casa, sfondo, kSfondo, QStringLiteral(HALVORA_ESEGUIBILE)));
    }
    void cleanupTestCase()
    {
        app.terminate();
        app.waitForFinished(5000);
    }

    void fullScreenKeepsTheScreenWithoutThePanel()
    {
        const QStringList prima = catture();
        QVERIFY(premi(0));
        QVERIFY(salvata());
        const QImage img = nuova(prima);
        QCOMPARE(img.size(), QSize(1920, 1080));
        // The open panel was out of the way: the desktop shows where it hung.
        QVERIFY(vicino(img.pixelColor(960, 200), kSfondo) && vicino(img.pixelColor(960, 16), kSfondo));
        salvaImmagine(img, QStringLiteral("cattura-intero"));
        QTest::qWait(600);
        salvaImmagine(schermo().copy(660, 0, 600, 140), QStringLiteral("cattura-avviso"));
    }

    void anAreaIsTheDraggedRectangle()
    {
        const QStringList prima = catture();
        QVERIFY(premi(1));
        xdo(QStringLiteral("mousemove 300 300"));
        QVERIFY(attendiVelo());
        xdo(QStringLiteral("mousedown 1"));
        for (int i = 1; i <= 4; ++i)
            xdo(QStringLiteral("mousemove %1 %2").arg(300 + 50 * i).arg(300 + 30 * i));
        QTest::qWait(300);
        const QImage sopra = schermo();
        salvaImmagine(sopra, QStringLiteral("sovrapposizione-area"));
        // Clear inside the drag, veiled outside it.
        QVERIFY(vicino(sopra.pixelColor(400, 360), kSfondo, 4) && velato(sopra.pixelColor(600, 600)));
        xdo(QStringLiteral("mouseup 1"));
        QVERIFY(salvata());
        const QImage img = nuova(prima);
        QCOMPARE(img.size(), QSize(200, 120));
        QVERIFY(vicino(img.pixelColor(100, 60), kSfondo)); // the frozen screen, not the veil
        salvaImmagine(img, QStringLiteral("cattura-area"));
    }

    void escapeGivesNothingAndThePanelComesBack()
    {
        // The last notice ends first, so a new one would show.
        QVERIFY(righe.aspetta(QStringLiteral("attivita nessuna"), 10000));
        const QStringList prima = catture();
        QVERIFY(premi(1));
        QVERIFY(attendiVelo());
        xdo(QStringLiteral("key Escape"));
        QVERIFY(righe.aspetta(QStringLiteral("cattura finita"), 20000));
        QVERIFY(!righe.aspetta(QStringLiteral("attivita Screenshot catturato"), 1500));
        QCOMPARE(catture(), prima);
        // The closed strip is drawn again, and the veil is gone.
        const QImage img = schermo();
        salvaImmagine(img.copy(660, 0, 600, 140), QStringLiteral("dopo-esc"));
        QVERIFY(qGray(img.pixel(960, 16)) < 40 && vicino(img.pixelColor(300, 700), kSfondo));
    }

    void aWindowIsItselfFrameIncludedEvenWhereCovered()
    {
        const QColor verde(40, 160, 70), magenta(210, 30, 190);
        QWidget finestra, sopra;
        finestra.setStyleSheet(QStringLiteral("background: %1").arg(verde.name()));
        finestra.setGeometry(500, 450, 400, 300);
        finestra.show();
        QVERIFY(QTest::qWaitForWindowExposed(&finestra));
        // Another window over its right half.
        sopra.setStyleSheet(QStringLiteral("background: %1").arg(magenta.name()));
        sopra.setGeometry(750, 420, 400, 400);
        sopra.show();
        QVERIFY(QTest::qWaitForWindowExposed(&sopra));
        QTest::qWait(500); // decorated and mapped
        const QString id = QString::number(finestra.winId());
        // The window manager's frame: the window and the extents it adds around it.
        const QString info = esegui(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id});
        auto valore = [&](const char* nome) {
            return QRegularExpression(QLatin1String(nome) + QStringLiteral(": +(-?\\d+)")).match(info).captured(1).toInt();
        };
        const QStringList bordi = esegui(QStringLiteral("xprop"), {QStringLiteral("-id"), id, QStringLiteral("_NET_FRAME_EXTENTS")})
                                      .section(QLatin1Char('='), 1)
                                      .split(QLatin1Char(','));
        QCOMPARE(bordi.size(), 4); // left, right, top, bottom
        const QRect interna(valore("Absolute upper-left X"), valore("Absolute upper-left Y"), valore("Width"), valore("Height"));
        const QRect cornice = interna.adjusted(-bordi[0].toInt(), -bordi[2].toInt(), bordi[1].toInt(), bordi[3].toInt());
        const QPoint coperto(interna.right() - 20, interna.center().y());
        QVERIFY(vicino(schermo().pixelColor(coperto), magenta));

        const QStringList prima = catture();
        QVERIFY(premi(2));
        // Already there when the overlay comes, as a user's pointer may be.
        xdo(QStringLiteral("mousemove %1 %2").arg(interna.left() + 60).arg(interna.center().y()));
        QVERIFY(attendiVelo());
        QTest::qWait(300);
        salvaImmagine(schermo(), QStringLiteral("sovrapposizione-finestra"));
        xdo(QStringLiteral("click 1"));
        QVERIFY(salvata());
        const QImage img = nuova(prima);
        salvaImmagine(img, QStringLiteral("cattura-finestra"));
        QCOMPARE(img.size(), cornice.size());
        // Under the compositor the window's own pixels: green where the
        // other window lies over it, and nothing of that window anywhere.
        QVERIFY(vicino(img.pixelColor(coperto - cornice.topLeft()), verde));
        int delSopra = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                delSopra += vicino(img.pixelColor(x, y), magenta, 40);
        QCOMPARE(delSopra, 0);
    }
};

QTEST_MAIN(TestCatturaX11)
#include "tst_CatturaX11.moc"
