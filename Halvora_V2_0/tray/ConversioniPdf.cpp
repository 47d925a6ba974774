#include "ConversioniPdf.h"

#include "NomeLibero.h"

#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QtMath>
#include <QtPdf/QPdfDocument>

// qpdf's own smart pointers are std::shared_ptr from here on.
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <list>

namespace ConversioniPdf {

std::optional<QString> unisciPDF(const QStringList& pdf, const QString& cartella, const QString& base,
                                 const Interruzione& stop)
{
    if (pdf.size() < 2)
        return std::nullopt;
    try {
        QPDF unito;
        unito.emptyPDF();
        unito.setSuppressWarnings(true);
        QPDFPageDocumentHelper pagineUnite(unito);
        // The sources must live until the write: their pages' content is copied then,
        // so even a source that failed half way is kept.
        std::list<QPDF> sorgenti;
        int pagine = 0;
        for (const QString& percorso : pdf) {
            if (stop.richiesta())
                return std::nullopt;
            QPDF& sorgente = sorgenti.emplace_back();
            sorgente.setSuppressWarnings(true);
            try {
                sorgente.processFile(QFile::encodeName(percorso).constData());
                for (QPDFPageObjectHelper& p : QPDFPageDocumentHelper(sorgente).getAllPages()) {
                    pagineUnite.addPage(p, false);
                    ++pagine;
                }
            } catch (const std::exception&) {
                // Unreadable or damaged past repair: skipped, the others still go in.
            }
        }
        if (pagine == 0 || stop.richiesta())
            return std::nullopt;
        auto nome = NomeLibero::riserva(cartella, base, QStringLiteral("pdf"));
        if (!nome)
            return std::nullopt;
        // The writer keeps the name it is given, not a copy: it must outlive it.
        const QByteArray file = QFile::encodeName(nome->temporaneo());
        QPDFWriter scrittore(unito, file.constData());
        scrittore.write();
        return nome->conferma();
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

QImage renderPagina(QPdfDocument& documento, int pagina, double scala)
{
    if (pagina < 0 || pagina >= documento.pageCount())
        return {};
    const QSizeF punti = documento.pagePointSize(pagina);
    double w = punti.width() * scala, h = punti.height() * scala;
    if (!(w >= 1 && h >= 1))
        return {};
    if (w * h > double(kPixelPaginaMassimi)) {
        const double riduzione = qSqrt(double(kPixelPaginaMassimi) / (w * h));
        w *= riduzione;
        h *= riduzione;
    }
    const QSize dimensione(qMax(1, int(w)), qMax(1, int(h)));
    const QImage resa = documento.render(pagina, dimensione);
    if (resa.isNull())
        return {};
    QImage suBianco(resa.size(), QImage::Format_RGB32);
    suBianco.fill(Qt::white);
    QPainter p(&suBianco);
    p.drawImage(0, 0, resa);
    return suBianco;
}

QStringList pdfInImmagini(const QString& pdf, const QString& cartella, const Interruzione& stop)
{
    QStringList pagine;
    QPdfDocument documento;
    if (documento.load(pdf) != QPdfDocument::Error::None)
        return pagine;
    const QString stem = QFileInfo(pdf).completeBaseName();
    for (int i = 0; i < documento.pageCount(); ++i) {
        if (stop.richiesta())
            break;
        const QImage img = renderPagina(documento, i, 2);
        if (img.isNull())
            continue;
        // Numbered after the page itself, also when earlier pages were skipped.
        auto nome = NomeLibero::riserva(cartella, stem + QStringLiteral("-pagina-") + QString::number(i + 1),
                                        QStringLiteral("png"));
        if (!nome)
            continue;
        if (QImageWriter(nome->temporaneo(), "png").write(img))
            if (auto fatto = nome->conferma())
                pagine << *fatto;
    }
    return pagine;
}

} // namespace ConversioniPdf
