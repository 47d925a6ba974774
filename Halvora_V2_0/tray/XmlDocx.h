#pragma once

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>
#include <optional>

// What the XML parts of a Word package share: their elements' names in
// both of Word's vocabularies, attributes and the values Word gives them.
namespace XmlDocx {

// 22 inches, the widest page Word lays out, in twentieths of a point.
constexpr int kRientroMassimo = 31680;

// An element of Word's own vocabulary, transitional or strict.
bool nomeW(const QXmlStreamReader& x, QLatin1StringView nome);
// An element of markup compatibility (alternate content).
bool nomeMc(const QXmlStreamReader& x, QLatin1StringView nome);
QString attributo(const QXmlStreamReader& x, QLatin1StringView nome);
QString valore(const QXmlStreamReader& x);
// <w:b/>, <w:b w:val="true"/> and <w:b w:val="1"/> switch on; "0", "false", "off" off.
bool interruttore(const QXmlStreamReader& x);
// A length in twentieths of a point, in points, kept within the widest page.
std::optional<double> twip(const QXmlStreamReader& x, QLatin1StringView nome);

// Takes what `suo` says over `mio`, where it says anything: how a run's,
// a list level's and a style's properties lie over those below them.
template <typename T>
void prendi(std::optional<T>& mio, const std::optional<T>& suo)
{
    if (suo)
        mio = suo;
}

// Calls `figlio` on each child of a part's root element; it reads or skips it.
template <typename F>
void figliDellaRadice(const QByteArray& xml, F figlio)
{
    if (xml.isEmpty())
        return;
    QXmlStreamReader x(xml);
    if (!x.readNextStartElement())
        return;
    while (x.readNextStartElement())
        figlio(x);
}

} // namespace XmlDocx
