<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>%1 · sessione</source>
        <translation>%1 · sesión</translation>
    </message>
    <message>
        <source>%1 · settimana</source>
        <translation>%1 · semana</translation>
    </message>
    <message>
        <source>%1 h</source>
        <translation>%1 h</translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>si azzera %1</source>
        <translation>se restablece %1</translation>
    </message>
    <message>
        <source>si azzera fra %1</source>
        <translation>se restablece en %1</translation>
    </message>
</context>
</TS>
