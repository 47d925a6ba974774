<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>%1 g fa</source>
        <translation>hace %1 d</translation>
    </message>
    <message>
        <source>%1 h fa</source>
        <translation>hace %1 h</translation>
    </message>
    <message>
        <source>%1 min fa</source>
        <translation>hace %1 min</translation>
    </message>
    <message>
        <source>Aggiornato %1</source>
        <translation>Actualizado %1</translation>
    </message>
    <message>
        <source>Sessione</source>
        <translation>Sesión</translation>
    </message>
    <message>
        <source>Settimana</source>
        <translation>Semana</translation>
    </message>
    <message>
        <source>adesso</source>
        <translation>ahora</translation>
    </message>
    <message>
        <source>ieri</source>
        <translation>ayer</translation>
    </message>
</context>
</TS>
