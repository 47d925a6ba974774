#pragma once

#include <QMetaProperty>
#include <QPointer>
#include <QWidget>

class QAbstractButton;
class QLabel;

// A settings row: a switch with its title and, under it, a short
// explanation (left out when empty). The switch shows the value it is
// given; a flip only asks for the other value, so a model that refuses
// the change leaves the switch where it was.
class RigaInterruttore final : public QWidget {
    Q_OBJECT
public:
    RigaInterruttore(const QString& titolo, const QString& spiegazione, QWidget* parent = nullptr);

    QString titolo() const;
    QString spiegazione() const;
    void setTesti(const QString& titolo, const QString& spiegazione);
    bool attivo() const { return attivo_; }
    void setAttivo(bool v);
    bool disattivato() const;
    void setDisattivato(bool v);
    QAbstractButton* interruttore() const { return interruttore_; }
    // A warning under the row, in orange (empty: none): a change that
    // could not be saved.
    void setAvviso(const QString& testo);
    QString avviso() const;

    // Binds the switch both ways to a Boolean property of `modello`: a flip
    // writes the property, its notify signal redraws the switch.
    void collega(QObject* modello, const char* proprieta);

signals:
    // The user flipped the switch towards `valore`.
    void richiesto(bool valore);

private slots:
    void rileggi();

private:
    QAbstractButton* interruttore_;
    QLabel* titolo_;
    QLabel* spiegazione_;
    QLabel* avviso_;
    bool attivo_ = false;
    QPointer<QObject> modello_;
    QMetaProperty proprieta_;
};
