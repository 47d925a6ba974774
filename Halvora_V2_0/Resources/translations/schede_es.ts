<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>Dopo</source>
        <translation>Después</translation>
    </message>
    <message>
        <source>Fatto</source>
        <translation>Hecho</translation>
    </message>
    <message>
        <source>Ferma</source>
        <translation>Detener</translation>
    </message>
    <message>
        <source>Registrazione</source>
        <translation>Grabación</translation>
    </message>
    <message>
        <source>Ricordamelo fra dieci minuti</source>
        <translation>Recuérdamelo en diez minutos</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Detener</translation>
    </message>
    <message>
        <source>Tempo scaduto</source>
        <translation>Tiempo agotado</translation>
    </message>
    <message>
        <source>ora</source>
        <translation>ahora</translation>
    </message>
    <message>
        <source>fra 1 minuto</source>
        <translation>en 1 minuto</translation>
    </message>
    <message>
        <source>fra %1 minuti</source>
        <translation>en %1 minutos</translation>
    </message>
</context>
</TS>
