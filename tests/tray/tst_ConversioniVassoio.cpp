#include "ConversioniImmagine.h"
#include "ConversioniPdf.h"
#include "DropManager.h"
#include "FakeInvioVicino.h"
#include "LettoreImmagine.h"
#include "NomeLibero.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QPdfWriter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtPdf/QPdfDocument>
#include <QtPdf/QPdfSelection>

#include <thread>
#include <unistd.h>

namespace {

const Interruzione kMai;

QStringList elenco(const QString& cartella)
{
    return QDir(cartella).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

QString nome(const std::optional<QString>& percorso) { return percorso ? QFileInfo(*percorso).fileName() : QString(); }

// A PDF whose pages carry the given texts, each page `pagina` points large.
QString scriviPdf(const QString& percorso, const QStringList& pagine, QSizeF pagina = {298, 420})
{
    QPdfWriter pdf(percorso);
    pdf.setResolution(72);
    pdf.setPageMargins({0, 0, 0, 0});
    pdf.setPageSize(QPageSize(pagina, QPageSize::Point, QString(), QPageSize::ExactMatch));
    QPainter p(&pdf);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 20));
    for (int i = 0; i < pagine.size(); ++i) {
        if (i > 0)
            pdf.newPage();
        p.drawText(QPointF(20, 60), pagine[i]);
    }
    return percorso;
}

QString scriviImmagine(const QString& percorso, QSize dimensione, QColor colore, const char* formato = nullptr)
{
    QImage img(dimensione, QImage::Format_ARGB32);
    img.fill(colore);
    return img.save(percorso, formato) ? percorso : QString();
}

QString rotto(const QString& percorso)
{
    QFile f(percorso);
    f.open(QIODevice::WriteOnly);
    f.write("non sono quello che dico di essere");
    return percorso;
}

} // namespace

class TestConversioniVassoio : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString out, in;

private slots:
    void initTestCase() { qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(QStringLiteral("dati")))); }

    void init()
    {
        out = dir.filePath(QStringLiteral("out"));
        in = dir.filePath(QStringLiteral("in"));
        QDir(out).removeRecursively();
        QDir(in).removeRecursively();
        QDir().mkpath(out);
        QDir().mkpath(in);
    }

    void freeNamesAreHeldAndNeverReplaceAnything()
    {
        auto primo = NomeLibero::riserva(out, QStringLiteral("a/b"), QStringLiteral("txt"));
        QVERIFY(primo);
        QCOMPARE(QFileInfo(primo->percorso()).fileName(), QStringLiteral("a-b.txt"));
        QVERIFY(QFileInfo::exists(primo->percorso())); // held while the work runs
        QVERIFY(primo->scrivi("uno"));
        QCOMPARE(nome(primo->conferma()), QStringLiteral("a-b.txt"));
        QVERIFY(::symlink("/nessuno/qui", QFile::encodeName(out + QStringLiteral("/a-b-2.txt")).constData()) == 0);
        {
            auto terzo = NomeLibero::riserva(out, QStringLiteral("a/b"), QStringLiteral("txt"));
            QCOMPARE(QFileInfo(terzo->percorso()).fileName(), QStringLiteral("a-b-3.txt"));
            QVERIFY(terzo->scrivi("a metà"));
            // Never confirmed: neither the name nor the half-written bytes stay.
        }
        QCOMPARE(elenco(out), (QStringList{QStringLiteral("a-b-2.txt"), QStringLiteral("a-b.txt")}));
        QFile f(out + QStringLiteral("/a-b.txt"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("uno"));
        QVERIFY(!NomeLibero::riserva(dir.filePath(QStringLiteral("manca")), QStringLiteral("x"), QStringLiteral("png")));

        // Taken at the same time, the names still differ.
        QString presi[8];
        std::vector<std::thread> insieme;
        for (QString& preso : presi)
            insieme.emplace_back([this, &preso] {
                auto n = NomeLibero::riserva(out, QStringLiteral("x"), QStringLiteral("png"));
                preso = n && n->scrivi("x") ? n->conferma().value_or(QString()) : QString();
            });
        for (auto& t : insieme)
            t.join();
        const QSet<QString> nomi(std::begin(presi), std::end(presi));
        QCOMPARE(nomi.size(), 8);
        QVERIFY(!nomi.contains(QString()));
    }

    void imagesAreReencoded_data()
    {
        QTest::addColumn<QString>("sorgente");
        QTest::addColumn<QSize>("dimensione");
        QTest::addColumn<int>("caso"); // Conversione::Tipo
        QTest::addColumn<QString>("atteso");
        QTest::addColumn<QSize>("dimensioneAttesa");
        QTest::addColumn<QByteArray>("formatoAtteso");
        QTest::newRow("to JPEG on white") << "vetro.png" << QSize(4, 3) << 0 << "vetro.jpeg" << QSize(4, 3)
                                          << QByteArray("jpeg");
        QTest::newRow("to PNG") << "foto.jpg" << QSize(5, 5) << 2 << "foto.png" << QSize(5, 5) << QByteArray("png");
        QTest::newRow("PNG beside itself") << "out:a.png" << QSize(2, 2) << 2 << "a-2.png" << QSize(2, 2)
                                           << QByteArray("png");
        QTest::newRow("halved 1x1") << "uno.png" << QSize(1, 1) << 1 << "uno-ridotta.png" << QSize(1, 1)
                                    << QByteArray("png");
        QTest::newRow("halved JPEG keeps its type") << "foto.jpg" << QSize(101, 61) << 1 << "foto-ridotta.jpeg"
                                                    << QSize(50, 30) << QByteArray("jpeg");
        QTest::newRow("halved HEIC") << "telefono.heic" << QSize(64, 48) << 1 << "telefono-ridotta.heic"
                                     << QSize(32, 24) << QByteArray("heif");
        QTest::newRow("HEIC to PNG") << "telefono.heic" << QSize(64, 48) << 2 << "telefono.png" << QSize(64, 48)
                                     << QByteArray("png");
        QTest::newRow("not an image") << "rotta.png" << QSize() << 2 << "" << QSize() << QByteArray();
    }
    void imagesAreReencoded()
    {
        QFETCH(QString, sorgente);
        QFETCH(QSize, dimensione);
        QFETCH(int, caso);
        QFETCH(QString, atteso);
        QFETCH(QSize, dimensioneAttesa);
        QFETCH(QByteArray, formatoAtteso);
        const QString percorso =
            sorgente.startsWith(QLatin1String("out:")) ? out + QLatin1Char('/') + sorgente.mid(4) : in + QLatin1Char('/') + sorgente;
        QImage img(dimensione.isValid() ? dimensione : QSize(1, 1), QImage::Format_ARGB32);
        img.fill(QColor(200, 30, 30, 255));
        img.setPixelColor(0, 0, Qt::transparent);
        if (!dimensione.isValid())
            rotto(percorso);
        else if (sorgente.endsWith(QLatin1String(".heic")))
            QVERIFY(ConversioniImmagine::scriviHeic(img, percorso));
        else
            QVERIFY(img.save(percorso));

        const Conversione con = caso == 0 ? Conversione::jpeg(0.8) : caso == 1 ? Conversione::ridimensiona(0.5)
                                                                               : Conversione::png();
        const auto fatto = ConversioniImmagine::converti(percorso, con, out);
        QCOMPARE(nome(fatto), atteso);
        if (!fatto) {
            QVERIFY(elenco(out).isEmpty());
            return;
        }
        const auto letta = LettoreImmagine::leggi(*fatto);
        QVERIFY(letta);
        QCOMPARE(letta->formato, formatoAtteso);
        QCOMPARE(letta->immagine.size(), dimensioneAttesa);
        if (caso == 0)
            QVERIFY(qGray(letta->immagine.pixel(0, 0)) > 200); // the transparent corner became white
        else if (caso == 2)
            QCOMPARE(letta->immagine.pixelColor(1, 1).red() > 150, true);
    }

    void imagesBecomeOnePdf()
    {
        const QString a = scriviImmagine(in + QStringLiteral("/a.png"), {200, 100}, Qt::red);
        const QString b = scriviImmagine(in + QStringLiteral("/b.jpg"), {50, 80}, Qt::blue);
        const QString c = rotto(in + QStringLiteral("/c.png"));
        const auto pdf = ConversioniImmagine::immaginiInPDF({a, c, b}, out, QStringLiteral("Documento"), kMai);
        QCOMPARE(nome(pdf), QStringLiteral("Documento.pdf"));
        QPdfDocument doc;
        QCOMPARE(doc.load(*pdf), QPdfDocument::Error::None);
        QCOMPARE(doc.pageCount(), 2);
        QCOMPARE(doc.pagePointSize(0).toSize(), QSize(200, 100));
        QCOMPARE(doc.pagePointSize(1).toSize(), QSize(50, 80));
        QCOMPARE(qRed(doc.render(0, {40, 20}).pixel(20, 10)) > 200, true);
        QCOMPARE(nome(ConversioniImmagine::immaginiInPDF({b}, out, QStringLiteral("Documento"), kMai)),
                 QStringLiteral("Documento-2.pdf"));
        QVERIFY(!ConversioniImmagine::immaginiInPDF({c}, out, QStringLiteral("Documento"), kMai));
        QCOMPARE(elenco(out).size(), 2);
    }

    // A phone camera's 108-megapixel photo, past the pixel cap: halved and
    // put on a PDF page from a read scaled down to the cap, and re-encoded
    // at its own size while the memory allows it.
    void aPhoneCamerasPhotoIsConverted()
    {
        const QString foto = in + QStringLiteral("/telefono.jpg");
        {
            QImage img(12000, 9000, QImage::Format_RGB888);
            img.fill(QColor(30, 90, 200));
            QPainter(&img).fillRect(11000, 8000, 1000, 1000, Qt::red); // the far corner, so nothing is cut off
            QVERIFY(img.save(foto, "jpeg", 90));
        }
        const auto ridotta = ConversioniImmagine::converti(foto, Conversione::ridimensiona(0.5), out);
        QCOMPARE(nome(ridotta), QStringLiteral("telefono-ridotta.jpeg"));
        QCOMPARE(QImageReader(*ridotta).size(), QSize(6000, 4500));

        const auto pdf = ConversioniImmagine::immaginiInPDF({foto}, out, QStringLiteral("Foto"), kMai);
        QVERIFY(pdf);
        QPdfDocument doc;
        QCOMPARE(doc.load(*pdf), QPdfDocument::Error::None);
        QCOMPARE(doc.pageCount(), 1);
        const QSizeF pagina = doc.pagePointSize(0);
        QVERIFY(pagina.width() * pagina.height() <= LettoreImmagine::kPixelMassimi);
        QVERIFY(pagina.width() > 9000 && qAbs(pagina.width() / pagina.height() - 4.0 / 3) < 0.01);
        const QImage resa = doc.render(0, QSize(120, 90));
        QVERIFY(qRed(resa.pixel(115, 85)) > 200 && qBlue(resa.pixel(5, 5)) > 150);

        QVERIFY(LettoreImmagine::entraInMemoria(qint64(12000) * 9000));
        const auto jpeg = ConversioniImmagine::converti(foto, Conversione::jpeg(0.8), out);
        QCOMPARE(nome(jpeg), QStringLiteral("telefono.jpeg"));
        QCOMPARE(QImageReader(*jpeg).size(), QSize(12000, 9000));
    }

    void pdfsMergeKeepingTheirPagesAndText()
    {
        const QString a = scriviPdf(in + QStringLiteral("/A.pdf"), {QStringLiteral("Alfa uno"), QStringLiteral("Alfa due")});
        const QString b = scriviPdf(in + QStringLiteral("/B.pdf"), {QStringLiteral("Beta")}, {595, 842});
        const QString c = rotto(in + QStringLiteral("/C.pdf"));
        const auto unito = ConversioniPdf::unisciPDF({a, c, b}, out, QStringLiteral("Unito"), kMai);
        QCOMPARE(nome(unito), QStringLiteral("Unito.pdf"));
        QPdfDocument doc;
        QCOMPARE(doc.load(*unito), QPdfDocument::Error::None);
        QCOMPARE(doc.pageCount(), 3);
        QCOMPARE(doc.getAllText(0).text().trimmed(), QStringLiteral("Alfa uno"));
        QCOMPARE(doc.getAllText(1).text().trimmed(), QStringLiteral("Alfa due"));
        QCOMPARE(doc.getAllText(2).text().trimmed(), QStringLiteral("Beta"));
        QCOMPARE(doc.pagePointSize(2).toSize(), QSize(595, 842));

        QVERIFY(!ConversioniPdf::unisciPDF({a}, out, QStringLiteral("Unito"), kMai));
        const auto soloA = ConversioniPdf::unisciPDF({a, c}, out, QStringLiteral("Unito"), kMai);
        QCOMPARE(nome(soloA), QStringLiteral("Unito-2.pdf"));
        QPdfDocument due;
        QCOMPARE(due.load(*soloA), QPdfDocument::Error::None);
        QCOMPARE(due.pageCount(), 2);
        QVERIFY(!ConversioniPdf::unisciPDF({c, c}, out, QStringLiteral("Unito"), kMai));
    }

    void pagesBecomeImagesOnWhite()
    {
        const QString report =
            scriviPdf(in + QStringLiteral("/Report.pdf"), {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
        const QStringList prima = ConversioniPdf::pdfInImmagini(report, out, kMai);
        const QStringList dopo = ConversioniPdf::pdfInImmagini(report, out, kMai);
        QStringList nomi;
        for (const QString& p : prima + dopo)
            nomi << QFileInfo(p).fileName();
        QCOMPARE(nomi, (QStringList{"Report-pagina-1.png", "Report-pagina-2.png", "Report-pagina-3.png",
                                    "Report-pagina-1-2.png", "Report-pagina-2-2.png", "Report-pagina-3-2.png"}));
        QImageReader r(prima.first());
        QCOMPARE(r.format(), QByteArray("png"));
        const QImage pagina = r.read();
        QCOMPARE(pagina.size(), QSize(596, 840));
        QCOMPARE(pagina.pixelColor(pagina.width() - 2, pagina.height() - 2), QColor(Qt::white));
        QVERIFY(ConversioniPdf::pdfInImmagini(rotto(in + QStringLiteral("/rotto.pdf")), out, kMai).isEmpty());

        // A page far larger than the cap renders within it.
        QPdfDocument grande;
        QCOMPARE(grande.load(scriviPdf(in + QStringLiteral("/manifesto.pdf"), {QStringLiteral("x")}, {14000, 14000})),
                 QPdfDocument::Error::None);
        const QImage resa = ConversioniPdf::renderPagina(grande, 0, 2);
        QVERIFY(!resa.isNull());
        QVERIFY(qint64(resa.width()) * resa.height() <= ConversioniPdf::kPixelPaginaMassimi);
        QVERIFY(ConversioniPdf::renderPagina(grande, 1, 2).isNull());
    }

    void aStopGivesUpWithoutLeavingFiles()
    {
        Interruzione stop;
        stop.richiedi();
        const QString a = scriviPdf(in + QStringLiteral("/A.pdf"), {QStringLiteral("a")});
        QVERIFY(ConversioniPdf::pdfInImmagini(a, out, stop).isEmpty());
        QVERIFY(!ConversioniPdf::unisciPDF({a, a}, out, QStringLiteral("Unito"), stop));
        QVERIFY(!ConversioniImmagine::immaginiInPDF({scriviImmagine(in + QStringLiteral("/a.png"), {2, 2}, Qt::red)}, out,
                                                    QStringLiteral("Documento"), stop));
        QVERIFY(elenco(out).isEmpty());
    }

    void operationsTakeTheirKindAndListWhatTheyMade()
    {
        FakeInvioVicino invio;
        DropManager m(invio);
        const QUrl a = QUrl::fromLocalFile(scriviImmagine(in + QStringLiteral("/a.png"), {4, 4}, Qt::red));
        const QUrl b = QUrl::fromLocalFile(scriviImmagine(in + QStringLiteral("/b.jpg"), {4, 4}, Qt::blue));
        const QUrl c = QUrl::fromLocalFile(rotto(in + QStringLiteral("/c.png")));
        const QUrl pdf = QUrl::fromLocalFile(scriviPdf(in + QStringLiteral("/Scansione.PDF"), {QStringLiteral("x")}));
        const QUrl md = QUrl::fromLocalFile(rotto(in + QStringLiteral("/note.MD")));
        const QUrl pages = QUrl::fromLocalFile(rotto(in + QStringLiteral("/lettera.pages")));
        QCOMPARE(DropManager::ingressi(OperazioneVassoio::documentiInPDF, {pages, md, a}),
                 QStringList{md.toLocalFile()});
        QCOMPARE(DropManager::ingressi(OperazioneVassoio::pdfInImmagini, {a, pdf, md}), QStringList{pdf.toLocalFile()});

        // Nothing to do: no work starts, the tray folder is not even made, the answer still comes later.
        const QString tray = DropManager::trayFolder();
        QVERIFY(QDir(tray).removeRecursively());
        std::optional<std::optional<QUrl>> unito;
        m.unisciPDF({pdf, a}, [&](std::optional<QUrl> u) { unito = u; });
        QVERIFY(!unito);
        QTRY_VERIFY(unito);
        QVERIFY(!*unito);
        QVERIFY(!QFileInfo::exists(tray));

        std::optional<QList<QUrl>> convertite;
        m.converti({a, pdf, c, b}, Conversione::png(), [&](QList<QUrl> l) { convertite = l; });
        QTRY_VERIFY(convertite);
        QCOMPARE(convertite->size(), 2);
        QCOMPARE(m.draggedFiles(), *convertite);
        QCOMPARE(QFileInfo(convertite->at(1).toLocalFile()).fileName(), QStringLiteral("b.png"));

        // What gives nothing is counted and told by name, beside what did convert.
        QSignalSpy senzaEsito(&m, &DropManager::conversioneSenzaEsito);
        std::optional<DropManager::EsitoConversione> esito;
        m.esegui(OperazioneVassoio::converti, {a, c}, [&](DropManager::EsitoConversione e) { esito = e; });
        QTRY_VERIFY(esito);
        QCOMPARE(esito->nonConvertiti, 1);
        QCOMPARE(senzaEsito.size(), 1);
        QCOMPARE(senzaEsito.takeFirst()[1].value<QList<QUrl>>(), QList<QUrl>{c});
        esito.reset();
        m.esegui(OperazioneVassoio::converti, {c, pdf}, [&](DropManager::EsitoConversione e) { esito = e; });
        QTRY_VERIFY(esito);
        QVERIFY(esito->file.isEmpty());
        QCOMPARE(senzaEsito.size(), 1);
        QCOMPARE(senzaEsito[0][1].value<QList<QUrl>>(), QList<QUrl>{c});

        std::optional<QList<QUrl>> pagine;
        m.pdfInImmagini({a, pdf}, [&](QList<QUrl> l) { pagine = l; });
        QTRY_VERIFY(pagine);
        QCOMPARE(QFileInfo(pagine->value(0).toLocalFile()).fileName(), QStringLiteral("Scansione-pagina-1.png"));
        QCOMPARE(m.draggedFiles().size(), 4);
    }

    void quittingCancelsAndLeavesNoPartialFile()
    {
        QStringList molte;
        for (int i = 0; i < 400; ++i)
            molte << QString::number(i);
        const QUrl lungo = QUrl::fromLocalFile(scriviPdf(in + QStringLiteral("/lungo.pdf"), molte, {595, 842}));
        bool risposto = false;
        QElapsedTimer t;
        {
            FakeInvioVicino invio;
            DropManager m(invio);
            QDir(DropManager::trayFolder()).removeRecursively();
            m.pdfInImmagini({lungo}, [&](QList<QUrl>) { risposto = true; });
            QTest::qWait(300);
            t.start();
        }
        QVERIFY2(t.elapsed() < 3000, "the worker did not give up");
        QCoreApplication::processEvents();
        QVERIFY(!risposto);
        const QStringList rimasti = elenco(DropManager::trayFolder());
        QVERIFY(rimasti.size() < 400);
        for (const QString& f : rimasti) {
            QVERIFY2(!f.startsWith(QLatin1Char('.')), qPrintable(f));
            QVERIFY2(QImageReader(DropManager::trayFolder() + QLatin1Char('/') + f).canRead(), qPrintable(f));
        }
    }
};

QTEST_MAIN(TestConversioniVassoio)
#include "tst_ConversioniVassoio.moc"
