<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>SCREENSHOT</source>
        <translation>CAPTURAS</translation>
    </message>
    <message>
        <source>Intero</source>
        <translation>Completa</translation>
    </message>
    <message>
        <source>Area</source>
        <translation>Área</translation>
    </message>
    <message>
        <source>Finestra</source>
        <translation>Ventana</translation>
    </message>
</context>
</TS>
