#include "TestoPdf.h"

#include <QFile>
#include <QRegularExpression>

#include <poppler-document.h>
#include <poppler-page.h>
#include <memory>

namespace {

QString testoDi(const poppler::ustring& u)
{
    const poppler::byte_array utf8 = u.to_utf8();
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

bool nomeContiene(const QString& nome, std::initializer_list<const char*> parti)
{
    for (const char* p : parti)
        if (nome.contains(QLatin1String(p), Qt::CaseInsensitive))
            return true;
    return false;
}

} // namespace

namespace TestoPdf {

bool Parola::grassetto() const { return nomeContiene(carattere, {"bold", "black", "heavy", "semibold", "demi"}); }

bool Parola::corsivo() const { return nomeContiene(carattere, {"italic", "oblique"}); }

std::optional<QList<QList<Parola>>> parole(const QString& pdf)
{
    // Poppler prints its complaints about damaged files: they are not ours to show.
    static const bool muto = [] {
        poppler::set_debug_error_function([](const std::string&, void*) {}, nullptr);
        return true;
    }();
    (void)muto;
    std::unique_ptr<poppler::document> documento(poppler::document::load_from_file(QFile::encodeName(pdf).toStdString()));
    if (!documento || documento->is_locked())
        return std::nullopt;
    static const QRegularExpression sottoinsieme(QStringLiteral("^[A-Z]{6}\\+"));
    QList<QList<Parola>> pagine;
    for (int i = 0; i < documento->pages(); ++i) {
        QList<Parola>& sue = pagine.emplace_back();
        const std::unique_ptr<poppler::page> pagina(documento->create_page(i));
        if (!pagina)
            continue;
        for (const poppler::text_box& b : pagina->text_list(poppler::page::text_list_include_font)) {
            const poppler::rectf r = b.bbox();
            Parola p;
            p.testo = testoDi(b.text());
            p.riquadro = QRectF(r.x(), r.y(), r.width(), r.height());
            if (b.has_font_info()) {
                p.carattere = QString::fromLatin1(b.get_font_name()).remove(sottoinsieme);
                p.punti = b.get_font_size();
            }
            p.spazioDopo = b.has_space_after();
            sue.push_back(std::move(p));
        }
    }
    return pagine;
}

} // namespace TestoPdf
