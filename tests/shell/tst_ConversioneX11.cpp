// Converts files of the tray with the real application on a virtual
// display: a screenshot fills the tray, the pointer opens the Converti menu,
// an entry is chosen, and the new file is listed and announced; then a Word
// letter dragged from another program is dropped into the tray and turned
// into a PDF that shows its text.
#include "AppRealeX11.h"
#include "TestOutput.h"

#include <QGuiApplication>
#include <QImage>
#include <QPdfDocument>
#include <QScreen>
#include <QTest>
#include <QWidget>

namespace {

void xdo(const QString& comando) { AppRealeX11::xdotool(comando.split(QLatin1Char(' '))); }

QImage schermo() { return QGuiApplication::primaryScreen()->grabWindow(0).toImage(); }

// The panel of the tray tab: 460 wide from x 730, 390 high.
const QRect kPannello(730, 0, 460, 390);

} // namespace

class TestConversioneX11 : public QObject {
    Q_OBJECT
    QTemporaryDir casa;
    QProcess app;
    AppRealeX11::Righe righe{app};
    QWidget sfondo;

    QString cartellaVassoio() const { return casa.filePath(QStringLiteral("data/Halvora/Halvora/Documents/Tray")); }
    QStringList vassoio() const { return QDir(cartellaVassoio()).entryList(QDir::Files | QDir::Hidden); }

    // The panel at rest: the springs settle late on a busy machine.
    static QImage fermo() { return AppRealeX11::aRiposo(kPannello); }

    // Where the "Converti" label is drawn in the tray's header, under the
    // tab bar: the first column right of the panel's middle holding light text.
    static QPoint etichettaConverti(const QImage& pannello)
    {
        for (int x = pannello.width() / 2; x < pannello.width() - 60; ++x)
            for (int y = 92; y < 116; ++y)
                if (qGray(pannello.pixel(x, y)) > 120)
                    return kPannello.topLeft() + QPoint(x + 20, y + 3);
        return {};
    }

    // The top of the highlighted menu row at height y, or -1, read off the
    // 40 pixels left of x: the entries' left padding, where no text breaks
    // the highlight. A narrow strip is cheap to grab often.
    static int rigaEvidenziata(int x, int y)
    {
        const QImage img = QGuiApplication::primaryScreen()->grabWindow(0, x - 40, 0, 40, y + 1).toImage();
        auto viola = [&](int yy) {
            for (int xx = 0; xx < img.width(); ++xx) {
                const QColor c = img.pixelColor(xx, yy);
                if (std::abs(c.red() - 88) < 16 && std::abs(c.green() - 86) < 16 && std::abs(c.blue() - 214) < 16)
                    return true;
            }
            return false;
        };
        if (!viola(y))
            return -1;
        while (y > 0 && viola(y - 1))
            --y;
        return y;
    }

    // Walks the pointer down the menu at x from y until a second entry is
    // highlighted; returns where, or -1 when no menu highlights there. Each
    // step waits for the highlight, which a busy machine draws late.
    static int secondaVoce(int x, int y, int fine)
    {
        int prima = -1;
        for (; y < fine; y += 4) {
            xdo(QStringLiteral("mousemove %1 %2").arg(x).arg(y));
            int evidenziata = -1;
            QTest::qWaitFor([&] { return (evidenziata = rigaEvidenziata(x, y)) >= 0; }, 400);
            if (evidenziata < 0)
                continue;
            if (prima < 0)
                prima = evidenziata;
            else if (evidenziata != prima)
                return y;
        }
        return -1;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(casa.isValid() && AppRealeX11::segnaGuidaVista(casa));
        QVERIFY(AppRealeX11::avviaSuSfondo(app, righe, casa, sfondo, QColor(58, 110, 165),
                                           QStringLiteral(HALVORA_ESEGUIBILE)));
    }
    void cleanupTestCase()
    {
        app.terminate();
        app.waitForFinished(5000);
    }

    void aScreenshotConvertedToJpegIsListedAndAnnounced()
    {
        // A full-screen picture puts the first file in the tray.
        xdo(QStringLiteral("mousemove 960 10"));
        QVERIFY(righe.aspetta(QStringLiteral("stato aperta"), 10000));
        xdo(QStringLiteral("mousemove 804 355"));
        fermo();
        xdo(QStringLiteral("click 1"));
        QVERIFY(righe.aspetta(QStringLiteral("attivita Screenshot catturato"), 30000));
        QCOMPARE(vassoio().size(), 1);

        xdo(QStringLiteral("mousemove 960 10"));
        QVERIFY(righe.aspetta(QStringLiteral("stato aperta"), 10000));
        xdo(QStringLiteral("mousemove 960 200"));
        const QImage conUnFile = fermo();
        salvaImmagine(conUnFile, QStringLiteral("conversione-vassoio"));
        const QPoint converti = etichettaConverti(conUnFile);
        QVERIFY(!converti.isNull());
        // Down the menu from "Comprimi 1 file in ZIP" until the highlight
        // reaches the next entry, "Converti 1 immagini in JPEG". A click
        // that a busy machine lost is given again.
        const int x = converti.x() + 4;
        int y = -1;
        for (int prova = 0; prova < 3 && y < 0; ++prova) {
            xdo(QStringLiteral("mousemove %1 %2").arg(converti.x()).arg(converti.y()));
            QTest::qWait(300);
            xdo(QStringLiteral("click 1"));
            QTest::qWait(800);
            // The pointer goes onto the menu, outside the tray's header:
            // the notch stays open under it.
            xdo(QStringLiteral("mousemove %1 %2").arg(x).arg(converti.y() + 50));
            QVERIFY(!righe.aspetta(QStringLiteral("stato chiusa"), 600));
            if (prova == 0)
                salvaImmagine(schermo().copy(kPannello.adjusted(0, 0, 200, 200)), QStringLiteral("conversione-menu"));
            y = secondaVoce(x, converti.y() + 30, converti.y() + 200);
        }
        QVERIFY(y > 0);
        xdo(QStringLiteral("click 1"));
        QVERIFY(righe.aspetta(QStringLiteral("attivita Immagine convertita"), 30000));
        QStringList file = vassoio();
        QCOMPARE(file.size(), 2);
        QVERIFY(file.filter(QStringLiteral(".jpeg")).size() == 1);
        QVERIFY(file.filter(QStringLiteral(".parziale")).isEmpty());

        xdo(QStringLiteral("mousemove 960 200"));
        const QImage dopo = fermo();
        salvaImmagine(dopo, QStringLiteral("conversione-elencata"));
        // A second row is drawn below the first.
        QVERIFY(dopo != conUnFile);
    }

    void aDroppedLetterBecomesAPdf()
    {
        const QString lettera = QStringLiteral(HALVORA_DOCUMENTI_PROVA "/lettera.docx");
        QProcess sorgente;
        sorgente.start(QStringLiteral(HALVORA_SORGENTE_TRASCINAMENTO), {lettera, QStringLiteral("300"), QStringLiteral("600")});
        AppRealeX11::Righe dallaSorgente{sorgente};
        QVERIFY(dallaSorgente.aspetta(QStringLiteral("pronta"), 10000));
        // Pressed on the other program's window, carried up to the notch,
        // which opens on the tray, and down onto its files.
        xdo(QStringLiteral("mousemove 340 640"));
        QTest::qWait(200);
        xdo(QStringLiteral("mousedown 1"));
        for (int passo = 1; passo <= 20; ++passo) {
            xdo(QStringLiteral("mousemove %1 %2").arg(340 + (960 - 340) * passo / 20).arg(640 - (640 - 10) * passo / 20));
            QTest::qWait(30);
        }
        QVERIFY(righe.aspetta(QStringLiteral("stato aperta"), 10000));
        for (int y = 20; y <= 250; y += 10) {
            xdo(QStringLiteral("mousemove 960 %1").arg(y));
            QTest::qWait(30);
        }
        salvaImmagine(fermo(), QStringLiteral("conversione-lettera-sopra"));
        xdo(QStringLiteral("mouseup 1"));
        QVERIFY(dallaSorgente.aspetta(QStringLiteral("lasciato"), 10000));
        // A dropped file is kept in a folder of its own in the tray.
        const auto lasciata = [&] {
            for (const QString& d : QDir(cartellaVassoio()).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
                if (QFileInfo::exists(cartellaVassoio() + QLatin1Char('/') + d + QStringLiteral("/lettera.docx")))
                    return true;
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(lasciata(), 10000);
        salvaImmagine(fermo(), QStringLiteral("conversione-lettera-lasciata"));

        // The menu's last entry is "Converti 1 documenti in PDF": the
        // keyboard reaches it from the menu's end.
        const QPoint converti = etichettaConverti(fermo());
        QVERIFY(!converti.isNull());
        xdo(QStringLiteral("mousemove %1 %2").arg(converti.x()).arg(converti.y()));
        QTest::qWait(300);
        xdo(QStringLiteral("click 1"));
        QTest::qWait(800);
        salvaImmagine(schermo().copy(kPannello.adjusted(0, 0, 200, 300)), QStringLiteral("conversione-lettera-menu"));
        xdo(QStringLiteral("key Up Return"));
        QVERIFY(righe.aspetta(QStringLiteral("attivita Documento convertito"), 30000));
        QVERIFY(vassoio().contains(QStringLiteral("lettera.pdf")));

        QPdfDocument pdf;
        QCOMPARE(pdf.load(cartellaVassoio() + QStringLiteral("/lettera.pdf")), QPdfDocument::Error::None);
        salvaImmagine(pdf.render(0, QSize(595, 842) * 2), QStringLiteral("conversione-lettera-pdf"));
        const QString testo = pdf.getAllText(0).text();
        QCOMPARE(testo.count(QStringLiteral("LOGO")), 1);
        QVERIFY(testo.contains(QStringLiteral("Yours sincerely")));
        sorgente.waitForFinished(10000);
    }
};

QTEST_MAIN(TestConversioneX11)
#include "tst_ConversioneX11.moc"
