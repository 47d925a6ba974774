#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// A name in an output folder that replaces nothing: base + "." + extension,
// else base-2, base-3, ... ("/" in the base becomes "-"). The name is held
// by an empty file made with an exclusive create, so two conversions never
// take the same one and nothing that exists, a dangling link included, is
// ever overwritten. The content goes into a hidden temporary beside it and
// only `conferma` puts it under the name; without it the held name and the
// temporary are removed, so a failed conversion leaves nothing behind.
class NomeLibero {
public:
    static std::optional<NomeLibero> riserva(const QString& cartella, const QString& base, const QString& estensione);

    NomeLibero(NomeLibero&& altro) noexcept;
    NomeLibero& operator=(NomeLibero&&) = delete;
    ~NomeLibero();

    // The name held, an absolute path.
    const QString& percorso() const { return percorso_; }
    // Where the writer puts the bytes (it may create or replace it).
    const QString& temporaneo() const { return temporaneo_; }
    // Writes the whole of `dati` into the temporary.
    bool scrivi(const QByteArray& dati) const;
    // Moves the temporary over the held name; the path on success.
    std::optional<QString> conferma();

private:
    NomeLibero(QString percorso, QString temporaneo);
    QString percorso_;
    QString temporaneo_;
    bool confermato_ = false;
};
