#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

// The object the page's script reaches through the web channel ("notch"):
// each text it posts goes to the receiver while that still exists, and is
// dropped otherwise.
class PonteDebole : public QObject {
    Q_OBJECT
public:
    PonteDebole(QObject* destinatario, std::function<void(const QString&)> inoltra, QObject* parent = nullptr)
        : QObject(parent), destinatario_(destinatario), inoltra_(std::move(inoltra))
    {
    }

    Q_INVOKABLE void ricevi(const QString& corpo)
    {
        if (destinatario_ && inoltra_)
            inoltra_(corpo);
    }

private:
    QPointer<QObject> destinatario_;
    std::function<void(const QString&)> inoltra_;
};
