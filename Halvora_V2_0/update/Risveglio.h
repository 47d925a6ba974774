#pragma once

#include <QObject>

// Tells when the machine has woken from sleep.
class Risveglio : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    void risvegliato();
};
