#pragma once

#include <QStringList>
#include <QVariant>
#include <functional>
#include <optional>

// One dropped item, offering its content in one or more kinds. A drop
// hands the tray one provider per item, in drop order.
class FornitoreElemento {
public:
    // Kinds of content the tray asks for, in the order it asks.
    enum class Tipo { fileURL, url, testo, immagine };

    virtual ~FornitoreElemento() = default;

    // Whether the item can be read as that kind.
    virtual bool conforme(Tipo tipo) const = 0;
    // The item's formats (MIME types), most faithful first.
    virtual QStringList tipiRegistrati() const = 0;
    // The name the source suggests for the item, if any.
    virtual std::optional<QString> nomeSuggerito() const = 0;

    // Reads the item as `tipo` and answers once, on any thread: a QUrl,
    // a QString or a QByteArray, or an invalid QVariant on failure.
    virtual void caricaElemento(Tipo tipo, std::function<void(QVariant)> risposta) = 0;
    // Delivers format `tipo` as a temporary file and answers once, on any
    // thread, with its path (nothing on failure). The file exists only
    // while `risposta` runs.
    virtual void caricaRappresentazione(const QString& tipo,
                                        std::function<void(std::optional<QString>)> risposta) = 0;
};
