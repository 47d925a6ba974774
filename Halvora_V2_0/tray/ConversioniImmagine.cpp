#include "ConversioniImmagine.h"

#include "LettoreImmagine.h"
#include "NomeLibero.h"

#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <libheif/heif.h>
#include <memory>

namespace {

// Pages larger than this many points are scaled down into it, the largest page a PDF reader must accept.
constexpr double kLatoPaginaMassimo = 14400;

QImage suBianco(const QImage& img)
{
    if (!img.hasAlphaChannel())
        return img;
    QImage piatta(img.size(), QImage::Format_RGB32);
    piatta.fill(Qt::white);
    QPainter p(&piatta);
    p.drawImage(0, 0, img);
    return piatta;
}

struct Destinazione {
    QByteArray formato; // for QImageWriter, or "heif"
    QString estensione;
};

// The source's own type when it can be written, else PNG.
Destinazione destinazioneRidotta(const QByteArray& formato)
{
    if (formato == "heif")
        return heif_have_encoder_for_format(heif_compression_HEVC) ? Destinazione{"heif", QStringLiteral("heic")}
                                                                   : Destinazione{"png", QStringLiteral("png")};
    if (formato.isEmpty() || !QImageWriter::supportedImageFormats().contains(formato))
        return {"png", QStringLiteral("png")};
    if (formato == "jpg")
        return {"jpeg", QStringLiteral("jpeg")};
    if (formato == "tif")
        return {"tiff", QStringLiteral("tiff")};
    return {formato, QString::fromLatin1(formato)};
}

} // namespace

namespace ConversioniImmagine {

bool scriviHeic(const QImage& img, const QString& percorso)
{
    if (!heif_have_encoder_for_format(heif_compression_HEVC))
        return false;
    std::unique_ptr<heif_context, void (*)(heif_context*)> ctx(heif_context_alloc(), heif_context_free);
    heif_encoder* enc = nullptr;
    if (!ctx || heif_context_get_encoder_for_format(ctx.get(), heif_compression_HEVC, &enc).code)
        return false;
    std::unique_ptr<heif_encoder, void (*)(heif_encoder*)> encoder(enc, heif_encoder_release);
    heif_encoder_set_lossy_quality(enc, 85);
    const bool alfa = img.hasAlphaChannel();
    const QImage sorgente = img.convertToFormat(alfa ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    heif_image* i = nullptr;
    if (heif_image_create(sorgente.width(), sorgente.height(), heif_colorspace_RGB,
                          alfa ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, &i)
            .code)
        return false;
    std::unique_ptr<heif_image, void (*)(const heif_image*)> immagine(i, heif_image_release);
    if (heif_image_add_plane(i, heif_channel_interleaved, sorgente.width(), sorgente.height(), 8).code)
        return false;
    int passo = 0;
    uint8_t* piano = heif_image_get_plane(i, heif_channel_interleaved, &passo);
    if (!piano)
        return false;
    const qsizetype riga = qsizetype(sorgente.width()) * (alfa ? 4 : 3);
    for (int y = 0; y < sorgente.height(); ++y)
        memcpy(piano + qsizetype(y) * passo, sorgente.constScanLine(y), riga);
    return !heif_context_encode_image(ctx.get(), i, enc, nullptr, nullptr).code
           && !heif_context_write_to_file(ctx.get(), QFile::encodeName(percorso).constData()).code;
}

std::optional<QImage> scalaImmagine(const QImage& immagine, double fattore)
{
    if (immagine.isNull() || !(fattore > 0))
        return std::nullopt;
    const QSize dimensione = dimensioneScalata(immagine.size(), fattore);
    const int w = dimensione.width(), h = dimensione.height();
    if (dimensione.isEmpty() || !LettoreImmagine::entraInMemoria(qint64(w) * h))
        return std::nullopt;
    QImage scalata = immagine.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (scalata.isNull())
        return std::nullopt;
    return scalata;
}

QSize dimensioneScalata(QSize dimensione, double fattore)
{
    const double w = dimensione.width() * fattore, h = fattore * dimensione.height();
    if (!(fattore > 0) || w > 1e9 || h > 1e9)
        return {};
    return QSize(qMax(1, int(w)), qMax(1, int(h)));
}

std::optional<QString> converti(const QString& sorgente, const Conversione& con, const QString& cartella)
{
    // A reduction is decoded at its new size, which a large photo reaches
    // cheaply; the other conversions need the picture at its own.
    const QSize propria = LettoreImmagine::dimensione(sorgente);
    const bool ridotta = con.tipo == Conversione::Tipo::ridimensiona && propria.isValid();
    auto letta = ridotta ? LettoreImmagine::leggiA(sorgente, dimensioneScalata(propria, con.valore))
                         : LettoreImmagine::leggi(sorgente);
    if (!letta)
        return std::nullopt;
    QImage img = letta->immagine;
    Destinazione dest;
    QString base = QFileInfo(sorgente).completeBaseName();
    switch (con.tipo) {
    case Conversione::Tipo::jpeg:
        dest = {"jpeg", QStringLiteral("jpeg")};
        break;
    case Conversione::Tipo::png:
        dest = {"png", QStringLiteral("png")};
        break;
    case Conversione::Tipo::ridimensiona: {
        if (!ridotta) {
            auto scalata = scalaImmagine(img, con.valore);
            if (!scalata)
                return std::nullopt;
            img = *scalata;
        }
        dest = destinazioneRidotta(letta->formato);
        base += QStringLiteral("-ridotta");
        break;
    }
    }
    auto nome = NomeLibero::riserva(cartella, base, dest.estensione);
    if (!nome)
        return std::nullopt;
    if (dest.formato == "heif") {
        if (!scriviHeic(img, nome->temporaneo()))
            return std::nullopt;
        return nome->conferma();
    }
    if (dest.formato == "jpeg")
        img = suBianco(img);
    QImageWriter scrittore(nome->temporaneo(), dest.formato);
    if (con.tipo == Conversione::Tipo::jpeg)
        scrittore.setQuality(qBound(0, qRound(con.valore * 100), 100));
    if (!scrittore.write(img))
        return std::nullopt;
    return nome->conferma();
}

std::optional<QString> immaginiInPDF(const QStringList& immagini, const QString& cartella, const QString& base,
                                     const Interruzione& stop, int* nonLette)
{
    int saltate = 0;
    if (immagini.isEmpty())
        return std::nullopt;
    std::optional<NomeLibero> nome;
    std::unique_ptr<QPdfWriter> pdf;
    QPainter pittore;
    for (const QString& percorso : immagini) {
        if (stop.richiesta())
            return std::nullopt;
        const auto letta = LettoreImmagine::leggiEntro(percorso);
        if (!letta) {
            ++saltate;
            continue;
        }
        QSizeF pagina(letta->immagine.size());
        const double lato = qMax(pagina.width(), pagina.height());
        if (lato > kLatoPaginaMassimo)
            pagina *= kLatoPaginaMassimo / lato;
        const QPageSize formato(pagina, QPageSize::Point, QString(), QPageSize::ExactMatch);
        if (!pdf) {
            // The name is taken only once there is a page to write.
            auto riservato = NomeLibero::riserva(cartella, base, QStringLiteral("pdf"));
            if (!riservato)
                return std::nullopt;
            nome.emplace(std::move(*riservato));
            pdf = std::make_unique<QPdfWriter>(nome->temporaneo());
            pdf->setResolution(72);
            pdf->setPageMargins(QMarginsF(0, 0, 0, 0));
            pdf->setPageSize(formato);
            if (!pittore.begin(pdf.get()))
                return std::nullopt;
        } else {
            pdf->setPageSize(formato);
            pdf->newPage();
        }
        pittore.drawImage(QRectF(QPointF(0, 0), pagina), letta->immagine);
    }
    if (!pdf || !pittore.end())
        return std::nullopt;
    pdf.reset();
    if (nonLette)
        *nonLette = saltate;
    return nome->conferma();
}

} // namespace ConversioniImmagine
