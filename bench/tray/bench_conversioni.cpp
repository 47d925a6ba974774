#include "ConversioniImmagine.h"
#include "ConversioniPdf.h"
#include "OperazioniVassoio.h"
#include "RiconoscimentoTesto.h"

#include <QDir>
#include <QGuiApplication>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const Interruzione kMai;

// A 20-page A4 report: a heading, body text and a filled chart on each page.
QString report(const QString& cartella, const QString& nome)
{
    const QString percorso = cartella + QLatin1Char('/') + nome;
    QPdfWriter pdf(percorso);
    pdf.setResolution(72);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins({0, 0, 0, 0});
    QPainter p(&pdf);
    for (int pagina = 0; pagina < 20; ++pagina) {
        if (pagina > 0)
            pdf.newPage();
        p.setFont(QFont(QStringLiteral("DejaVu Sans"), 20, QFont::Bold));
        p.drawText(QPointF(60, 80), QStringLiteral("Relazione trimestrale, pagina %1").arg(pagina + 1));
        p.setFont(QFont(QStringLiteral("DejaVu Sans"), 11));
        for (int riga = 0; riga < 40; ++riga)
            p.drawText(QPointF(60, 120 + riga * 16), QStringLiteral("Riga %1 del testo con numeri 12345 e parole comuni.").arg(riga));
        p.fillRect(QRectF(60, 780 - pagina * 2, 470, 30), QColor(40, 120, 200));
    }
    return percorso;
}

// A 12-megapixel photo-like JPEG: gradients under noise, which compresses as photos do.
QString foto(const QString& cartella, int i)
{
    QImage img(4000, 3000, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, 4000, 3000);
    g.setColorAt(0, QColor::fromHsv((i * 37) % 360, 160, 220));
    g.setColorAt(1, QColor::fromHsv((i * 37 + 120) % 360, 200, 90));
    p.fillRect(img.rect(), g);
    p.end();
    auto* r = QRandomGenerator::global();
    for (int y = 0; y < img.height(); ++y) {
        auto* riga = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const int d = int(r->bounded(24)) - 12;
            const QRgb c = riga[x];
            riga[x] = qRgb(qBound(0, qRed(c) + d, 255), qBound(0, qGreen(c) + d, 255), qBound(0, qBlue(c) + d, 255));
        }
    }
    const QString percorso = cartella + QStringLiteral("/IMG_%1.jpg").arg(i, 4, 10, QLatin1Char('0'));
    img.save(percorso, "JPEG", 90);
    return percorso;
}

// Runs `passo` once an iteration into a fresh folder `out`, emptied untimed;
// a step that gives false stops the run as failed.
template <typename Passo>
void inCartellaVuota(benchmark::State& state, const QString& out, Passo passo)
{
    for (auto _ : state) {
        QDir().mkpath(out);
        if (!passo()) {
            state.SkipWithError("the conversion did not give what it should");
            break;
        }
        state.PauseTiming();
        QDir(out).removeRecursively();
        state.ResumeTiming();
    }
}

} // namespace

// Two 20-page reports merged into one, their pages copied as they are.
static void UnisciPdf(benchmark::State& state)
{
    QTemporaryDir dir;
    const QStringList pdf{report(dir.path(), QStringLiteral("a.pdf")), report(dir.path(), QStringLiteral("b.pdf"))};
    const QString out = dir.filePath(QStringLiteral("out"));
    inCartellaVuota(state, out, [&] { return ConversioniPdf::unisciPDF(pdf, out, QStringLiteral("Unito"), kMai).has_value(); });
}
BENCHMARK(UnisciPdf)->Unit(benchmark::kMillisecond);

// Every page of a 20-page report as a PNG at twice its size.
static void PagineInImmagini(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString pdf = report(dir.path(), QStringLiteral("report.pdf"));
    const QString out = dir.filePath(QStringLiteral("out"));
    inCartellaVuota(state, out, [&] { return ConversioniPdf::pdfInImmagini(pdf, out, kMai).size() == 20; });
    state.SetItemsProcessed(state.iterations() * 20);
}
BENCHMARK(PagineInImmagini)->Unit(benchmark::kMillisecond)->Iterations(3);

// Every page of a 20-page report rendered as a picture, then its text
// recognised and saved as the tray's recognition does it, in the languages
// of an Italian interface.
static void RendiERiconosci(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString pdf = report(dir.path(), QStringLiteral("report.pdf"));
    const QString out = dir.filePath(QStringLiteral("out"));
    inCartellaVuota(state, out, [&] {
        const QStringList pagine = ConversioniPdf::pdfInImmagini(pdf, out, kMai);
        const EsitoVassoio esito =
            OperazioniVassoio::esegui(OperazioneVassoio::estraiTesto, pagine, Conversione::png(), out, kMai);
        // A timing of recognition that read nothing would say nothing.
        return esito.file.size() == 20 && esito.testo.count(QStringLiteral("Relazione trimestrale")) == 20;
    });
    state.SetItemsProcessed(state.iterations() * 20);
    state.SetLabel(RiconoscimentoTesto::lingueTesseract(RiconoscimentoTesto::lingueRiconoscimento(),
                                                        RiconoscimentoTesto::lingueInstallate())
                       .join(QLatin1Char('+'))
                       .toStdString());
}
BENCHMARK(RendiERiconosci)->Unit(benchmark::kMillisecond)->Iterations(1);

// Fifty 12-megapixel photos halved, one after the other as an operation runs them.
static void DimezzaFoto(benchmark::State& state)
{
    QTemporaryDir dir;
    QStringList foto50;
    for (int i = 0; i < 50; ++i)
        foto50 << foto(dir.path(), i);
    const QString out = dir.filePath(QStringLiteral("out"));
    inCartellaVuota(state, out, [&] {
        int fatte = 0;
        for (const QString& f : foto50)
            fatte += ConversioniImmagine::converti(f, Conversione::ridimensiona(0.5), out).has_value();
        return fatte == 50;
    });
    state.SetItemsProcessed(state.iterations() * 50);
}
BENCHMARK(DimezzaFoto)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv)
{
    // Fonts for the generated reports.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
