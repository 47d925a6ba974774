#include "AiutanteCatturaFinto.h"
#include "DropManager.h"
#include "FakeClock.h"
#include "FakeInvioVicino.h"
#include "NotificheApp.h"
#include "RigaFileVassoio.h"
#include "SmartTrayView.h"
#include "TestOutput.h"

#include <QDrag>
#include <QImage>
#include <QMimeData>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using Parte = RigaFileVassoio::Parte;
using Controllo = SmartTrayView::Controllo;

class TestSmartTrayView : public QObject {
    Q_OBJECT
    QTemporaryDir dati;
    QTemporaryDir cartella;
    QList<QUrl> file;

    QUrl nuovo(const QString& nome, const QByteArray& contenuto = "x")
    {
        QFile f(cartella.filePath(nome));
        f.open(QIODevice::WriteOnly);
        f.write(contenuto);
        return QUrl::fromLocalFile(f.fileName());
    }
    static void clic(QWidget* w, const QPointF& dove) { QTest::mouseClick(w, Qt::LeftButton, {}, dove.toPoint()); }
    static void clic(RigaFileVassoio* r, Parte parte) { clic(r, r->rettangolo(parte).center()); }
    static void clic(SmartTrayView& v, Controllo c) { clic(&v, QRectF(v.rettangolo(c)).center()); }

    // A black panel holding the tab, as the notch shows it.
    struct Pannello {
        QWidget fondo;
        SmartTrayView* vista;
        Pannello(DropManager& m, const QList<QUrl>& files = {})
        {
            for (const QUrl& u : files)
                m.addToTray(u);
            fondo.setAutoFillBackground(true);
            QPalette pal = fondo.palette();
            pal.setColor(QPalette::Window, Qt::black);
            fondo.setPalette(pal);
            fondo.resize(600, 300);
            vista = new SmartTrayView(m, &fondo);
            vista->setGeometry(20, 20, 560, 260);
            fondo.show();
            QVERIFY(QTest::qWaitForWindowExposed(&fondo));
        }
    };

private slots:
    void initTestCase()
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(dati.path()));
        QImage img(8, 8, QImage::Format_RGB32);
        img.fill(Qt::red);
        img.save(cartella.filePath(QStringLiteral("Foto vacanze.png")));
        file = {nuovo(QStringLiteral("Report.pdf"), "%PDF-1.4\n"), QUrl::fromLocalFile(cartella.filePath(QStringLiteral("Foto vacanze.png"))),
                nuovo(QStringLiteral("Un nome di file davvero molto lungo per stare in una riga del vassoio.txt")),
                nuovo(QStringLiteral("note.md"))};
    }
    // Each case starts with an empty tray: a new store lists what the folder holds.
    void init() { QDir(DropManager::trayFolder()).removeRecursively(); }

    void anEmptyTrayShowsTheTitleAndTheDropZone()
    {
        FakeInvioVicino invio;
        DropManager m(invio);
        Pannello p(m);
        QVERIFY(p.vista->righe().isEmpty());
        for (Controllo c : {Controllo::chip, Controllo::invio, Controllo::svuota})
            QVERIFY(p.vista->rettangolo(c).isEmpty());
        const QImage img = salvaRender(p.fondo, QStringLiteral("tray-vuoto"));
        // The blue tray symbol of the drop zone is drawn in the file area.
        const QRect zona = p.vista->areaFile().translated(p.vista->pos());
        bool blu = false;
        for (int y = zona.top(); y < zona.bottom() && !blu; ++y)
            for (int x = zona.left(); x < zona.right() && !blu; ++x)
                blu = img.pixelColor(x, y).blue() > 150 && img.pixelColor(x, y).red() < 60;
        QVERIFY(blu);
    }

    void selectingNarrowsTheActions()
    {
        FakeInvioVicino invio;
        DropManager m(invio);
        Pannello p(m, file);
        QCOMPARE(p.vista->righe().size(), 4);
        QVERIFY(p.vista->airDropDisponibile());
        QCOMPARE(p.vista->immaginiNote(), QSet<QUrl>{file[1]});
        QCOMPARE(p.vista->aiuto(p.vista->rettangolo(Controllo::invio).center()),
                 QStringLiteral("Invia tutto il vassoio con AirDrop"));

        clic(p.vista->righe()[3], Parte::selezione);
        clic(p.vista->righe()[1], Parte::selezione);
        QCOMPARE(p.vista->selezionati(), (QSet<QUrl>{file[1], file[3]}));
        QCOMPARE(p.vista->testoChip(), QStringLiteral("2 selezionati"));
        QCOMPARE(p.vista->aiuto(p.vista->rettangolo(Controllo::invio).center()),
                 QStringLiteral("Invia i 2 elementi selezionati con AirDrop"));
        QCOMPARE(p.vista->aiuto(p.vista->rettangolo(Controllo::chip).center()), QStringLiteral("Annulla la selezione"));
        QCOMPARE(p.vista->fileInteressati(), (QList<QUrl>{file[1], file[3]}));
        QCOMPARE(p.vista->immaginiInteressate(), QList<QUrl>{file[1]});
        QVERIFY(p.vista->righe()[1]->stato().selezionata);
        QCOMPARE(p.vista->righe()[1]->aiuto(p.vista->righe()[1]->rettangolo(Parte::selezione).center()),
                 QStringLiteral("Deseleziona"));

        // The header's share button sends the selection in tray order.
        clic(*p.vista, Controllo::invio);
        QCOMPARE(invio.inviati.last(), (QStringList{file[1].toLocalFile(), file[3].toLocalFile()}));
        // A row's share button sends that file alone.
        clic(p.vista->righe()[0], Parte::invio);
        QCOMPARE(invio.inviati.last(), QStringList{file[0].toLocalFile()});

        // Pressing twice leaves the selection as it was.
        clic(p.vista->righe()[3], Parte::selezione);
        clic(p.vista->righe()[3], Parte::selezione);
        QCOMPARE(p.vista->selezionati().size(), 2);
        clic(*p.vista, Controllo::chip);
        QVERIFY(p.vista->selezionati().isEmpty());
        QVERIFY(p.vista->rettangolo(Controllo::chip).isEmpty());
        QCOMPARE(p.vista->fileInteressati(), m.draggedFiles());
    }

    void deletingASelectedFileDropsItFromTheSelection()
    {
        FakeInvioVicino invio;
        DropManager m(invio);
        Pannello p(m, file);
        clic(p.vista->righe()[2], Parte::selezione);
        QCOMPARE(p.vista->testoChip(), QStringLiteral("1 selezionati"));
        clic(p.vista->righe()[2], Parte::elimina);
        QCOMPARE(m.draggedFiles(), (QList<QUrl>{file[0], file[1], file[3]}));
        QVERIFY(QFileInfo::exists(file[2].toLocalFile()));
        QVERIFY(p.vista->selezionati().isEmpty());
        QVERIFY(p.vista->rettangolo(Controllo::chip).isEmpty());
        QList<QUrl> mostrati;
        for (RigaFileVassoio* r : p.vista->righe())
            mostrati << r->file();
        QCOMPARE(mostrati, m.draggedFiles());

        clic(p.vista->righe()[0], Parte::selezione);
        clic(*p.vista, Controllo::svuota);
        QVERIFY(m.draggedFiles().isEmpty());
        QVERIFY(p.vista->selezionati().isEmpty());
        QVERIFY(p.vista->righe().isEmpty());
    }

    void withoutADeviceThereIsNoShareButton()
    {
        FakeInvioVicino invio;
        invio.disponibile = false;
        DropManager m(invio);
        m.addToTray(file[0]);
        Pannello p(m);
        QVERIFY(!p.vista->airDropDisponibile());
        QVERIFY(p.vista->rettangolo(Controllo::invio).isEmpty());
        QVERIFY(!p.vista->rettangolo(Controllo::svuota).isEmpty());
        RigaFileVassoio* r = p.vista->righe()[0];
        QVERIFY(r->rettangolo(Parte::invio).isEmpty());
        clic(r, r->rettangolo(Parte::elimina).center() - QPointF(38, 0));
        QVERIFY(invio.inviati.isEmpty());
        QCOMPARE(m.draggedFiles().size(), 1);
    }

    void thePointerBelongsToTheLastRowEntered()
    {
        FakeInvioVicino invio;
        DropManager m(invio);
        m.addToTray(file[0]);
        m.addToTray(file[1]);
        Pannello p(m);
        auto* a = p.vista->righe()[0];
        auto* b = p.vista->righe()[1];
        QEnterEvent entraA(QPointF(10, 10), QPointF(10, 10), QPointF(10, 10));
        QApplication::sendEvent(a, &entraA);
        QCOMPARE(p.vista->rigaSottoIlMouse(), std::optional<QUrl>(file[0]));
        QEnterEvent entraB(QPointF(10, 10), QPointF(10, 10), QPointF(10, 10));
        QApplication::sendEvent(b, &entraB);
        QEvent esceA(QEvent::Leave);
        QApplication::sendEvent(a, &esceA);
        QCOMPARE(p.vista->rigaSottoIlMouse(), std::optional<QUrl>(file[1]));
        QVERIFY(b->stato().sottoIlMouse && !a->stato().sottoIlMouse);

        QTest::mouseMove(b, b->rettangolo(Parte::elimina).center().toPoint());
        QTRY_VERIFY(b->stato().hoverElimina);
        QTest::mouseMove(b, b->rettangolo(Parte::invio).center().toPoint());
        QTRY_VERIFY(b->stato().hoverInvio);
        QVERIFY(!b->stato().hoverElimina);
    }

    void draggingARowHandsOutItsFile()
    {
        FakeInvioVicino invio;
        DropManager m(invio);
        m.addToTray(file[0]);
        Pannello p(m);
        auto* r = p.vista->righe()[0];
        QSignalSpy avvii(&NotificheApp::shared(), &NotificheApp::trascinamentoAvviato);
        QList<QUrl> trascinati;
        int avviiAllInizio = -1;
        QPointer<RigaFileVassoio> riga(r);
        auto leggiDrag = [&] {
            if (QDrag* drag = riga ? riga->findChild<QDrag*>() : nullptr; drag && trascinati.isEmpty()) {
                trascinati = drag->mimeData()->urls();
                avviiAllInizio = avvii.count();
            }
        };
        // A platform whose drag runs its own loop is read and ended from inside it.
        QTimer::singleShot(0, &p.fondo, [&] {
            leggiDrag();
            QDrag::cancel();
        });
        const QPoint inizio = r->rect().center();
        QTest::mousePress(r, Qt::LeftButton, {}, inizio);
        QMouseEvent sposta(QEvent::MouseMove, QPointF(inizio + QPoint(30, 0)), r->mapToGlobal(QPointF(inizio + QPoint(30, 0))),
                           Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(r, &sposta);
        leggiDrag();
        QCOMPARE(avvii.count(), 1);
        QCOMPARE(avviiAllInizio, 1);
        QCOMPARE(trascinati, QList<QUrl>{file[0]});
        QCOMPARE(trascinati.first().fileName(), QStringLiteral("Report.pdf"));
        QCOMPARE(m.draggedFiles(), QList<QUrl>{file[0]});
    }

    void aDropIsAcceptedAndLandsInTheTray()
    {
        FakeInvioVicino invio;
        DropManager m(invio);
        Pannello p(m);
        QMimeData testo;
        testo.setText(QStringLiteral("Promemoria\nchiamare Anna"));
        const QPoint dentro = p.vista->areaFile().center();
        QDragEnterEvent entra(dentro, Qt::CopyAction, &testo, Qt::LeftButton, {});
        QApplication::sendEvent(p.vista, &entra);
        QVERIFY(entra.isAccepted());
        QVERIFY(p.vista->isDropTargeted());
        salvaRender(p.fondo, QStringLiteral("tray-vuoto-bersaglio"));
        QDropEvent lascia(dentro, Qt::CopyAction, &testo, Qt::LeftButton, {});
        QApplication::sendEvent(p.vista, &lascia);
        QVERIFY(lascia.isAccepted());
        QVERIFY(!p.vista->isDropTargeted());
        QTRY_COMPARE(m.draggedFiles().size(), 1);
        QCOMPARE(m.draggedFiles().first().fileName(), QStringLiteral("Promemoria.txt"));
        QTRY_COMPARE(p.vista->righe().size(), 1);

        QMimeData vuoto;
        QDragEnterEvent entraVuoto(dentro, Qt::CopyAction, &vuoto, Qt::LeftButton, {});
        QApplication::sendEvent(p.vista, &entraVuoto);
        QVERIFY(!entraVuoto.isAccepted());
        QDropEvent lasciaVuoto(dentro, Qt::CopyAction, &vuoto, Qt::LeftButton, {});
        lasciaVuoto.setAccepted(false);
        QApplication::sendEvent(p.vista, &lasciaVuoto);
        QVERIFY(!lasciaVuoto.isAccepted());
        // A drag entering over the header is followed, and accepted only once over the file area.
        QDragEnterEvent sopra(QPoint(5, 5), Qt::CopyAction, &testo, Qt::LeftButton, {});
        QApplication::sendEvent(p.vista, &sopra);
        QVERIFY(sopra.isAccepted());
        QVERIFY(!p.vista->isDropTargeted());
        QDragMoveEvent ancoraSopra(QPoint(5, 5), Qt::CopyAction, &testo, Qt::LeftButton, {});
        QApplication::sendEvent(p.vista, &ancoraSopra);
        QVERIFY(!ancoraSopra.isAccepted());
        QDragMoveEvent giu(dentro, Qt::CopyAction, &testo, Qt::LeftButton, {});
        QApplication::sendEvent(p.vista, &giu);
        QVERIFY(giu.isAccepted());
        QVERIFY(p.vista->isDropTargeted());
    }

    void screenshotOfATrayWithFiles()
    {
        FakeInvioVicino invio;
        DropManager m(invio);
        Pannello p(m, file);
        clic(p.vista->righe()[1], Parte::selezione);
        QEnterEvent entra(QPointF(10, 10), QPointF(10, 10), QPointF(10, 10));
        QApplication::sendEvent(p.vista->righe()[2], &entra);
        const QImage img = salvaRender(p.fondo, QStringLiteral("tray-file"));
        QCOMPARE(img.size(), p.fondo.size() * img.devicePixelRatio());
        // More files than fit scroll under the header.
        m.addToTray(nuovo(QStringLiteral("Preventivo.docx")));
        m.addToTray(nuovo(QStringLiteral("Archivio.zip")));
        auto distese = [&] {
            const QList<RigaFileVassoio*> r = p.vista->righe();
            for (int i = 1; i < r.size(); ++i)
                if (r[i]->y() < r[i - 1]->geometry().bottom())
                    return false;
            return r.last()->geometry().bottom() > p.vista->areaFile().height();
        };
        QTRY_VERIFY(distese());
        salvaRender(p.fondo, QStringLiteral("tray-file-molti"));
        // A drag over a full tray outlines the list instead of tinting it.
        QMimeData link;
        link.setUrls({QUrl(QStringLiteral("https://example.com"))});
        QDragEnterEvent entraLink(p.vista->areaFile().center(), Qt::CopyAction, &link, Qt::LeftButton, {});
        QApplication::sendEvent(p.vista, &entraLink);
        QVERIFY(p.vista->isDropTargeted());
        const QImage bersaglio = salvaRender(p.fondo, QStringLiteral("tray-file-bersaglio"));
        const QRect area = p.vista->areaFile().translated(p.vista->pos());
        int blu = 0;
        for (int x = area.left() + 20; x < area.right() - 20; ++x)
            for (int y = area.top(); y < area.top() + 3; ++y)
                blu += bersaglio.pixelColor(x, y).blue() > 100 && bersaglio.pixelColor(x, y).red() < 80;
        QVERIFY(blu > 50);
        // The rows still show under the outline.
        QVERIFY(bersaglio.pixelColor(area.left() + 60, area.top() + 30) != QColor(Qt::black));
    }

    void theScreenshotBarHidesTheNotchThenReportsTheEndAndThePicture()
    {
        FakeInvioVicino invio;
        FakeClock clock;
        QTemporaryDir lavoro;
        // Area is cancelled; the whole screen and the window are saved.
        const QString aiutante = AiutanteCatturaFinto::scrivi(
            lavoro.path(), QStringLiteral("case \"$*\" in -x*|*-W*) %1;; *) exit 1;; esac").arg(AiutanteCatturaFinto::salva()));
        DropManager m(invio, std::make_unique<CatturaSchermo>(clock, aiutante));
        Pannello p(m);
        QStringList eventi;
        p.vista->setRichiami({
            .onRequestHideNotch = [&] { eventi << QStringLiteral("nascondi"); },
            .onCatturaCompletata =
                [&](const QUrl& u) { eventi << (m.draggedFiles().contains(u) ? QStringLiteral("completata") : QString()); },
            .onCatturaTerminata = [&] { eventi << QStringLiteral("terminata"); },
        });
        // Three buttons 8 apart across the width, 4 under the label, which is 16 under the files.
        const QRect area = p.vista->rettangolo(Controllo::area);
        QCOMPARE(area.left() - p.vista->rettangolo(Controllo::intero).right() - 1, 8);
        QCOMPARE(p.vista->rettangolo(Controllo::finestra).right(), p.vista->width() - 1);
        QCOMPARE(area.top() - p.vista->etichettaScreenshot().bottom() - 1, 4);
        QCOMPARE(p.vista->etichettaScreenshot().top() - p.vista->areaFile().bottom() - 1, 16);
        salvaRender(p.fondo, QStringLiteral("tray-barra-screenshot"));

        const QList<std::tuple<Controllo, double, QStringList>> casi{
            {Controllo::intero, 0.5, {"nascondi", "terminata", "completata"}},
            {Controllo::area, 0.25, {"nascondi", "terminata"}},
            {Controllo::finestra, 0.25, {"nascondi", "terminata", "completata"}}};
        for (const auto& [controllo, pausa, attesi] : casi) {
            eventi.clear();
            clic(*p.vista, controllo);
            QCOMPARE(eventi, QStringList{"nascondi"});
            QCOMPARE(clock.nextDue(), pausa);
            clock.advance(pausa);
            QTRY_COMPARE(eventi, attesi);
        }
        QCOMPARE(m.draggedFiles().size(), 2);
    }
};

QTEST_MAIN(TestSmartTrayView)
#include "tst_SmartTrayView.moc"
