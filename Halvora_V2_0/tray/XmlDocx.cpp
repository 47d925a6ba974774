#include "XmlDocx.h"

namespace {

const QLatin1StringView kNsW("http://schemas.openxmlformats.org/wordprocessingml/2006/main");
const QLatin1StringView kNsWStrict("http://purl.oclc.org/ooxml/wordprocessingml/main");
const QLatin1StringView kNsMc("http://schemas.openxmlformats.org/markup-compatibility/2006");

} // namespace

namespace XmlDocx {

bool nomeW(const QXmlStreamReader& x, QLatin1StringView nome)
{
    // Transitional and strict documents name the same elements.
    return x.name() == nome && (x.namespaceUri() == kNsW || x.namespaceUri() == kNsWStrict);
}

bool nomeMc(const QXmlStreamReader& x, QLatin1StringView nome)
{
    return x.name() == nome && x.namespaceUri() == kNsMc;
}

QString attributo(const QXmlStreamReader& x, QLatin1StringView nome)
{
    for (const auto& a : x.attributes())
        if (a.name() == nome)
            return a.value().toString();
    return {};
}

QString valore(const QXmlStreamReader& x) { return attributo(x, QLatin1StringView("val")); }

bool interruttore(const QXmlStreamReader& x)
{
    const QString v = valore(x).toLower();
    return !(v == QLatin1String("0") || v == QLatin1String("false") || v == QLatin1String("off")
             || v == QLatin1String("none"));
}

std::optional<double> twip(const QXmlStreamReader& x, QLatin1StringView nome)
{
    bool ok = false;
    const int v = attributo(x, nome).toInt(&ok);
    if (!ok)
        return std::nullopt;
    return qBound(-kRientroMassimo, v, kRientroMassimo) / 20.0;
}

} // namespace XmlDocx
