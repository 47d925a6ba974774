#include "LettoreImmagine.h"

#include <QFile>
#include <QImageReader>

#include <libheif/heif.h>
#include <memory>

namespace {

template <typename T, void (*libera)(T*)>
struct Liberatore {
    void operator()(T* p) const { libera(p); }
};
using ContestoHeif = std::unique_ptr<heif_context, Liberatore<heif_context, heif_context_free>>;
using ManigliaHeif = std::unique_ptr<heif_image_handle, Liberatore<const heif_image_handle, heif_image_handle_release>>;
using ImmagineHeif = std::unique_ptr<heif_image, Liberatore<const heif_image, heif_image_release>>;

bool eHeif(const QString& percorso)
{
    QFile f(percorso);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray testa = f.read(64);
    const heif_filetype_result r =
        heif_check_filetype(reinterpret_cast<const uint8_t*>(testa.constData()), int(testa.size()));
    return r == heif_filetype_yes_supported;
}

std::optional<QImage> leggiHeif(const QString& percorso)
{
    ContestoHeif ctx(heif_context_alloc());
    if (!ctx || heif_context_read_from_file(ctx.get(), QFile::encodeName(percorso).constData(), nullptr).code)
        return std::nullopt;
    heif_image_handle* m = nullptr;
    if (heif_context_get_primary_image_handle(ctx.get(), &m).code)
        return std::nullopt;
    ManigliaHeif maniglia(m);
    const qint64 w = heif_image_handle_get_width(m), h = heif_image_handle_get_height(m);
    if (w <= 0 || h <= 0 || w * h > LettoreImmagine::kPixelMassimi)
        return std::nullopt;
    heif_image* i = nullptr;
    if (heif_decode_image(m, &i, heif_colorspace_RGB, heif_chroma_interleaved_RGBA, nullptr).code)
        return std::nullopt;
    ImmagineHeif decodificata(i);
    int passo = 0;
    const uint8_t* dati = heif_image_get_plane_readonly(i, heif_channel_interleaved, &passo);
    const int larga = heif_image_get_width(i, heif_channel_interleaved);
    const int alta = heif_image_get_height(i, heif_channel_interleaved);
    if (!dati || larga <= 0 || alta <= 0)
        return std::nullopt;
    // Copied out: the plane goes with the libheif image.
    QImage img = QImage(dati, larga, alta, passo, QImage::Format_RGBA8888).copy();
    if (img.isNull())
        return std::nullopt;
    return img;
}

} // namespace

std::optional<LettoreImmagine::Immagine> LettoreImmagine::leggi(const QString& percorso)
{
    if (eHeif(percorso)) {
        auto img = leggiHeif(percorso);
        if (!img)
            return std::nullopt;
        return Immagine{*img, QByteArrayLiteral("heif")};
    }
    QImageReader lettore(percorso);
    lettore.setAutoTransform(false);
    const QSize dimensione = lettore.size();
    // Formats that cannot tell their size first are left to Qt's allocation limit.
    if (dimensione.isValid() && qint64(dimensione.width()) * dimensione.height() > kPixelMassimi)
        return std::nullopt;
    const QByteArray formato = lettore.format();
    QImage img = lettore.read();
    if (img.isNull() || img.width() <= 0 || img.height() <= 0)
        return std::nullopt;
    return Immagine{img, formato};
}
