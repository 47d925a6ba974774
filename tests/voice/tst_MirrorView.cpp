#include "CameraManager.h"
#include "Colori.h"
#include "FakeCamera.h"
#include "MirrorView.h"
#include "TestOutput.h"

#include <QPainter>
#include <QTest>
#include <QVideoFrame>
#include <QVideoFrameFormat>
#include <QVideoSink>

namespace {

// The dark open notch behind the tab, at the tab's size in the panel.
class Pannello final : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::black); }
};

struct Banco {
    std::shared_ptr<StatoCameraFinta> stato = std::make_shared<StatoCameraFinta>();
    CameraManager camera{std::make_unique<FakeSessioneCamera>(stato)};
    Pannello pannello;
    MirrorView* vista;

    Banco()
    {
        pannello.resize(420, 439);
        vista = new MirrorView(camera, &pannello);
        vista->setGeometry(pannello.rect());
        pannello.show();
    }
    void premi()
    {
        PulsanteCamera* p = vista->pulsante();
        QTest::mouseClick(p, Qt::LeftButton, {}, p->rect().center());
        camera.attendiCodaSessione();
    }
    QImage render(const QString& nome) { return salvaRender(pannello, nome); }
};

// A camera frame whose left part is red and right part blue.
QVideoFrame fotogrammaSegnato(QSize lato)
{
    QImage img(lato, QImage::Format_ARGB32);
    img.fill(Qt::blue);
    QPainter(&img).fillRect(QRect(0, 0, lato.width() / 2, lato.height()), Qt::red);
    QVideoFrame f(QVideoFrameFormat(lato, QVideoFrameFormat::Format_BGRA8888));
    f.map(QVideoFrame::WriteOnly);
    for (int y = 0; y < lato.height(); ++y)
        memcpy(f.bits(0) + y * f.bytesPerLine(0), img.constScanLine(y), size_t(lato.width()) * 4);
    f.unmap();
    return f;
}

bool rossastro(QRgb c) { return qRed(c) > 150 && qBlue(c) < 80; }
bool bluastro(QRgb c) { return qBlue(c) > 150 && qRed(c) < 80; }

} // namespace

class TestMirrorView : public QObject {
    Q_OBJECT

private slots:
    void theCameraSessionFeedsTheViewsPicture()
    {
        Banco b;
        b.camera.attendiCodaSessione();
        QVERIFY(!b.stato->uscita.load()); // showing the tab asks nothing of the camera
        b.premi();
        b.camera.attendiCodaSessione();
        QVERIFY(b.stato->uscita.load());
        QCOMPARE(b.stato->uscita.load(), b.camera.anteprima());
        // A second view shares the one picture of the one session.
        MirrorView altra(b.camera);
        b.camera.attendiCodaSessione();
        QCOMPARE(b.stato->uscita.load(), b.camera.anteprima());
    }

    void theFaceFollowsTheFlagsInOrder_data()
    {
        QTest::addColumn<bool>("negato");
        QTest::addColumn<bool>("nessuna");
        QTest::addColumn<bool>("acceso");
        QTest::addColumn<MirrorView::Faccia>("faccia");
        QTest::newRow("off") << false << false << false << MirrorView::Faccia::spenta;
        QTest::newRow("live") << false << false << true << MirrorView::Faccia::dalVivo;
        QTest::newRow("no camera") << false << true << false << MirrorView::Faccia::nessunaCamera;
        QTest::newRow("denied") << true << false << false << MirrorView::Faccia::negata;
        QTest::newRow("denied and no camera") << true << true << false << MirrorView::Faccia::negata;
        QTest::newRow("denied and running") << true << false << true << MirrorView::Faccia::negata;
        QTest::newRow("no camera and running") << false << true << true << MirrorView::Faccia::nessunaCamera;
    }

    void theFaceFollowsTheFlagsInOrder()
    {
        QFETCH(bool, negato);
        QFETCH(bool, nessuna);
        QFETCH(bool, acceso);
        QFETCH(MirrorView::Faccia, faccia);
        QCOMPARE(MirrorView::faccia(negato, nessuna, acceso), faccia);
    }

    void theCameraShowsItsFace_data()
    {
        QTest::addColumn<AutorizzazioneCamera>("autorizzazione");
        QTest::addColumn<EsitoIngresso>("esito");
        QTest::addColumn<MirrorView::Faccia>("faccia");
        QTest::addColumn<QString>("simbolo");
        QTest::newRow("granted") << AutorizzazioneCamera::autorizzata << EsitoIngresso::aggiunto
                                 << MirrorView::Faccia::dalVivo << "video.slash.fill";
        QTest::newRow("denied") << AutorizzazioneCamera::negata << EsitoIngresso::aggiunto << MirrorView::Faccia::negata
                                << "video.fill";
        QTest::newRow("restricted") << AutorizzazioneCamera::limitata << EsitoIngresso::aggiunto
                                    << MirrorView::Faccia::negata << "video.fill";
        QTest::newRow("no camera") << AutorizzazioneCamera::autorizzata << EsitoIngresso::nessunDispositivo
                                   << MirrorView::Faccia::nessunaCamera << "video.fill";
        QTest::newRow("device refused") << AutorizzazioneCamera::autorizzata << EsitoIngresso::permessoNegato
                                        << MirrorView::Faccia::negata << "video.fill";
    }

    void theCameraShowsItsFace()
    {
        QFETCH(AutorizzazioneCamera, autorizzazione);
        QFETCH(EsitoIngresso, esito);
        QFETCH(MirrorView::Faccia, faccia);
        QFETCH(QString, simbolo);
        Banco b;
        b.stato->autorizzazione = autorizzazione;
        b.stato->esito = esito;
        // The tab never starts the camera by itself.
        QCOMPARE(b.vista->facciaCorrente(), MirrorView::Faccia::spenta);
        QCOMPARE(b.vista->pulsante()->simbolo(), QStringLiteral("video.fill"));
        QCOMPARE(b.vista->pulsante()->colore(), Colori::viola());
        QCOMPARE(b.stato->avvii.load() + b.stato->aggiunte.load(), 0);
        b.render(QStringLiteral("mirror-spento"));
        b.premi();
        QTRY_COMPARE(b.vista->facciaCorrente(), faccia);
        QCOMPARE(b.vista->pulsante()->simbolo(), simbolo);
        QCOMPARE(b.vista->pulsante()->colore(),
                 simbolo == QLatin1String("video.fill") ? Colori::viola() : Colori::rosso());
        QCOMPARE(b.vista->pulsante()->accessibleName(),
                 simbolo == QLatin1String("video.fill") ? QStringLiteral("Accendi camera")
                                                        : QStringLiteral("Spegni camera"));
        b.render(QStringLiteral("mirror-") + QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-')));
    }

    void theButtonTurnsTheCameraOnAndOff()
    {
        Banco b;
        b.premi();
        QTRY_VERIFY(b.camera.isSessionRunning());
        QCOMPARE(b.stato->avvii.load(), 1);
        b.premi();
        QTRY_VERIFY(!b.camera.isSessionRunning());
        QCOMPARE(b.stato->fermate.load(), 1);
        QCOMPARE(b.vista->facciaCorrente(), MirrorView::Faccia::spenta);
        // Only the disc answers: a click in the button's corner does nothing.
        QTest::mouseClick(b.vista->pulsante(), Qt::LeftButton, {}, QPoint(1, 1));
        b.camera.attendiCodaSessione();
        QCoreApplication::processEvents();
        QCOMPARE(b.stato->avvii.load(), 1);
    }

    void theLivePictureIsMirrored_data()
    {
        QTest::addColumn<QSize>("lato");
        QTest::newRow("640x480") << QSize(640, 480);
        QTest::newRow("1280x720") << QSize(1280, 720);
        QTest::newRow("portrait 300x600") << QSize(300, 600);
    }

    void theLivePictureIsMirrored()
    {
        QFETCH(QSize, lato);
        Banco b;
        b.premi();
        QTRY_VERIFY(b.camera.isSessionRunning());
        b.camera.anteprima()->setVideoFrame(fotogrammaSegnato(lato));
        QTRY_VERIFY(!b.vista->immagine().isNull());
        const QImage img = b.render(QStringLiteral("mirror-dal-vivo-") + QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-')));
        const QRectF d = b.vista->rettangoloDisco();
        const int y = int(d.center().y());
        // The left half of the camera's picture shows on the right, as in a looking-glass.
        QVERIFY(bluastro(img.pixel(int(d.left() + 40), y)));
        QVERIFY(rossastro(img.pixel(int(d.right() - 40), y)));
        // Clipped to the disc: the corner of its square stays dark.
        QVERIFY(!rossastro(img.pixel(int(d.right() - 8), int(d.top() + 8))));
        QVERIFY(!bluastro(img.pixel(int(d.left() + 8), int(d.top() + 8))));
    }

    void aStoppedCameraDropsItsPicture()
    {
        Banco b;
        b.premi();
        QTRY_VERIFY(b.camera.isSessionRunning());
        b.camera.anteprima()->setVideoFrame(fotogrammaSegnato({640, 480}));
        QTRY_VERIFY(!b.vista->immagine().isNull());
        b.premi();
        QTRY_VERIFY(!b.camera.isSessionRunning());
        QVERIFY(b.vista->immagine().isNull());
        // A frame still in flight after the stop is not kept either.
        b.camera.anteprima()->setVideoFrame(fotogrammaSegnato({640, 480}));
        QCoreApplication::processEvents();
        QVERIFY(b.vista->immagine().isNull());
    }
};

QTEST_MAIN(TestMirrorView)
#include "tst_MirrorView.moc"
